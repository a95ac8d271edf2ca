// What a host waits for and keeps resident per instance, through a raw VST3 host: the bundle
// loaded and an instance created, initialised and started, and the resident memory that each
// further started instance adds.
#include "Vst3Instance.h"
#include "Vst3Module.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <vector>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    void loadAndStart (benchmark::State& state)
    {
        for (auto _ : state)
        {
            // Timed by hand, so that unloading, which a host does later, stays out of the figure.
            const auto start = std::chrono::steady_clock::now();
            mqhost::Vst3Module module (MQ_VST3_MODULE_PATH);

            if (! module.isLoaded())
            {
                state.SkipWithError (module.getError().c_str());
                return;
            }

            mqhost::Vst3Instance instance (*module.getFactory());

            if (! instance.isValid() || ! instance.startProcessing (sampleRate, blockSize))
            {
                state.SkipWithError ("the instance did not start");
                return;
            }

            state.SetIterationTime (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());
            instance.stopProcessing();
        }
    }

    // A further instance while another one is alive: JUCE's message thread and X connection in
    // the plug-in, which the first instance had to start, are already up.
    void startAnother (benchmark::State& state)
    {
        mqhost::Vst3Module module (MQ_VST3_MODULE_PATH);

        if (! module.isLoaded())
        {
            state.SkipWithError (module.getError().c_str());
            return;
        }

        mqhost::Vst3Instance first (*module.getFactory());

        for (auto _ : state)
        {
            const auto start = std::chrono::steady_clock::now();
            mqhost::Vst3Instance instance (*module.getFactory());

            if (! instance.isValid() || ! instance.startProcessing (sampleRate, blockSize))
            {
                state.SkipWithError ("the instance did not start");
                return;
            }

            state.SetIterationTime (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());
            instance.stopProcessing();
        }
    }

    double residentMiB()
    {
        std::ifstream statm ("/proc/self/statm");
        long pages = 0, resident = 0;
        statm >> pages >> resident;
        return (double) resident * (double) sysconf (_SC_PAGESIZE) / (1024.0 * 1024.0);
    }

    void residentMemoryPerInstance (benchmark::State& state)
    {
        const auto additional = (int) state.range (0);
        double perInstance = 0.0;

        for (auto _ : state)
        {
            mqhost::Vst3Module module (MQ_VST3_MODULE_PATH);
            std::vector<std::unique_ptr<mqhost::Vst3Instance>> instances;

            const auto startOne = [&]
            {
                instances.push_back (std::make_unique<mqhost::Vst3Instance> (*module.getFactory()));
                return instances.back()->isValid() && instances.back()->startProcessing (sampleRate, blockSize);
            };

            if (! module.isLoaded() || ! startOne())
            {
                state.SkipWithError ("the first instance did not start");
                return;
            }

            const auto before = residentMiB();

            for (auto i = 0; i < additional; ++i)
                startOne();

            perInstance = (residentMiB() - before) / additional;

            for (auto& instance : instances)
                instance->stopProcessing();
        }

        state.counters["MiB_per_instance"] = perInstance;
    }
}

// The first run is the cold one a host sees when it opens a project. Later ones find the
// library's pages warm, but each starts the plug-in's message thread and X connection again, and
// Xvfb takes tens of milliseconds to accept a connection right after the last one closed.
BENCHMARK (loadAndStart)->Name ("loadAndStart/first")->Iterations (1)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (loadAndStart)->Iterations (20)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (startAnother)->Iterations (50)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK (residentMemoryPerInstance)->Arg (32)->Iterations (1)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
