// Instances created, run, given an editor and released in the orders hosts use, many times over.
// Run under AddressSanitizer with leak checking in CI, where a leak or a use after free fails it.
#include "EditorGestures.h"
#include "HostedPlugin.h"

#include <gtest/gtest.h>

namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int blockSize = 128;
    constexpr int rounds = 200;

    std::unique_ptr<juce::AudioPluginInstance> load()
    {
        juce::String error;
        auto plugin = mqjuce::loadVst3 (mqjuce::bundleOf (juce::File (MQ_PLUGIN_BINARY)), sampleRate, blockSize, error);
        EXPECT_NE (plugin, nullptr) << error;
        return plugin;
    }

    juce::AudioBuffer<float> process (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input)
    {
        auto buffer = input;
        juce::MidiBuffer midi;
        plugin.processBlock (buffer, midi);
        return buffer;
    }

    void processSome (juce::AudioPluginInstance& plugin, int blocks)
    {
        const auto input = mqjuce::noise (2, blockSize, 5);

        for (auto i = 0; i < blocks; ++i)
            process (plugin, input);
    }

    bool openView (mqjuce::PluginWindow& window)
    {
        mqjuce::EditorGestures gestures (window);
        return window.open() && mqjuce::pumpUntil ([&] { return gestures.viewIsUp(); }, 3000);
    }

    // Values the editor has not shown yet are still queued for it when it goes.
    void queueEditorUpdates (juce::AudioPluginInstance& plugin, int round)
    {
        for (const auto* name : { "Distortion", "Filter", "Volume" })
            mqjuce::parameterNamed (plugin, name).setValueNotifyingHost ((float) (round % 10) / 10.0f);
    }

    TEST (LifecycleChurn, HundredsOfInstancesInTheOrdersHostsUse)
    {
        mqjuce::HostSession session;

        // Lifetimes overlap: each round's instance lives on into the next round.
        std::unique_ptr<juce::AudioPluginInstance> previous;
        auto editorsOpened = 0;

        for (auto round = 0; round < rounds; ++round)
        {
            auto plugin = load();
            ASSERT_NE (plugin, nullptr);
            auto window = std::make_unique<mqjuce::PluginWindow> (*plugin);

            switch (round % 4)
            {
                case 0:
                    plugin->prepareToPlay (sampleRate, blockSize);
                    processSome (*plugin, 4);
                    ASSERT_TRUE (openView (*window));
                    ++editorsOpened;
                    window->close();
                    plugin->releaseResources();
                    break;

                case 1:
                    // View removed and attached again, then released in one go with its instance.
                    ASSERT_TRUE (openView (*window));
                    window->close();
                    mqjuce::pump (10);
                    ASSERT_TRUE (openView (*window));
                    editorsOpened += 2;
                    plugin->prepareToPlay (sampleRate, blockSize);
                    processSome (*plugin, 4);
                    queueEditorUpdates (*plugin, round);
                    window.reset();
                    plugin.reset();
                    break;

                case 2:
                    // Activation toggled while the editor is open.
                    ASSERT_TRUE (openView (*window));
                    ++editorsOpened;

                    for (auto toggle = 0; toggle < 3; ++toggle)
                    {
                        plugin->prepareToPlay (sampleRate * (toggle + 1), blockSize);
                        processSome (*plugin, 2);
                        plugin->releaseResources();
                    }

                    queueEditorUpdates (*plugin, round);
                    window->close();
                    break;

                default:
                    // Created and released without ever running.
                    break;
            }

            window.reset();
            previous = std::move (plugin);
            mqjuce::pump (5);
        }

        previous.reset();
        mqjuce::pump (100);
        EXPECT_EQ (editorsOpened, rounds);
    }

    TEST (LifecycleChurn, LiveInstancesShareNothing)
    {
        mqjuce::HostSession session;

        // B and C get the same treatment throughout; everything happens to A.
        auto a = load(), b = load(), c = load();
        ASSERT_TRUE (a != nullptr && b != nullptr && c != nullptr);

        for (auto* plugin : { a.get(), b.get(), c.get() })
            plugin->prepareToPlay (sampleRate, blockSize);

        const auto defaults = mqjuce::savedValues (*b);

        mqjuce::PluginWindow window (*a);
        mqjuce::EditorGestures gestures (window);
        ASSERT_TRUE (openView (window));
        mqjuce::pump (200);

        juce::MemoryBlock otherState;
        {
            auto other = load();
            ASSERT_NE (other, nullptr);
            mqjuce::parameterNamed (*other, "Volume").setValueNotifyingHost (0.9f);
            other->getStateInformation (otherState);
        }

        // The gestures reach A: a click on the engage area turns its effect off, a drag turns a
        // knob, the menu and the arrows choose presets.
        const auto probe = mqjuce::noise (2, blockSize, 99);
        gestures.clickEngage();
        ASSERT_TRUE (mqjuce::pumpUntil ([&] { return mqjuce::largestDifference (process (*a, probe), probe) == 0.0f; }));

        auto& volume = mqjuce::parameterNamed (*a, "Volume");
        const auto volumeBefore = volume.getValue();
        gestures.turnKnob (2, 30);
        ASSERT_TRUE (mqjuce::pumpUntil ([&] { return volume.getValue() != volumeBefore; }));

        // The rows of "Nasty Bite" and "Black Death" set "distortion" to 0.3 and 0.4 of 0.5.
        auto& distortion = mqjuce::parameterNamed (*a, "Distortion");
        const auto distortionNear = [&] (float expected) { return std::abs (distortion.getValue() - expected) < 1.0e-6f; };
        gestures.choosePreset (2);
        ASSERT_TRUE (mqjuce::pumpUntil ([&] { return distortionNear (0.3f / 0.5f); }));
        gestures.clickArrow (true);
        ASSERT_TRUE (mqjuce::pumpUntil ([&] { return distortionNear (0.4f / 0.5f); }));

        for (auto block = 0; block < 40; ++block)
        {
            switch (block % 5)
            {
                case 0: gestures.clickEngage(); break;
                case 1: gestures.turnKnob (block % 3, 30); break;
                case 2: mqjuce::parameterNamed (*a, "Filter").setValueNotifyingHost ((float) block / 40.0f); break;
                case 3: a->setStateInformation (otherState.getData(), (int) otherState.getSize()); break;
                default: gestures.choosePreset (block % 4); break;
            }

            mqjuce::pump (20);
            process (*a, mqjuce::noise (2, blockSize, 1000 + (unsigned int) block));

            const auto input = mqjuce::noise (2, blockSize, (unsigned int) block);
            const auto fromB = process (*b, input);
            const auto fromC = process (*c, input);
            ASSERT_EQ (mqjuce::largestDifference (fromB, fromC), 0.0f) << "block " << block;
            ASSERT_GT (mqjuce::largestDifference (fromB, input), 0.0f) << "block " << block;
        }

        EXPECT_EQ (mqjuce::savedValues (*b), defaults);
        EXPECT_EQ (mqjuce::savedValues (*c), defaults);
        EXPECT_NE (mqjuce::savedValues (*a), defaults);

        window.close();
        mqjuce::pump (50);
    }
}
