#include "EditorGestures.h"

namespace mqjuce
{
    namespace
    {
        constexpr int viewWidth = 550, viewHeight = 620;
        constexpr juce::Point<int> knobCentres[] { { 139, 227 }, { 271, 227 }, { 403, 227 } };
        constexpr juce::Point<int> engageCentre { 288, 475 };
        constexpr juce::Point<int> previousArrow { 180, 15 }, nextArrow { 370, 15 };
        constexpr juce::Point<int> presetMenu { 275, 15 };

        // The menu opens under the box, with rows this tall in the default look.
        constexpr int firstRowCentre = 46, rowHeight = 28;
    }

    EditorGestures::EditorGestures (PluginWindow& pluginWindow) : window (pluginWindow) {}

    bool EditorGestures::viewIsUp() const
    {
        const auto view = window.pluginView();
        return view.has_value() && view->width == viewWidth && view->height == viewHeight;
    }

    void EditorGestures::press (int x, int y)
    {
        if (const auto view = window.pluginView())
        {
            mqtest::movePointer (view->id, x, y);
            pump (5);
            mqtest::setLeftButton (true);
            pump (5);
        }
    }

    void EditorGestures::release()
    {
        mqtest::setLeftButton (false);
        pump (5);
    }

    void EditorGestures::click (int x, int y)
    {
        press (x, y);
        release();
    }

    void EditorGestures::turnKnob (int knob, int pixels)
    {
        const auto centre = knobCentres[juce::jlimit (0, 2, knob)];
        press (centre.x, centre.y);

        if (const auto view = window.pluginView())
        {
            for (auto step = 1; step <= 4; ++step)
            {
                mqtest::movePointer (view->id, centre.x, centre.y - pixels * step / 4);
                pump (5);
            }
        }

        release();
    }

    void EditorGestures::clickEngage()
    {
        click (engageCentre.x, engageCentre.y);
    }

    void EditorGestures::clickArrow (bool next)
    {
        const auto arrow = next ? nextArrow : previousArrow;
        click (arrow.x, arrow.y);
    }

    void EditorGestures::choosePreset (int row)
    {
        const auto view = window.pluginView();

        if (! view.has_value())
            return;

        // The menu opens asynchronously, ignores a click that comes too soon after it opened,
        // and picks the row that its timer last saw under the pointer, so the pointer rests there first.
        const auto rowY = firstRowCentre + rowHeight * juce::jlimit (0, 3, row);
        const auto underRow = mqtest::pixelAt (view->id, presetMenu.x, rowY);
        click (presetMenu.x, presetMenu.y);
        pumpUntil ([&] { return mqtest::pixelAt (view->id, presetMenu.x, rowY) != underRow; }, 1000);
        mqtest::movePointer (view->id, presetMenu.x, rowY);
        pump (300);
        click (presetMenu.x, rowY);
    }
}
