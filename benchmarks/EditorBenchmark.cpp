// What a JUCE-based host sees of the plug-in's instance and editor: the time to create and
// prepare an instance from its known description, the time from creating the view to the
// editor's first paint on screen, and the processor time that an open, idle editor takes.
#include "JuceHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    // A point of the background, clear of every control, in the plug-in's view.
    constexpr int probeX = 30, probeY = 580;

    juce::File bundle() { return mqjuce::bundleOf (juce::File (MQ_PLUGIN_BINARY)); }

    std::unique_ptr<juce::AudioPluginInstance> createInstance (const juce::PluginDescription& description)
    {
        juce::VST3PluginFormat format;
        juce::String error;
        auto plugin = format.createInstanceFromDescription (description, sampleRate, blockSize, error);

        if (plugin != nullptr)
            plugin->prepareToPlay (sampleRate, blockSize);

        return plugin;
    }

    std::optional<juce::PluginDescription> describe()
    {
        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, bundle().getFullPathName());
        return types.isEmpty() ? std::nullopt : std::optional<juce::PluginDescription> (*types.getFirst());
    }

    std::unique_ptr<juce::AudioPluginInstance> createDescribedInstance()
    {
        const auto description = describe();
        return description.has_value() ? createInstance (*description) : nullptr;
    }

    double seconds (std::chrono::steady_clock::time_point since)
    {
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - since).count();
    }

    void instanceReady (benchmark::State& state)
    {
        const auto description = describe();

        if (! description.has_value())
        {
            state.SkipWithError ("no plug-in in the bundle");
            return;
        }

        // With an argument of 1 another instance stays alive throughout, as in a host's project;
        // with 0 each instance is the only one and starts the plug-in's X connection anew.
        auto other = state.range (0) != 0 ? createInstance (*description) : nullptr;

        for (auto _ : state)
        {
            const auto start = std::chrono::steady_clock::now();
            auto plugin = createInstance (*description);
            state.SetIterationTime (seconds (start));

            if (plugin == nullptr)
            {
                state.SkipWithError ("no instance");
                return;
            }
        }
    }

    std::uint32_t backgroundPixel (const mqjuce::PluginWindow& window)
    {
        const auto view = window.pluginView();
        return view.has_value() && view->width == 550 ? mqtest::pixelAt (view->id, probeX, probeY) : 0u;
    }

    void editorFirstPaint (benchmark::State& state)
    {
        auto plugin = createDescribedInstance();

        if (plugin == nullptr)
        {
            state.SkipWithError ("no instance");
            return;
        }

        mqjuce::PluginWindow window (*plugin);

        // What the painted background shows at the probe, learnt from one editor left to settle.
        window.open();
        mqjuce::pump (1000);
        const auto painted = backgroundPixel (window);
        window.close();
        mqjuce::pump (100);

        for (auto _ : state)
        {
            const auto start = std::chrono::steady_clock::now();
            window.open();

            if (! mqjuce::pumpUntil ([&] { return backgroundPixel (window) == painted; }, 5000))
            {
                state.SkipWithError ("the editor did not paint");
                return;
            }

            state.SetIterationTime (seconds (start));
            window.close();
            mqjuce::pump (100);
        }
    }

    double processSeconds()
    {
        timespec now {};
        clock_gettime (CLOCK_PROCESS_CPUTIME_ID, &now);
        return (double) now.tv_sec + (double) now.tv_nsec * 1.0e-9;
    }

    double shareOfOneCore (int milliseconds)
    {
        const auto cpuStart = processSeconds();
        const auto start = std::chrono::steady_clock::now();
        mqjuce::pump (milliseconds);
        return (processSeconds() - cpuStart) / seconds (start);
    }

    // The host's message loop is counted both times: the editor's own share is the difference.
    void idleOpenEditor (benchmark::State& state)
    {
        auto plugin = createDescribedInstance();

        if (plugin == nullptr)
        {
            state.SkipWithError ("no instance");
            return;
        }

        mqjuce::PluginWindow window (*plugin);
        double hostAlone = 0.0, withEditor = 0.0;

        for (auto _ : state)
        {
            hostAlone = shareOfOneCore (3000);
            window.open();

            // Past the first paint and the seconds in which JUCE's repaint timer still runs.
            mqjuce::pump (4000);
            withEditor = shareOfOneCore (3000);
            window.close();
        }

        state.counters["host_percent"] = hostAlone * 100.0;
        state.counters["with_editor_percent"] = withEditor * 100.0;
        state.counters["editor_percent"] = (withEditor - hostAlone) * 100.0;
    }
}

BENCHMARK (instanceReady)->ArgName ("another_alive")->Arg (0)->Arg (1)->Iterations (20)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (editorFirstPaint)->Iterations (10)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (idleOpenEditor)->Iterations (1)->Unit (benchmark::kMillisecond);

int main (int argc, char** argv)
{
    mqjuce::HostSession session;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
