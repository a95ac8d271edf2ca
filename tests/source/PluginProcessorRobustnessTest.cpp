#include "ProcessorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <xmmintrin.h>

namespace
{
    // |soft clip| <= |x| / 2 + 1, the gain is at most 0.8, and the low-pass's impulse
    // response sums to at most 1 + |coefficient| < 2 in magnitude.
    float outputBound (float inputPeak) { return 2.0f * 0.8f * (inputPeak * 0.5f + 1.0f); }

    using Signal = std::function<float (int)>;

    struct NamedSignal
    {
        const char* name;
        Signal signal;
    };

    std::vector<NamedSignal> extremeSignals()
    {
        auto rng = std::make_shared<std::mt19937> (5);
        return {
            { "full-scale noise", [rng] (int) { return std::uniform_real_distribution<float> (-1.0f, 1.0f) (*rng); } },
            { "dc", [] (int) { return 1.0f; } },
            { "negative dc", [] (int) { return -1.0f; } },
            { "alternating", [] (int i) { return i % 2 == 0 ? 1.0f : -1.0f; } },
            { "silence after noise", [rng] (int i)
              { return i < 256 ? std::uniform_real_distribution<float> (-1.0f, 1.0f) (*rng) : 0.0f; } },
        };
    }

    void expectExactSilence (const juce::AudioBuffer<float>& buffer)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                ASSERT_EQ (buffer.getSample (ch, i), 0.0f) << "channel " << ch << " sample " << i;
    }
}

TEST (Robustness, EverySampleRateAndCutoffStaysFiniteAndBounded)
{
    const double rates[] { 8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 352800, 384000 };
    std::vector<float> cutoffs { 3999.9f, 4000.0f, 11025.0f, 16000.0f, 19999.9f };
    for (int i = 0; i <= 40; ++i)
        cutoffs.push_back (250.0f * std::pow (80.0f, (float) i / 40.0f));

    for (const auto rate : rates)
    {
        for (const auto cutoff : cutoffs)
        {
            for (const auto& [name, signal] : extremeSignals())
            {
                MarvolenQuistra2AudioProcessor processor;
                mqtest::prepare (processor, rate, 512);
                mqtest::setPlain (processor, "filter", cutoff);
                mqtest::setPlain (processor, "distortion", 0.5f);
                mqtest::setPlain (processor, "volume", 0.8f);

                juce::AudioBuffer<float> buffer (2, 512);
                juce::MidiBuffer midi;
                float peak = 0.0f;
                int sampleIndex = 0;

                for (int block = 0; block < 8; ++block)
                {
                    for (int i = 0; i < 512; ++i, ++sampleIndex)
                    {
                        const auto x = signal (sampleIndex);
                        buffer.setSample (0, i, x);
                        buffer.setSample (1, i, -x);
                    }

                    processor.processBlock (buffer, midi);

                    for (int ch = 0; ch < 2; ++ch)
                        for (int i = 0; i < 512; ++i)
                        {
                            const auto y = buffer.getSample (ch, i);
                            ASSERT_TRUE (std::isfinite (y)) << rate << " Hz, " << cutoff << " Hz, " << name;
                            ASSERT_NE (std::fpclassify (y), FP_SUBNORMAL) << rate << " Hz, " << cutoff << " Hz, " << name;
                            peak = std::max (peak, std::abs (y));
                        }
                }

                EXPECT_LE (peak, outputBound (1.0f)) << rate << " Hz, " << cutoff << " Hz, " << name;
            }
        }
    }
}

TEST (Robustness, EveryCutoffStepGivesAStableFilterAtEveryRate)
{
    // The first output for a unit impulse after a reset is (1 + coefficient) / 2.
    for (const double rate : { 8000.0, 22050.0, 32000.0, 40000.0, 44100.0, 384000.0 })
        for (int step = 0; step <= 197500; ++step)
        {
            LowPass filter;
            filter.setCutoffFrequency (250.0 + step * 0.1);
            filter.reset (rate);
            const auto coefficient = 2.0 * filter.filter (1.0) - 1.0;
            ASSERT_LT (std::abs (coefficient), 1.0) << rate << " Hz, step " << step;
        }
}

TEST (Robustness, DecayingTailReachesExactSilence)
{
    MarvolenQuistra2AudioProcessor processor;
    mqtest::prepare (processor, 44100.0, 512);
    mqtest::setPlain (processor, "filter", 250.0f);

    auto buffer = mqtest::noise (2, 512, 3);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    // With denormals flushed the memory underflows to zero instead of lingering.
    for (int block = 0; block < 40; ++block)
    {
        buffer.clear();
        processor.processBlock (buffer, midi);
    }
    expectExactSilence (buffer);
}

TEST (Robustness, DenormalInputIsTreatedAsZero)
{
    MarvolenQuistra2AudioProcessor processor;
    mqtest::prepare (processor, 44100.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 64; ++i)
            buffer.setSample (ch, i, std::numeric_limits<float>::denorm_min() * (float) (i + 1));
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    expectExactSilence (buffer);
}

TEST (Robustness, FloatingPointModeIsRestoredAfterProcessing)
{
    MarvolenQuistra2AudioProcessor processor;
    mqtest::prepare (processor, 44100.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;

    const auto before = _mm_getcsr();
    processor.processBlock (buffer, midi);
    processor.effectOn = false;
    processor.processBlock (buffer, midi);
    EXPECT_EQ (_mm_getcsr(), before);
    EXPECT_EQ (before & 0x8040, 0u) << "the test itself runs with denormals enabled";
}
