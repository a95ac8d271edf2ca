// Cost of silent blocks while the filters' memory decays towards zero after noise, against noisy
// blocks. Without flushing, the memory spends hundreds of samples as denormals on its way down,
// and those blocks cost many times more.
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <random>

namespace
{
    constexpr int numChannels = 2;
    constexpr int blockSize = 1024;
    constexpr double sampleRate = 48000.0;

    // The lowest cutoff gives the slowest decay, and so the longest pass through the denormals:
    // from full scale to zero within this many blocks.
    constexpr float lowestCutoff = 250.0f;
    constexpr int tailBlocks = 32;

    juce::AudioBuffer<float> makeNoise()
    {
        std::mt19937 rng (42);
        std::uniform_real_distribution<float> dist (-1.0f, 1.0f);
        juce::AudioBuffer<float> buffer (numChannels, blockSize);
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (ch, i, dist (rng));
        return buffer;
    }

    void prepare (MarvolenQuistra2AudioProcessor& processor)
    {
        auto* filter = processor.apvts.getParameter ("filter");
        filter->setValueNotifyingHost (filter->convertTo0to1 (lowestCutoff));
        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    void setPerSampleCounter (benchmark::State& state, int blocksPerIteration)
    {
        state.counters["ns_per_sample_channel"] = benchmark::Counter ((double) (blocksPerIteration * blockSize * numChannels),
                                                                      benchmark::Counter::kIsIterationInvariantRate
                                                                          | benchmark::Counter::kInvert);
    }

    void noisyBlocks (benchmark::State& state)
    {
        MarvolenQuistra2AudioProcessor processor;
        prepare (processor);
        const auto source = makeNoise();
        auto buffer = source;
        juce::MidiBuffer midi;

        for (auto _ : state)
        {
            buffer.makeCopyOf (source, true);
            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        }

        setPerSampleCounter (state, 1);
    }

    void silentTail (benchmark::State& state)
    {
        MarvolenQuistra2AudioProcessor processor;
        prepare (processor);
        const auto source = makeNoise();
        auto buffer = source;
        juce::MidiBuffer midi;

        for (auto _ : state)
        {
            state.PauseTiming();
            buffer.makeCopyOf (source, true);
            processor.processBlock (buffer, midi);
            state.ResumeTiming();

            for (auto block = 0; block < tailBlocks; ++block)
            {
                buffer.clear();
                processor.processBlock (buffer, midi);
                benchmark::DoNotOptimize (buffer.getReadPointer (0));
            }
        }

        setPerSampleCounter (state, tailBlocks);
    }

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

BENCHMARK (noisyBlocks);
BENCHMARK (silentTail);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);

    const auto noisy = reporter.costs.find ("noisyBlocks");
    const auto tail = reporter.costs.find ("silentTail");
    if (noisy != reporter.costs.end() && tail != reporter.costs.end())
        std::cout << "decaying tail / noisy block = " << tail->second / noisy->second << "\n";

    benchmark::Shutdown();
}
