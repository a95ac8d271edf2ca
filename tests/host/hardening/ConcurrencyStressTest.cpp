// One thread processes blocks without pause, a second sends automation, and the message thread
// works the editor and the state, all through JUCE's VST3 hosting. Built with ThreadSanitizer in CI.
#include "EditorGestures.h"
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <random>
#include <thread>

namespace
{
#if defined(__SANITIZE_THREAD__)
    constexpr auto stressSeconds = 20;
#else
    constexpr auto stressSeconds = 5;
#endif

    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 256;

    const std::array<juce::String, 3> automatedNames { "Distortion", "Filter", "Volume" };
    const std::array<juce::String, 3> automatedIds { "distortion", "filter", "volume" };

    // The plug-in's own ranges, for the plain value that a normalised one stands for.
    const std::array<juce::NormalisableRange<float>, 3> plainRanges { juce::NormalisableRange<float> (0.0f, 0.5f, 0.01f),
                                                                      juce::NormalisableRange<float> (250.0f, 20000.0f, 0.1f, 0.30176237f),
                                                                      juce::NormalisableRange<float> (0.0f, 0.8f, 0.01f) };

    float plainValue (size_t index, float normalised)
    {
        return plainRanges[index].snapToLegalValue (plainRanges[index].convertFrom0to1 (normalised));
    }

    // What the plug-in's controller reports back for a value sent, after the plug-in snapped it.
    float reportedValue (size_t index, float normalised)
    {
        return plainRanges[index].convertTo0to1 (plainValue (index, normalised));
    }

    // The chain's largest output for inputs within +-1: volume 0.8 times the soft clip's bound of
    // 1.5, times the low-pass's largest gain on any signal, the sum of its impulse response's
    // magnitudes (1 + |a| for the mean of a sample and a first-order all-pass), below 2.
    constexpr float outputBound = 2.4f;

    class AudioThread final
    {
    public:
        explicit AudioThread (juce::AudioPluginInstance& pluginToRun)
            : plugin (pluginToRun), thread ([this] { run(); })
        {
        }

        ~AudioThread() { stop(); }

        void stop()
        {
            running = false;

            if (thread.joinable())
                thread.join();
        }

        int blocks() const { return processed.load(); }
        bool allFiniteAndBounded() const { return ! outOfBounds.load(); }

    private:
        void run()
        {
            const auto source = mqjuce::noise (2, blockSize, 7);
            juce::AudioBuffer<float> buffer (2, blockSize);
            juce::MidiBuffer midi;

            while (running)
            {
                buffer.makeCopyOf (source, true);
                plugin.processBlock (buffer, midi);

                for (auto channel = 0; channel < 2; ++channel)
                    for (auto i = 0; i < blockSize; ++i)
                        if (! (std::abs (buffer.getSample (channel, i)) <= outputBound))
                            outOfBounds = true;

                ++processed;
            }
        }

        juce::AudioPluginInstance& plugin;
        std::atomic<bool> running { true }, outOfBounds { false };
        std::atomic<int> processed { 0 };
        std::thread thread;
    };

    // Sends values on a grid of thousandths, one parameter at a time, as a host plays back
    // automation; after it is stopped it sends one last value to each parameter.
    class AutomationThread final
    {
    public:
        explicit AutomationThread (std::array<juce::AudioProcessorParameter*, 3> targets)
            : parameters (targets), thread ([this] { run(); })
        {
        }

        ~AutomationThread() { stop(); }

        void stop()
        {
            running = false;

            if (thread.joinable())
                thread.join();
        }

        // Valid once stopped.
        const std::array<float, 3>& lastSent() const { return sent; }
        int changes() const { return count; }

    private:
        void send (size_t index, int step)
        {
            sent[index] = (float) step / 1000.0f;
            parameters[index]->setValue (sent[index]);
            ++count;
        }

        void run()
        {
            std::mt19937 rng (11);
            std::uniform_int_distribution<int> steps (0, 1000);

            while (running)
            {
                send ((size_t) (rng() % 3), steps (rng));
                std::this_thread::sleep_for (std::chrono::microseconds (500));
            }

            send (0, 123);
            send (1, 456);
            send (2, 789);
        }

        std::array<juce::AudioProcessorParameter*, 3> parameters;
        std::array<float, 3> sent {};
        int count = 0;
        std::atomic<bool> running { true };
        std::thread thread;
    };

    juce::MemoryBlock stateOf (juce::AudioPluginInstance& plugin)
    {
        juce::MemoryBlock state;
        plugin.getStateInformation (state);
        return state;
    }

    juce::AudioBuffer<float> processFreshBlock (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input)
    {
        plugin.releaseResources();
        plugin.prepareToPlay (sampleRate, blockSize);
        auto buffer = input;
        juce::MidiBuffer midi;
        plugin.processBlock (buffer, midi);
        return buffer;
    }

