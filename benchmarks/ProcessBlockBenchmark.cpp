// Cost of processBlock per sample and channel, beside a plain loop of the same chain
// with the parameters held in locals, and the ratio between the two.
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <map>
#include <random>

namespace
{
    constexpr int numChannels = 2;

    juce::AudioBuffer<float> makeNoise (int numSamples)
    {
        std::mt19937 rng (42);
        std::uniform_real_distribution<float> dist (-1.0f, 1.0f);
        juce::AudioBuffer<float> buffer (numChannels, numSamples);
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < numSamples; ++i)
                buffer.setSample (ch, i, dist (rng));
        return buffer;
    }

    void setPerSampleCounter (benchmark::State& state, int numSamples)
    {
        state.counters["ns_per_sample_channel"] = benchmark::Counter ((double) (numSamples * numChannels),
                                                                      benchmark::Counter::kIsIterationInvariantRate
                                                                          | benchmark::Counter::kInvert);
    }

    void processBlock (benchmark::State& state)
    {
        const auto numSamples = (int) state.range (0);
        MarvolenQuistra2AudioProcessor processor;
        processor.setRateAndBufferSizeDetails (48000.0, numSamples);
        processor.prepareToPlay (48000.0, numSamples);
        const auto source = makeNoise (numSamples);
        auto buffer = source;
        juce::MidiBuffer midi;

        for (auto _ : state)
        {
            buffer.makeCopyOf (source, true);
            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        }

        setPerSampleCounter (state, numSamples);
    }

    void referenceChain (benchmark::State& state)
    {
        const auto numSamples = (int) state.range (0);
        const volatile double cutoff = 1000.0;
        const auto source = makeNoise (numSamples);
        auto buffer = source;

        const float drive = 0.15f, volume = 0.18f;
        double memory[numChannels] {};

        for (auto _ : state)
        {
            buffer.makeCopyOf (source, true);
            for (int ch = 0; ch < numChannels; ++ch)
            {
                auto* p = buffer.getWritePointer (ch);
                // The chain retunes each channel once per block.
                const double t = std::tan ((cutoff * 3.1415927410125732) / 48000.0);
                const double coefficient = (t - 1.0) / (t + 1.0);
                for (int i = 0; i < numSamples; ++i)
                {
                    const float x = p[i];
                    const float s = (x * 0.5f) + (atanf (((drive * 1000.0f) + x) * x) * 0.63661975f);
                    const double u = (double) (volume * s);
                    const double ap = (coefficient * u) + memory[ch];
                    memory[ch] = u - (coefficient * ap);
                    p[i] = (float) ((ap + u) * 0.5);
                }
            }
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        }

        setPerSampleCounter (state, numSamples);
    }

    // Keeps each run's per-sample cost so main can print the ratios.
    class RatioReporter final : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);
            for (const auto& run : runs)
                if (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")
                    costs[run.run_name.str()] = run.counters.at ("ns_per_sample_channel").value;
        }

        std::map<std::string, double> costs;
    };
}

BENCHMARK (processBlock)->Arg (64)->Arg (512);
BENCHMARK (referenceChain)->Arg (64)->Arg (512);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);

    for (const auto* size : { "64", "512" })
    {
        const auto plugin = reporter.costs.find (std::string ("processBlock/") + size);
        const auto reference = reporter.costs.find (std::string ("referenceChain/") + size);
        if (plugin != reporter.costs.end() && reference != reporter.costs.end())
            std::cout << "stereo block of " << size << ": processBlock / reference = "
                      << plugin->second / reference->second << "\n";
    }

    benchmark::Shutdown();
}
