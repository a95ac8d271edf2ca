// Cost of silent blocks while the filters' memory decays towards zero after noise, against noisy
// blocks. Without flushing, the memory spends hundreds of samples as denormals on its way down,
// and those blocks cost many times more.
#include "BenchmarkSupport.h"

namespace
{
    constexpr int numChannels = 2;
    constexpr int blockSize = 1024;
    constexpr double sampleRate = 48000.0;

    // The lowest cutoff gives the slowest decay, and so the longest pass through the denormals:
    // from full scale to zero within this many blocks.
    constexpr float lowestCutoff = 250.0f;
    constexpr int tailBlocks = 32;

    juce::AudioBuffer<float> makeNoise() { return mqtest::noise (numChannels, blockSize, 42); }

    void prepare (MarvolenQuistra2AudioProcessor& processor)
    {
        mqtest::setPlain (processor, "filter", lowestCutoff);
        mqtest::prepare (processor, sampleRate, blockSize);
    }

    void noisyBlocks (benchmark::State& state)
    {
        MarvolenQuistra2AudioProcessor processor;
        prepare (processor);
        mqbench::timeProcessBlock (state, processor, makeNoise());
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

        mqbench::countPerSampleAndChannel (state, tailBlocks * blockSize * numChannels);
    }
}

BENCHMARK (noisyBlocks);
BENCHMARK (silentTail);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    mqbench::CostReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    reporter.printRatio ("decaying tail / noisy block = ", "silentTail", "noisyBlocks");

    benchmark::Shutdown();
}
