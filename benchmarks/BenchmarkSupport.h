#pragma once

#include "ProcessorTestSupport.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <string>

namespace mqbench
{
    // Reports the time of one iteration divided by the samples and channels it processed.
    inline void countPerSampleAndChannel (benchmark::State& state, int samplesTimesChannels)
    {
        state.counters["ns_per_sample_channel"] = benchmark::Counter ((double) samplesTimesChannels,
                                                                      benchmark::Counter::kIsIterationInvariantRate
                                                                          | benchmark::Counter::kInvert);
    }

    // Times processBlock on a fresh copy of the source block per iteration.
    inline void timeProcessBlock (benchmark::State& state, MarvolenQuistra2AudioProcessor& processor,
                                  const juce::AudioBuffer<float>& source)
    {
        auto buffer = source;
        juce::MidiBuffer midi;

        for (auto _ : state)
        {
            buffer.makeCopyOf (source, true);
            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        }

        countPerSampleAndChannel (state, source.getNumSamples() * source.getNumChannels());
    }

    // Keeps each run's per-sample cost (the median where repetitions are aggregated) so that
    // main can print ratios between runs.
    class CostReporter final : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);

            for (const auto& run : runs)
                if (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")
                    costs[run.run_name.str()] = run.counters.at ("ns_per_sample_channel").value;
        }

        void printRatio (const std::string& label, const std::string& run, const std::string& baseline) const
        {
            const auto a = costs.find (run), b = costs.find (baseline);

            if (a != costs.end() && b != costs.end())
                std::cout << label << a->second / b->second << "\n";
        }

    private:
        std::map<std::string, double> costs;
    };
}