    TEST (ConcurrencyStress, EditorStateAndAutomationWhileAudioRuns)
    {
        ASSERT_TRUE (mqtest::canSynthesiseInput());
        mqjuce::HostSession session;
        juce::String error;
        auto plugin = mqjuce::loadVst3 (mqjuce::bundleOf (juce::File (MQ_PLUGIN_BINARY)), sampleRate, blockSize, error);
        ASSERT_NE (plugin, nullptr) << error;
        plugin->prepareToPlay (sampleRate, blockSize);

        std::array<juce::AudioProcessorParameter*, 3> automated {};

        for (size_t i = 0; i < automated.size(); ++i)
            automated[i] = &mqjuce::parameterNamed (*plugin, automatedNames[i]);

        const auto initialState = stateOf (*plugin);
        auto savedState = initialState;

        auto window = std::make_unique<mqjuce::PluginWindow> (*plugin);
        mqjuce::EditorGestures gestures (*window);
        std::mt19937 rng (3);
        auto actions = 0;

        AudioThread audio (*plugin);
        AutomationThread automation (automated);

        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) (stressSeconds * 1000);

        for (auto step = 0; juce::Time::getMillisecondCounter() < end; ++step)
        {
            const auto viewUp = gestures.viewIsUp();

            switch (step % 9)
            {
                case 0:
                    window->open();
                    mqjuce::pumpUntil ([&] { return gestures.viewIsUp(); }, 3000);
                    break;
                case 1: if (viewUp) gestures.turnKnob ((int) (rng() % 3), (int) (rng() % 81) - 40); break;
                case 2: if (viewUp) gestures.choosePreset ((int) (rng() % 4)); break;
                case 3: if (viewUp) gestures.clickArrow (rng() % 2 == 0); break;
                case 4: if (viewUp) gestures.clickEngage(); break;
                case 5: savedState = stateOf (*plugin); break;
                case 6:
                {
                    const auto& state = rng() % 2 == 0 ? savedState : initialState;
                    plugin->setStateInformation (state.getData(), (int) state.getSize());
                    break;
                }
                case 7: if (viewUp) gestures.turnKnob ((int) (rng() % 3), (int) (rng() % 81) - 40); break;
                case 8: if (rng() % 2 == 0) window->close(); break;
                default: break;
            }

            ++actions;
            mqjuce::pump (10);
        }

        // The editor goes first, with whatever it still had queued, so the automation has the last word.
        window->close();
        mqjuce::pump (300);
        automation.stop();

        // Blocks carry the last values to the processor, and the message loop to the controller.
        const auto blocksBefore = audio.blocks();
        mqjuce::pumpUntil ([&] { return audio.blocks() > blocksBefore + 20; });
        mqjuce::pump (300);
        audio.stop();

        EXPECT_TRUE (audio.allFiniteAndBounded());
        EXPECT_GT (audio.blocks(), 100);
        EXPECT_GT (automation.changes(), 1000);
        EXPECT_GT (actions, 50);

        const auto& sent = automation.lastSent();
        const auto saved = mqjuce::savedValues (*plugin);

        for (size_t i = 0; i < automated.size(); ++i)
        {
            EXPECT_EQ (automated[i]->getValue(), sent[i]) << automatedNames[i];
            ASSERT_EQ (saved.count (automatedIds[i]), 1u) << automatedIds[i];
            EXPECT_FLOAT_EQ (saved.at (automatedIds[i]), plainValue (i, sent[i])) << automatedIds[i];
        }

        // Restoring its own state makes the host read every value back from the plug-in's controller.
        const auto finalState = stateOf (*plugin);
        plugin->setStateInformation (finalState.getData(), (int) finalState.getSize());

        for (size_t i = 0; i < automated.size(); ++i)
            EXPECT_FLOAT_EQ (automated[i]->getValue(), reportedValue (i, sent[i])) << "controller's " << automatedNames[i];

        const auto input = mqjuce::noise (2, blockSize, 21);
        auto output = processFreshBlock (*plugin, input);

        // An odd number of engage clicks leaves the effect off, passing the audio unchanged;
        // one more click must bring the chain back.
        if (mqjuce::largestDifference (output, input) == 0.0f)
        {
            window->open();
            ASSERT_TRUE (mqjuce::pumpUntil ([&] { return gestures.viewIsUp(); }));
            mqjuce::pump (200);
            gestures.clickEngage();
            EXPECT_TRUE (mqjuce::pumpUntil ([&]
            {
                output = processFreshBlock (*plugin, input);
                return mqjuce::largestDifference (output, input) > 0.0f;
            }));
            window->close();
        }

        const auto expected = mqjuce::referenceChain (input, sampleRate, plainValue (0, sent[0]),
                                                        (double) plainValue (1, sent[1]), plainValue (2, sent[2]));
        EXPECT_LE (mqjuce::largestDifference (output, expected), 1.0e-6f);

        window.reset();
        plugin.reset();
        mqjuce::pump (50);
    }
}
