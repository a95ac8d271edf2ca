// Cost of processBlock per sample and channel, beside a plain loop of the same chain
// with the parameters held in locals, and the ratio between the two.
#include "BenchmarkSupport.h"

#include <cmath>

namespace
{
    constexpr int numChannels = 2;

    juce::AudioBuffer<float> makeNoise (int numSamples) { return mqtest::noise (numChannels, numSamples, 42); }

    void processBlock (benchmark::State& state)
    {
        const auto numSamples = (int) state.range (0);
        MarvolenQuistra2AudioProcessor processor;
        mqtest::prepare (processor, 48000.0, numSamples);
        mqbench::timeProcessBlock (state, processor, makeNoise (numSamples));
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

        mqbench::countPerSampleAndChannel (state, numSamples * numChannels);
    }
}

BENCHMARK (processBlock)->Arg (64)->Arg (512);
BENCHMARK (referenceChain)->Arg (64)->Arg (512);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    mqbench::CostReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    reporter.printRatio ("stereo block of 64: processBlock / reference = ", "processBlock/64", "referenceChain/64");
    reporter.printRatio ("stereo block of 512: processBlock / reference = ", "processBlock/512", "referenceChain/512");

    benchmark::Shutdown();
}
