#include "BinaryData.h"
#include "JuceHost.h"

#include <gtest/gtest.h>

namespace
{
    std::vector<float> parameterValues (juce::AudioPluginInstance& plugin)
    {
        std::vector<float> values;

        for (auto* parameter : plugin.getParameters())
            values.push_back (parameter->getValue());

        return values;
    }

    juce::MemoryBlock stateOf (juce::AudioPluginInstance& plugin)
    {
        juce::MemoryBlock state;
        plugin.getStateInformation (state);
        return state;
    }

    int difference (juce::Colour p, juce::Colour q)
    {
        return juce::jmax (std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                           std::abs (p.getBlue() - q.getBlue()));
    }

    int largestDifference (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return 256;

        auto largest = 0;

        for (auto y = 0; y < a.getHeight(); ++y)
        {
            for (auto x = 0; x < a.getWidth(); ++x)
                largest = juce::jmax (largest, difference (a.getPixelAt (x, y), b.getPixelAt (x, y)));
        }

        return largest;
    }

    // Pixels off by more than the rounding of a resampled background: a partial repaint can
    // shift the edge column of its area by a level or two, so the same editor painted twice
    // may differ along a column or two.
    int pixelsThatDiffer (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return a.getWidth() * a.getHeight();

        auto count = 0;

        for (auto y = 0; y < a.getHeight(); ++y)
            for (auto x = 0; x < a.getWidth(); ++x)
                if (difference (a.getPixelAt (x, y), b.getPixelAt (x, y)) > 2)
                    ++count;

        return count;
    }

    // The preset menu at (195, 0, 160, 30) as this host's own JUCE draws a default combo box
    // over the plug-in's squeezed background.
    juce::Image expectedMenu (bool showPresets)
    {
        juce::Image menu (juce::Image::ARGB, 160, 30, true);
        juce::Graphics g (menu);
        g.fillAll (juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));

        const auto background = juce::ImageCache::getFromMemory (BinaryData::backgroundPanelImage_png, BinaryData::backgroundPanelImage_pngSize);
        g.drawImageTransformed (background, juce::AffineTransform::scale (1.0f, 620.0f / (float) background.getHeight()).translated (-195.0f, 0.0f));

        juce::ComboBox box;
        box.setTextWhenNothingSelected ("Presets");
        box.addItem ("Default Setting", 1);

        if (! showPresets)
            box.setSelectedId (1, juce::dontSendNotification);

        box.setSize (160, 30);
        box.paintEntireComponent (g, false);
        return menu;
    }

    ::testing::AssertionResult menuShowsPresets (const juce::Image& shot)
    {
        const auto menu = shot.getClippedImage ({ 195, 0, 160, 30 });
        const auto offPresets = largestDifference (menu, expectedMenu (true));
        const auto offRow = largestDifference (menu, expectedMenu (false));

        if (offPresets <= 8 && offRow > 8)
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "menu differs by " << offPresets << " from \"Presets\" and by "
                                             << offRow << " from a selected row";
    }

    class EditorThroughHost : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            juce::String error;
            plugin = mqjuce::loadVst3 (mqjuce::bundleOf (juce::File (MQ_PLUGIN_BINARY)), 44100.0, 512, error);
            ASSERT_NE (plugin, nullptr) << error;
        }

        void TearDown() override
        {
            window.reset();
            plugin.reset();
            mqjuce::pump (50);
        }

        // Opens the view and waits until the plug-in's window is up and has painted.
        std::optional<mqtest::WindowGeometry> openView()
        {
            if (! window->open())
                return {};

            const auto up = mqjuce::pumpUntil ([&]
            {
                const auto view = window->pluginView();
                return view.has_value() && view->width == 550 && view->height == 620;
            });

            mqjuce::pump (500);
            return up ? window->pluginView() : std::nullopt;
        }

        mqjuce::HostSession session;
        std::unique_ptr<juce::AudioPluginInstance> plugin;
        std::unique_ptr<mqjuce::PluginWindow> window;
    };

    TEST_F (EditorThroughHost, OpensFixedSizeViewAndReopensAFreshEditorWithTheSameState)
    {
        const auto valuesBefore = parameterValues (*plugin);
        const auto stateBefore = stateOf (*plugin);
        ASSERT_EQ (plugin->getParameters().size(), 5);

        window = std::make_unique<mqjuce::PluginWindow> (*plugin);
        const auto first = openView();
        ASSERT_TRUE (first.has_value());
        EXPECT_EQ (window->getHostEditor()->getWidth(), 550);
        EXPECT_EQ (window->getHostEditor()->getHeight(), 620);

        const auto shot = window->screenshot();
        ASSERT_EQ (shot.getBounds(), juce::Rectangle<int> (0, 0, 550, 620));
        juce::File (MQ_SCREENSHOT).deleteFile();
        juce::FileOutputStream out (juce::File (MQ_SCREENSHOT));
        ASSERT_TRUE (out.openedOk());
        EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (shot, out));

        EXPECT_TRUE (menuShowsPresets (shot));
        EXPECT_EQ (parameterValues (*plugin), valuesBefore);
        EXPECT_TRUE (stateOf (*plugin) == stateBefore);

        // The view refuses a new size: the host's request leaves the plug-in's window as it was.
        window->getHostEditor()->setSize (700, 700);
        mqjuce::pump (300);
        const auto afterResize = window->pluginView();
        ASSERT_TRUE (afterResize.has_value());
        EXPECT_EQ (afterResize->width, 550);
        EXPECT_EQ (afterResize->height, 620);

        window->close();
        mqjuce::pump (200);
        EXPECT_FALSE (window->pluginView().has_value());
        EXPECT_EQ (parameterValues (*plugin), valuesBefore);

        const auto second = openView();
        ASSERT_TRUE (second.has_value());
        EXPECT_NE (second->id, first->id);
        const auto reopened = window->screenshot();
        EXPECT_TRUE (menuShowsPresets (reopened));
        EXPECT_LE (pixelsThatDiffer (reopened, shot), 2 * 620);
        EXPECT_EQ (parameterValues (*plugin), valuesBefore);
        EXPECT_TRUE (stateOf (*plugin) == stateBefore);

        window->close();
        mqjuce::pump (100);
        EXPECT_TRUE (stateOf (*plugin) == stateBefore);
    }
}
