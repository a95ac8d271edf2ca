#include "BinaryData.h"
#include "PluginEditor.h"
#include "X11Support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>
#include <thread>

namespace juce
{
    // The platform message pump behind MessageManager::runDispatchLoopUntil, which this build
    // leaves out (no modal loops).
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
    using Editor = MarvolenQuistra2AudioProcessorEditor;

    template <typename Predicate>
    bool pumpUntil (Predicate&& done, int timeoutMs = 3000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (! done())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return false;

            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
        }

        return true;
    }

    void pump (int ms)
    {
        pumpUntil ([] { return false; }, ms);
    }

    juce::Image embedded (const char* data, int size) { return juce::ImageCache::getFromMemory (data, size); }
    juce::Image blank() { return embedded (BinaryData::blankImage_png, BinaryData::blankImage_pngSize); }
    juce::Image dimmedLogo() { return embedded (BinaryData::dimmedLogoImage_png, BinaryData::dimmedLogoImage_pngSize); }

    // The controls in the order the editor adds them as children.
    struct Controls
    {
        explicit Controls (juce::Component& editor)
            : distortion (child<FilmStripKnob> (editor, 0)), filter (child<FilmStripKnob> (editor, 1)),
              volume (child<FilmStripKnob> (editor, 2)), engage (child<juce::ImageButton> (editor, 3)),
              overlay (child<juce::ImageButton> (editor, 4)), preset (child<juce::ComboBox> (editor, 5)),
              playlist (child<juce::ImageButton> (editor, 6)), channel (child<juce::ImageButton> (editor, 7)),
              previous (child<juce::ImageButton> (editor, 8)), next (child<juce::ImageButton> (editor, 9))
        {
        }

        template <typename Type>
        static Type& child (juce::Component& editor, int index)
        {
            return dynamic_cast<Type&> (*editor.getChildComponent (index));
        }

        std::array<FilmStripKnob*, 3> knobs() { return { &distortion, &filter, &volume }; }

        FilmStripKnob &distortion, &filter, &volume;
        juce::ImageButton &engage, &overlay;
        juce::ComboBox& preset;
        juce::ImageButton &playlist, &channel, &previous, &next;
    };

    // Counts everything the processor would report to a host.
    struct HostSpy final : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++changes; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gestures; }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int) override { ++gestures; }

        int changes = 0, gestures = 0;
    };

    class EditorTest : public ::testing::Test
    {
    public:
        void SetUp() override
        {
            pump (20);
            prepare (processor);
        }

        void TearDown() override
        {
            editor.reset();
            pump (20);
        }

        // As a host does: the rate first, then prepare, which resets the filters.
        static void prepare (MarvolenQuistra2AudioProcessor& p)
        {
            p.setRateAndBufferSizeDetails (44100.0, 64);
            p.prepareToPlay (44100.0, 64);
        }

        Editor& open (bool onDesktop = true)
        {
            editor.reset (dynamic_cast<Editor*> (processor.createEditor()));

            if (onDesktop)
            {
                editor->addToDesktop (0);
                editor->setVisible (true);
            }

            return *editor;
        }

        float value (const char* id) { return processor.apvts.getRawParameterValue (id)->load(); }

        void setFromHost (const char* id, float plainValue)
        {
            auto* parameter = processor.apvts.getParameter (id);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
        }

        std::array<float, 4> values() { return { value ("distortion"), value ("filter"), value ("volume"), value ("preset") }; }

        // A press and release of the left button at an editor position, through the window's peer.
        void click (juce::Point<float> position, int clicks = 1)
        {
            auto* peer = editor->getPeer();
            ASSERT_NE (peer, nullptr);

            for (auto i = 0; i < clicks; ++i)
            {
                peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position, juce::ModifierKeys::leftButtonModifier,
                                        juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                        juce::Time::currentTimeMillis());
                peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position, juce::ModifierKeys(),
                                        juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                        juce::Time::currentTimeMillis());
            }
        }

        void clickCentreOf (juce::Component& control, int clicks = 1)
        {
            click (control.getBounds().getCentre().toFloat(), clicks);
        }

        juce::AudioBuffer<float> process (const juce::AudioBuffer<float>& input)
        {
            juce::AudioBuffer<float> buffer (input);
            juce::MidiBuffer midi;
            processor.processBlock (buffer, midi);
            return buffer;
        }

        static juce::AudioBuffer<float> testSignal()
        {
            juce::AudioBuffer<float> buffer (2, 64);

            for (auto channel = 0; channel < 2; ++channel)
                for (auto i = 0; i < 64; ++i)
                    buffer.setSample (channel, i, 0.5f * std::sin (0.3f * (float) (i + channel)));

            return buffer;
        }

        static bool sameSamples (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
        {
            for (auto channel = 0; channel < a.getNumChannels(); ++channel)
                for (auto i = 0; i < a.getNumSamples(); ++i)
                    if (a.getSample (channel, i) != b.getSample (channel, i))
                        return false;

            return true;
        }

        MarvolenQuistra2AudioProcessor processor;
        std::unique_ptr<Editor> editor;
    };

    //==============================================================================
    TEST_F (EditorTest, ConstructionGivesFixedSizeBoundsAndKnobRanges)
    {
        Controls c (open (false));

        EXPECT_EQ (editor->getWidth(), 550);
        EXPECT_EQ (editor->getHeight(), 620);
        EXPECT_FALSE (editor->isResizable());
        ASSERT_EQ (editor->getNumChildComponents(), 10);

        const std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> bounds {
            { &c.distortion, { 106, 194, 66, 66 } }, { &c.filter, { 238, 194, 66, 66 } },
            { &c.volume, { 370, 194, 66, 66 } },     { &c.engage, { 238, 425, 100, 100 } },
            { &c.overlay, { 135, 286, 280, 129 } },  { &c.preset, { 195, 0, 160, 30 } },
            { &c.playlist, { 0, 0, 100, 30 } },      { &c.channel, { 498, 5, 48, 20 } },
            { &c.previous, { 170, 5, 20, 20 } },     { &c.next, { 360, 5, 20, 20 } } };

        for (const auto& [control, expected] : bounds)
        {
            EXPECT_EQ (control->getBounds(), expected);
            EXPECT_TRUE (control->isVisible());
        }

        for (auto* knob : c.knobs())
            EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);

        // Single-precision constants widened to double.
        EXPECT_EQ (c.distortion.getMaximum(), 0.5);
        EXPECT_EQ (c.distortion.getInterval(), 0.0010000000474974513);
        EXPECT_EQ (c.filter.getMinimum(), 250.0);
        EXPECT_EQ (c.filter.getMaximum(), 20000.0);
        EXPECT_EQ (c.filter.getInterval(), 0.10000000149011612);
        EXPECT_EQ (c.volume.getMaximum(), 0.800000011920929);
        EXPECT_EQ (c.volume.getInterval(), 0.0010000000474974513);

        // The filter knob keeps its parameter's skew: half its travel is the geometric mean.
        EXPECT_NEAR (c.filter.proportionOfLengthToValue (0.5), 2236.07, 0.5);
        EXPECT_NEAR (c.distortion.proportionOfLengthToValue (0.5), 0.25, 1e-9);
        EXPECT_NEAR (c.volume.proportionOfLengthToValue (0.5), 0.4, 1e-7);

        EXPECT_EQ (c.engage.getNormalImage(), blank());
        EXPECT_EQ (c.overlay.getNormalImage(), blank());
        EXPECT_EQ (c.playlist.getNormalImage(), embedded (BinaryData::playlistLabelImage_png, BinaryData::playlistLabelImage_pngSize));
        EXPECT_EQ (c.channel.getNormalImage(), embedded (BinaryData::channelLogoImage_png, BinaryData::channelLogoImage_pngSize));
        EXPECT_EQ (c.previous.getNormalImage(), embedded (BinaryData::previousArrowImage_png, BinaryData::previousArrowImage_pngSize));
        EXPECT_EQ (c.next.getNormalImage(), embedded (BinaryData::nextArrowImage_png, BinaryData::nextArrowImage_pngSize));
        EXPECT_EQ (c.engage.getOverImage(), blank());
        EXPECT_EQ (c.engage.getDownImage(), blank());

        const juce::StringArray items { "Default Setting", "Gentle Nibble", "Nasty Bite", "Black Death" };
        ASSERT_EQ (c.preset.getNumItems(), 4);

        for (auto i = 0; i < 4; ++i)
        {
            EXPECT_EQ (c.preset.getItemId (i), i + 1);
            EXPECT_EQ (c.preset.getItemText (i), items[i]);
        }
    }

    TEST_F (EditorTest, OpeningShowsParameterValuesAndSelectsNoPreset)
    {
        for (const auto preset : { 1.0f, 3.0f, 4.0f })
        {
            setFromHost ("distortion", 0.33f);
            setFromHost ("filter", 4321.0f);
            setFromHost ("volume", 0.5f);
            setFromHost ("preset", preset);
            const auto before = values();

            HostSpy spy;
            processor.addListener (&spy);
            Controls c (open());
            pump (150);

            EXPECT_NEAR (c.distortion.getValue(), 0.33, 1e-6);
            EXPECT_NEAR (c.filter.getValue(), 4321.0, 0.05);
            EXPECT_NEAR (c.volume.getValue(), 0.5, 1e-6);
            EXPECT_EQ (c.preset.getSelectedId(), 0);
            EXPECT_EQ (c.preset.getText(), "");
            EXPECT_EQ (c.preset.getTextWhenNothingSelected(), "Presets");

            editor.reset();
            pump (50);
            processor.removeListener (&spy);

            EXPECT_EQ (values(), before);
            EXPECT_EQ (spy.changes, 0);
            EXPECT_EQ (spy.gestures, 0);
            EXPECT_TRUE (processor.effectOn.load());
        }
    }

    // As JUCE's VST3 client on Linux does it: the host's thread builds the view under the message
    // manager lock before it has become the message thread, so the attachments' first updates
    // arrive later, once the menu has its items.
    TEST_F (EditorTest, OpeningOffTheMessageThreadSelectsNothingAndChangesNothing)
    {
        setFromHost ("preset", 2.0f);
        const auto before = values();
        HostSpy spy;
        processor.addListener (&spy);

        std::atomic<bool> built { false };
        std::thread host ([&]
        {
            const juce::MessageManagerLock lock;
            editor.reset (dynamic_cast<Editor*> (processor.createEditor()));
            built = true;
        });

        ASSERT_TRUE (pumpUntil ([&] { return built.load(); }));
        host.join();
        pump (200);

        Controls c (*editor);
        EXPECT_EQ (c.preset.getSelectedId(), 0);
        EXPECT_NEAR (c.filter.getValue(), 1000.0, 0.05);
        EXPECT_NEAR (c.distortion.getValue(), 0.15, 1e-6);
        EXPECT_EQ (values(), before);
        EXPECT_EQ (spy.changes, 0);

        // Later host changes of "preset" still pick and apply their row.
        setFromHost ("preset", 3.0f);
        EXPECT_EQ (c.preset.getSelectedId(), 3);
        EXPECT_NEAR (c.filter.getValue(), 5000.0, 0.05);
        processor.removeListener (&spy);
    }

    TEST_F (EditorTest, DoubleClickReturnsKnobAndParameterToDefault)
    {
        Controls c (open());
        setFromHost ("distortion", 0.4f);
        setFromHost ("filter", 7000.0f);
        setFromHost ("volume", 0.7f);

        for (auto* knob : c.knobs())
            clickCentreOf (*knob, 2);

        pump (50);
        EXPECT_NEAR (c.distortion.getValue(), 0.15, 1e-6);
        EXPECT_NEAR (c.filter.getValue(), 1000.0, 0.05);
        EXPECT_NEAR (c.volume.getValue(), 0.18, 1e-6);
        EXPECT_FLOAT_EQ (value ("distortion"), 0.15f);
        EXPECT_FLOAT_EQ (value ("filter"), 1000.0f);
        EXPECT_FLOAT_EQ (value ("volume"), 0.18f);
    }

    //==============================================================================
    TEST_F (EditorTest, EngageClickFlipsEffectAndOverlay)
    {
        Controls c (open());
        pump (100);
        const auto input = testSignal();
        ASSERT_FALSE (sameSamples (process (input), input));

        // The corners of the square count too, although it draws nothing.
        for (const auto corner : { juce::Point<float> (238.0f, 425.0f), juce::Point<float> (337.0f, 524.0f) })
        {
            click (corner);
            EXPECT_FALSE (processor.effectOn.load());
            EXPECT_TRUE (pumpUntil ([&] { return c.overlay.getNormalImage() == dimmedLogo(); }));
            EXPECT_TRUE (sameSamples (process (input), input));

            click (corner);
            EXPECT_TRUE (processor.effectOn.load());
            EXPECT_TRUE (pumpUntil ([&] { return c.overlay.getNormalImage() == blank(); }));
        }

        const auto before = values();
        clickCentreOf (c.overlay);
        click ({ 20.0f, 600.0f });
        click ({ 500.0f, 100.0f });
        pump (100);
        EXPECT_TRUE (processor.effectOn.load());
        EXPECT_EQ (c.overlay.getNormalImage(), blank());
        EXPECT_EQ (c.preset.getSelectedId(), 0);
        EXPECT_EQ (values(), before);
    }

    TEST_F (EditorTest, EditorOpenedWhileOffShowsDimmedLetteringAtFirstPaint)
    {
        clickCentreOf (Controls (open()).engage);
        editor.reset();
        ASSERT_FALSE (processor.effectOn.load());

        Controls c (open (false));
        editor->createComponentSnapshot (editor->getLocalBounds());
        EXPECT_EQ (c.overlay.getNormalImage(), dimmedLogo());

        editor->addToDesktop (0);
        editor->setVisible (true);
        clickCentreOf (c.engage);
        EXPECT_TRUE (processor.effectOn.load());
        EXPECT_TRUE (pumpUntil ([&] { return c.overlay.getNormalImage() == blank(); }));
    }

    //==============================================================================
    TEST_F (EditorTest, EachPresetRowSetsKnobsThenParameters)
    {
        struct Row { float distortion, filter, volume; };
        const std::array<Row, 4> rows { { { 0.15f, 2500.0f, 0.18f }, { 0.1f, 3000.0f, 0.15f },
                                          { 0.3f, 5000.0f, 0.25f }, { 0.4f, 9500.0f, 0.4f } } };
        Controls c (open());

        for (auto id = 1; id <= 4; ++id)
        {
            const auto& row = rows[(size_t) id - 1];
            const auto before = values();
            c.preset.setSelectedId (id, juce::sendNotificationSync);

            EXPECT_NEAR (c.distortion.getValue(), row.distortion, 1e-6);
            EXPECT_NEAR (c.filter.getValue(), row.filter, 0.05);
            EXPECT_NEAR (c.volume.getValue(), row.volume, 1e-6);
            EXPECT_EQ (value ("filter"), before[1]);

            pump (50);
            EXPECT_FLOAT_EQ (value ("distortion"), row.distortion);
            EXPECT_FLOAT_EQ (value ("filter"), row.filter);
            EXPECT_FLOAT_EQ (value ("volume"), row.volume);
            EXPECT_FLOAT_EQ (value ("preset"), (float) id);
        }
    }

    TEST_F (EditorTest, ArrowsWrapAroundTheFourRows)
    {
        const auto clickAndWait = [&] (Controls& c, juce::ImageButton& arrow, int expectedId)
        {
            clickCentreOf (arrow);
            EXPECT_TRUE (pumpUntil ([&] { return juce::approximatelyEqual (value ("preset"), (float) expectedId); }));
            EXPECT_EQ (c.preset.getSelectedId(), expectedId);
        };

        {
            Controls c (open());
            clickAndWait (c, c.previous, 4);
            EXPECT_NEAR (c.filter.getValue(), 9500.0, 0.05);
            clickAndWait (c, c.next, 1);
            clickAndWait (c, c.previous, 4);
            clickAndWait (c, c.previous, 3);
            clickAndWait (c, c.next, 4);
        }

        Controls fresh (open());
        clickAndWait (fresh, fresh.next, 1);
        clickAndWait (fresh, fresh.next, 2);
        EXPECT_NEAR (fresh.filter.getValue(), 3000.0, 0.05);
    }

    TEST_F (EditorTest, ChoosingTheShownRowAgainDoesNothing)
    {
        Controls c (open());
        c.preset.setSelectedId (1);
        pump (50);
        c.distortion.setValue (0.42, juce::sendNotificationSync);
        pump (50);

        c.preset.setSelectedId (1);
        pump (50);
        EXPECT_NEAR (c.distortion.getValue(), 0.42, 1e-6);
        EXPECT_FLOAT_EQ (value ("distortion"), 0.42f);
    }

    TEST_F (EditorTest, HostChangeOfPresetAppliesNearestRow)
    {
        Controls c (open());
        c.preset.setSelectedId (1);
        pump (50);

        setFromHost ("preset", 2.4f);
        EXPECT_EQ (c.preset.getSelectedId(), 2);
        EXPECT_NEAR (c.distortion.getValue(), 0.1, 1e-6);
        EXPECT_NEAR (c.filter.getValue(), 3000.0, 0.05);
        EXPECT_NEAR (c.volume.getValue(), 0.15, 1e-6);
        pump (50);
        EXPECT_FLOAT_EQ (value ("filter"), 3000.0f);
        EXPECT_FLOAT_EQ (value ("preset"), 2.4f);

        // Nearest to the row shown: nothing moves.
        c.filter.setValue (4000.0, juce::sendNotificationSync);
        setFromHost ("preset", 1.8f);
        EXPECT_EQ (c.preset.getSelectedId(), 2);
        EXPECT_NEAR (c.filter.getValue(), 4000.0, 0.05);

        // A value between rows lands on the nearest one and applies exactly that row.
        setFromHost ("preset", 3.6f);
        pump (50);
        EXPECT_EQ (c.preset.getSelectedId(), 4);
        EXPECT_FLOAT_EQ (value ("filter"), 9500.0f);
    }

    //==============================================================================
    class LinkTest : public EditorTest
    {
    protected:
        void SetUp() override
        {
            EditorTest::SetUp();
            oldPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
            bin = juce::File::createTempFile ("bin");
            ASSERT_TRUE (bin.createDirectory());
            log = bin.getChildFile ("opened.txt");
            ::setenv ("PATH", (bin.getFullPathName() + ":" + oldPath).toRawUTF8(), 1);
        }

        void TearDown() override
        {
            EditorTest::TearDown();
            ::setenv ("PATH", oldPath.toRawUTF8(), 1);
            bin.deleteRecursively();
        }

        void installXdgOpen (const juce::String& exitCommand)
        {
            const auto script = bin.getChildFile ("xdg-open");
            ASSERT_TRUE (script.replaceWithText ("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.getFullPathName() + "'\n"
                                                 + exitCommand + "\n", false, false, "\n"));
            ASSERT_TRUE (script.setExecutePermission (true));
        }

        juce::StringArray opened() { return juce::StringArray::fromLines (log.loadFileAsString().trimEnd()); }

        juce::File bin, log;
        juce::String oldPath;
    };

    TEST_F (LinkTest, EachButtonOpensItsAddress)
    {
        installXdgOpen ("exit 0");
        Controls c (open());
        const auto before = values();

        clickCentreOf (c.channel);
        ASSERT_TRUE (pumpUntil ([&] { return opened().size() == 1; }));
        clickCentreOf (c.playlist);
        ASSERT_TRUE (pumpUntil ([&] { return opened().size() == 2; }));

        EXPECT_EQ (opened(), juce::StringArray ({ "https://www.youtube.com/@ZelboRuk", "https://www.youtube.com/@ZelboRuk/playlists" }));
        EXPECT_EQ (values(), before);
        EXPECT_TRUE (processor.effectOn.load());
        EXPECT_EQ (c.preset.getSelectedId(), 0);
    }

    TEST_F (LinkTest, BrowserThatCannotStartLeavesEditorWorking)
    {
        // Failing and taking its shell along, so none of the fallback browsers after "||" runs.
        installXdgOpen ("kill -9 $PPID; exit 1");
        Controls c (open());

        clickCentreOf (c.channel);
        ASSERT_TRUE (pumpUntil ([&] { return opened().size() == 1; }));
        clickCentreOf (c.engage);
        EXPECT_FALSE (processor.effectOn.load());
        clickCentreOf (c.next);
        EXPECT_TRUE (pumpUntil ([&] { return c.preset.getSelectedId() == 1; }));
    }

    //==============================================================================
    // What the editor should look like, drawn from the embedded pictures: the background
    // squeezed from 650 to 620 rows, each knob's frame for its position, the button images
    // unscaled and centred, the dimmed lettering only while the effect is off.
    juce::Image expectedFace (Controls& c, bool effectOn)
    {
        juce::Image face (juce::Image::ARGB, 550, 620, true);
        juce::Graphics g (face);
        g.fillAll (juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));

        const auto background = embedded (BinaryData::backgroundPanelImage_png, BinaryData::backgroundPanelImage_pngSize);
        g.drawImageTransformed (background, juce::AffineTransform::scale (1.0f, 620.0f / (float) background.getHeight()));

        const auto strip = embedded (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize);

        for (auto* knob : c.knobs())
        {
            const auto frame = (int) ((float) knob->valueToProportionOfLength (knob->getValue()) * 30.0f);
            const auto b = knob->getBounds();
            g.drawImage (strip, b.getX(), b.getY(), b.getWidth(), b.getHeight(), 0, frame * 64, 64, 64);
        }

        const auto drawCentred = [&] (juce::Component& button, const juce::Image& image)
        {
            const auto b = button.getBounds();
            g.drawImageAt (image, b.getX() + (b.getWidth() - image.getWidth()) / 2, b.getY() + (b.getHeight() - image.getHeight()) / 2);
        };

        drawCentred (c.playlist, embedded (BinaryData::playlistLabelImage_png, BinaryData::playlistLabelImage_pngSize));
        drawCentred (c.channel, embedded (BinaryData::channelLogoImage_png, BinaryData::channelLogoImage_pngSize));
        drawCentred (c.previous, embedded (BinaryData::previousArrowImage_png, BinaryData::previousArrowImage_pngSize));
        drawCentred (c.next, embedded (BinaryData::nextArrowImage_png, BinaryData::nextArrowImage_pngSize));

        if (! effectOn)
            drawCentred (c.overlay, dimmedLogo());

        return face;
    }

    // Largest channel difference outside the menu, which the look-and-feel draws.
    int largestDifference (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> skipped)
    {
        auto largest = 0;

        for (auto y = 0; y < a.getHeight(); ++y)
        {
            for (auto x = 0; x < a.getWidth(); ++x)
            {
                if (skipped.contains (x, y))
                    continue;

                const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
                largest = juce::jmax (largest, std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                                      std::abs (p.getBlue() - q.getBlue()));
            }
        }

        return largest;
    }

    TEST_F (EditorTest, SnapshotShowsSqueezedBackgroundKnobFramesAndOverlay)
    {
        setFromHost ("distortion", 0.08f);
        setFromHost ("filter", 20000.0f);
        setFromHost ("volume", 0.33f);
        Controls c (open());

        for (const auto effectOn : { true, false })
        {
            if (processor.effectOn.load() != effectOn)
                clickCentreOf (c.engage);

            pump (100);
            const auto snapshot = editor->createComponentSnapshot (editor->getLocalBounds());
            ASSERT_EQ (snapshot.getBounds(), juce::Rectangle<int> (0, 0, 550, 620));
            EXPECT_LE (largestDifference (snapshot, expectedFace (c, effectOn), c.preset.getBounds()), 2) << "effect on: " << effectOn;
        }
    }

    TEST_F (EditorTest, IdleEditorStopsRepainting)
    {
        struct PaintCounter final : juce::Component
        {
            void paint (juce::Graphics&) override { ++paints; }
            int paints = 0;
        };

        PaintCounter window;
        open (false);
        window.setSize (550, 620);
        window.addAndMakeVisible (*editor);
        window.addToDesktop (0);
        window.setVisible (true);

        ASSERT_TRUE (pumpUntil ([&] { return window.paints > 0; }));
        pump (300);
        window.paints = 0;
        pump (1000);
        EXPECT_EQ (window.paints, 0);

        clickCentreOf (Controls (*editor).engage);
        ASSERT_TRUE (pumpUntil ([&] { return window.paints > 0; }));
        pump (300);
        window.paints = 0;
        pump (1000);
        EXPECT_EQ (window.paints, 0);

        editor.reset();
    }

    //==============================================================================
    TEST_F (EditorTest, TeardownRemovesAttachmentsBeforeAnyControl)
    {
        struct Watcher final : juce::ComponentListener
        {
            void componentBeingDeleted (juce::Component& component) override
            {
                if (order.empty())
                {
                    // Every attachment must be gone: neither direction may still be bound.
                    test->setFromHost ("filter", 6000.0f);
                    test->setFromHost ("preset", 4.0f);
                    knobAfterHostChange = controls->filter.getValue();
                    selectedAfterHostChange = controls->preset.getSelectedId();
                    controls->volume.setValue (0.7, juce::sendNotificationSync);
                    volumeAfterKnobChange = test->value ("volume");
                }

                order.push_back (&component);
            }

            EditorTest* test = nullptr;
            Controls* controls = nullptr;
            std::vector<juce::Component*> order;
            double knobAfterHostChange = 0.0;
            int selectedAfterHostChange = -1;
            float volumeAfterKnobChange = 0.0f;
        };

        Controls c (open());
        Watcher watcher;
        watcher.test = this;
        watcher.controls = &c;

        for (auto i = 0; i < editor->getNumChildComponents(); ++i)
            editor->getChildComponent (i)->addComponentListener (&watcher);

        editor.reset();

        EXPECT_EQ (watcher.order, (std::vector<juce::Component*> { &c.next, &c.previous, &c.channel, &c.playlist, &c.preset,
                                                                    &c.overlay, &c.engage, &c.volume, &c.filter, &c.distortion }));
        EXPECT_NEAR (watcher.knobAfterHostChange, 1000.0, 0.05);
        EXPECT_EQ (watcher.selectedAfterHostChange, 0);
        EXPECT_FLOAT_EQ (watcher.volumeAfterKnobChange, 0.18f);
    }

    TEST_F (EditorTest, DestroyingThroughEachBaseRunsTeardownOnce)
    {
        struct DeletionCounter final : juce::ComponentListener
        {
            void componentBeingDeleted (juce::Component&) override { ++deletions; }
            int deletions = 0;
        };

        const auto input = testSignal();
        const auto expectedOutput = [&] { MarvolenQuistra2AudioProcessor reference; prepare (reference);
                                          juce::AudioBuffer<float> b (input); juce::MidiBuffer m; reference.processBlock (b, m); return b; }();

        const std::vector<std::function<void (Editor*)>> deleters {
            [] (Editor* e) { delete static_cast<juce::AudioProcessorEditor*> (e); },
            [] (Editor* e) { delete static_cast<juce::Slider::Listener*> (e); },
            [] (Editor* e) { delete static_cast<juce::Button::Listener*> (e); },
            [] (Editor* e) { delete static_cast<juce::ComboBox::Listener*> (e); } };

        for (const auto& destroy : deleters)
        {
            auto* e = dynamic_cast<Editor*> (processor.createEditor());
            DeletionCounter editorDeleted, knobDeleted;
            e->addComponentListener (&editorDeleted);
            Controls (*e).filter.addComponentListener (&knobDeleted);
            const auto before = values();

            destroy (e);
            pump (20);

            EXPECT_EQ (editorDeleted.deletions, 1);
            EXPECT_EQ (knobDeleted.deletions, 1);
            EXPECT_EQ (values(), before);
            EXPECT_TRUE (processor.effectOn.load());
            prepare (processor);
            EXPECT_TRUE (sameSamples (process (input), expectedOutput));
        }
    }
}
