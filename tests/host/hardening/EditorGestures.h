#pragma once

#include "JuceHost.h"

// Mouse gestures on the plug-in's view in a PluginWindow, aimed at where the editor lays out its
// controls, delivered by the X server as real pointer input.
namespace mqjuce
{
    class EditorGestures final
    {
    public:
        explicit EditorGestures (PluginWindow&);

        // True once the plug-in's window is on screen at its full size.
        bool viewIsUp() const;

        // Drags knob 0, 1 or 2 (distortion, filter, volume) upwards by the given number of pixels.
        void turnKnob (int knob, int pixels);
        void clickEngage();
        void clickArrow (bool next);
        // Opens the preset menu and clicks one of its rows, 0 to 3.
        void choosePreset (int row);

    private:
        void press (int x, int y);
        void release();
        void click (int x, int y);

        PluginWindow& window;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorGestures)
    };
}
