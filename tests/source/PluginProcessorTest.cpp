#include "ProcessorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>

namespace
{
    // Independent model of the chain: waveshaper, soft clip and gain in single precision,
    // then a double-precision first-order low-pass using single-precision pi.
    struct ReferenceLowPass
    {
        double coefficient = 0.0;
        double memory = 0.0;

        void tune (double cutoff, double sampleRate)
        {
            const double t = std::tan ((cutoff * 3.1415927410125732) / sampleRate);
            coefficient = (t - 1.0) / (t + 1.0);
        }

        double step (double x)
        {
            const double ap = (coefficient * x) + memory;
            memory = x - (coefficient * ap);
            return (ap + x) * 0.5;
        }
    };

    float referenceSample (float x, float drive, float volume, ReferenceLowPass& filter)
    {
        const float y = ((drive * 1000.0f) + x) * x;
        const float s = (x * 0.5f) + (atanf (y) * 0.63661975f);
        return (float) filter.step ((double) (volume * s));
    }

    using mqtest::noise;

    struct ProcessorFixture : ::testing::Test
    {
        MarvolenQuistra2AudioProcessor processor;
        juce::MidiBuffer midi;

        void prepare (double sampleRate, int channels = 2, int blockSize = 512)
        {
            mqtest::prepare (processor, sampleRate, blockSize, channels);
        }

        juce::RangedAudioParameter& parameter (const char* id) { return *processor.apvts.getParameter (id); }
        void set (const char* id, float plainValue) { mqtest::setPlain (processor, id, plainValue); }
        float value (const char* id) { return mqtest::rawValue (processor, id); }

        static void expectBitIdentical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
        {
            ASSERT_EQ (a.getNumChannels(), b.getNumChannels());
            ASSERT_EQ (a.getNumSamples(), b.getNumSamples());
            for (int ch = 0; ch < a.getNumChannels(); ++ch)
                for (int i = 0; i < a.getNumSamples(); ++i)
                    ASSERT_EQ (std::memcmp (a.getReadPointer (ch) + i, b.getReadPointer (ch) + i, sizeof (float)), 0)
                        << "channel " << ch << " sample " << i;
        }
    };

    struct ExpectedParameter
    {
        const char* id;
        const char* name;
        float minimum, maximum, interval, skew, defaultValue;
    };

    const ExpectedParameter expectedParameters[] {
        { "distortion", "Distortion", 0.0f, 0.5f, 0.01f, 1.0f, 0.15f },
        { "filter", "Filter", 250.0f, 20000.0f, 0.1f, 0.30176237f, 1000.0f },
        { "volume", "Volume", 0.0f, 0.8f, 0.01f, 1.0f, 0.18f },
        { "preset", "Preset", 1.0f, 4.0f, 0.01f, 1.0f, 1.0f },
    };
}

TEST_F (ProcessorFixture, DeclaresFourFloatParametersInHostOrder)
{
    const auto& params = processor.getParameters();
    ASSERT_EQ (params.size(), 4);

    for (int i = 0; i < 4; ++i)
    {
        const auto& expected = expectedParameters[i];
        auto* p = dynamic_cast<juce::AudioParameterFloat*> (params[i]);
        ASSERT_NE (p, nullptr) << expected.id;
        EXPECT_EQ (p->getParameterID(), expected.id);
        EXPECT_EQ (p->getParameterIndex(), i);
        EXPECT_EQ (p->getName (100), expected.name);
        EXPECT_EQ (p->getLabel(), "");
        EXPECT_EQ (p->getVersionHint(), 0);
        EXPECT_TRUE (p->isAutomatable());
        EXPECT_FALSE (p->isMetaParameter());
        EXPECT_EQ (p->getCategory(), juce::AudioProcessorParameter::genericParameter);

        const auto& range = p->range;
        EXPECT_EQ (range.start, expected.minimum) << expected.id;
        EXPECT_EQ (range.end, expected.maximum) << expected.id;
        EXPECT_EQ (range.interval, expected.interval) << expected.id;
        EXPECT_EQ (range.skew, expected.skew) << expected.id;
        EXPECT_FALSE (range.symmetricSkew);
        EXPECT_EQ (p->get(), expected.defaultValue) << expected.id;
        EXPECT_FLOAT_EQ (p->convertFrom0to1 (static_cast<juce::AudioProcessorParameter*> (p)->getDefaultValue()), expected.defaultValue) << expected.id;
    }
}

TEST_F (ProcessorFixture, NormalisationFollowsRangesAndSkew)
{
    EXPECT_NEAR (parameter ("distortion").getValue(), 0.3f, 1e-6f);
    EXPECT_NEAR (parameter ("filter").getValue(), 0.3727f, 1e-4f);
    EXPECT_NEAR (parameter ("volume").getValue(), 0.225f, 1e-6f);
    EXPECT_EQ (parameter ("preset").getValue(), 0.0f);

    auto& filter = parameter ("filter");
    EXPECT_EQ (filter.convertFrom0to1 (0.0f), 250.0f);
    EXPECT_EQ (filter.convertFrom0to1 (1.0f), 20000.0f);
    EXPECT_NEAR (filter.convertFrom0to1 (0.5f), 2236.0f, 1.0f);
    EXPECT_NEAR (filter.convertFrom0to1 (0.25f), 450.0f, 1.0f);

    EXPECT_FLOAT_EQ (parameter ("distortion").convertFrom0to1 (0.5f), 0.25f);
    EXPECT_FLOAT_EQ (parameter ("volume").convertFrom0to1 (0.5f), 0.4f);
    EXPECT_FLOAT_EQ (parameter ("preset").convertFrom0to1 (0.5f), 2.5f);

    // Steps: hundredths for the linear three, tenths of a hertz for the cutoff.
    set ("distortion", 0.123f);
    EXPECT_FLOAT_EQ (value ("distortion"), 0.12f);
    set ("filter", 1234.56f);
    EXPECT_FLOAT_EQ (value ("filter"), 1234.6f);
    set ("preset", 2.345f);
    EXPECT_FLOAT_EQ (value ("preset"), 2.35f);
}

TEST_F (ProcessorFixture, DeclaresStereoBusesAndStartsEngaged)
{
    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabled());
    EXPECT_TRUE (processor.getBus (false, 0)->isEnabled());
    EXPECT_TRUE (processor.effectOn.load());
}

TEST_F (ProcessorFixture, InstancesShareNothing)
{
    MarvolenQuistra2AudioProcessor other;
    processor.effectOn = false;
    set ("volume", 0.5f);
    EXPECT_TRUE (other.effectOn.load());
    EXPECT_FLOAT_EQ (other.apvts.getRawParameterValue ("volume")->load(), 0.18f);
}

TEST_F (ProcessorFixture, WorkedValuesAtDefaults)
{
    prepare (44100.0);
    juce::AudioBuffer<float> buffer (2, 1);
    buffer.setSample (0, 0, 1.0f);
    buffer.setSample (1, 0, -1.0f);
    processor.processBlock (buffer, midi);

    EXPECT_NEAR (buffer.getSample (0, 0), 0.0179330f, 5e-7f);
    EXPECT_NEAR (buffer.getSample (1, 0), -0.0179330f, 1e-5f);
    EXPECT_NE (buffer.getSample (1, 0), -buffer.getSample (0, 0)) << "drive makes the curve asymmetric";

    const float s = 0.5f + atanf (151.0f) * 0.63661975f;
    EXPECT_NEAR (s, 1.495784f, 1e-6f);
    EXPECT_NEAR (-0.5f + atanf (-149.0f) * 0.63661975f, -1.495727f, 1e-6f);
}

TEST_F (ProcessorFixture, MatchesReferenceChainBitExactly)
{
    struct Setting { float drive, cutoff, volume; double rate; int channels; };
    const Setting settings[] {
        { 0.15f, 1000.0f, 0.18f, 44100.0, 2 },
        { 0.0f, 250.0f, 0.8f, 48000.0, 2 },
        { 0.5f, 20000.0f, 0.5f, 96000.0, 1 },
        { 0.33f, 3456.7f, 0.01f, 44100.0, 1 },
    };

    unsigned seed = 1;
    for (const auto& s : settings)
    {
        MarvolenQuistra2AudioProcessor fresh;
        mqtest::prepare (fresh, s.rate, 256, s.channels);
        mqtest::setPlain (fresh, "distortion", s.drive);
        mqtest::setPlain (fresh, "filter", s.cutoff);
        mqtest::setPlain (fresh, "volume", s.volume);

        const float drive = mqtest::rawValue (fresh, "distortion");
        const float cutoff = mqtest::rawValue (fresh, "filter");
        const float volume = mqtest::rawValue (fresh, "volume");

        std::vector<ReferenceLowPass> reference ((size_t) s.channels);
        for (int block = 0; block < 4; ++block)
        {
            const int n = block == 2 ? 1 : 256 - block;
            auto buffer = noise (s.channels, n, seed++, 1.5f);
            auto expected = buffer;

            for (int ch = 0; ch < s.channels; ++ch)
            {
                auto& f = reference[(size_t) ch];
                const double memory = f.memory;
                f.tune ((double) cutoff, s.rate);
                f.memory = memory;
                for (int i = 0; i < n; ++i)
                    expected.setSample (ch, i, referenceSample (expected.getSample (ch, i), drive, volume, f));
            }

            fresh.processBlock (buffer, midi);
            expectBitIdentical (buffer, expected);
        }
    }
}

TEST_F (ProcessorFixture, DisengagedPassesAudioAndKeepsFilterMemory)
{
    prepare (44100.0);
    auto warmup = noise (2, 64, 7);
    processor.processBlock (warmup, midi);

    MarvolenQuistra2AudioProcessor twin;
    mqtest::prepare (twin, 44100.0, 512);
    auto twinWarmup = noise (2, 64, 7);
    twin.processBlock (twinWarmup, midi);

    processor.effectOn = false;
    auto input = noise (2, 128, 8);
    auto passed = input;
    processor.processBlock (passed, midi);
    expectBitIdentical (passed, input);

    // Re-engaged, it resumes exactly where the twin, which never saw the bypassed block, stands.
    processor.effectOn = true;
    auto next = noise (2, 128, 9);
    auto twinNext = next;
    processor.processBlock (next, midi);
    twin.processBlock (twinNext, midi);
    expectBitIdentical (next, twinNext);
}

TEST_F (ProcessorFixture, SilenceAfterPrepareIsExactZero)
{
    prepare (44100.0);
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.clear();
    processor.processBlock (buffer, midi);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (buffer.getSample (ch, i), 0.0f);
}

TEST_F (ProcessorFixture, CutoffIsReadOncePerBlockDriveAndVolumePerSample)
{
    // An empty block only retunes: the next block then runs at the new cutoff with the old memory.
    prepare (44100.0, 1);
    MarvolenQuistra2AudioProcessor twin;
    mqtest::prepare (twin, 44100.0, 512, 1);

    auto a = noise (1, 32, 3);
    auto b = a;
    processor.processBlock (a, midi);
    twin.processBlock (b, midi);

    set ("filter", 8000.0f);
    juce::AudioBuffer<float> empty (1, 0);
    processor.processBlock (empty, midi);
    set ("filter", 1000.0f);

    auto afterEmpty = noise (1, 32, 4);
    auto afterEmptyTwin = afterEmpty;
    processor.processBlock (afterEmpty, midi);

    mqtest::setPlain (twin, "filter", 1000.0f);
    twin.processBlock (afterEmptyTwin, midi);
    expectBitIdentical (afterEmpty, afterEmptyTwin);
}

TEST_F (ProcessorFixture, ParameterChangesWithinABlock)
{
    // Two blocks of 32 equal one block of 64 when nothing changes in between...
    prepare (44100.0, 1);
    auto input = noise (1, 64, 11);

    auto runSplit = [this, &input] (const char* id, float newValue)
    {
        MarvolenQuistra2AudioProcessor p;
        mqtest::prepare (p, 44100.0, 64, 1);

        juce::AudioBuffer<float> first (1, 32), second (1, 32);
        first.copyFrom (0, 0, input, 0, 0, 32);
        second.copyFrom (0, 0, input, 0, 32, 32);
        juce::MidiBuffer m;
        p.processBlock (first, m);
        if (id != nullptr)
            mqtest::setPlain (p, id, newValue);
        p.processBlock (second, m);
        return std::make_pair (first, second);
    };

    const auto unchanged = runSplit (nullptr, 0.0f);
    auto whole = input;
    processor.processBlock (whole, midi);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ (whole.getSample (0, i), i < 32 ? unchanged.first.getSample (0, i) : unchanged.second.getSample (0, i - 32));

    // ...so a change between the halves shows at the next sample for drive and volume.
    for (const char* id : { "distortion", "volume" })
    {
        const auto changed = runSplit (id, 0.42f);
        EXPECT_EQ (changed.first.getSample (0, 31), unchanged.first.getSample (0, 31)) << id;
        EXPECT_NE (changed.second.getSample (0, 0), unchanged.second.getSample (0, 0)) << id;
    }
}

TEST_F (ProcessorFixture, CutoffChangeDuringABlockWaitsForTheNextBlock)
{
    // A writer flips the cutoff between its ends while blocks run: each block must come out
    // exactly as one of the two settings would give it, never a mixture.
    auto input = noise (1, 4096, 12);
    auto expectedFor = [this, &input] (double cutoff)
    {
        ReferenceLowPass f;
        f.tune (cutoff, 44100.0);
        auto out = input;
        for (int i = 0; i < out.getNumSamples(); ++i)
            out.setSample (0, i, referenceSample (input.getSample (0, i), value ("distortion"), value ("volume"), f));
        return out;
    };
    prepare (44100.0, 1, 4096);
    auto* cutoff = processor.apvts.getParameter ("filter");
    cutoff->setValueNotifyingHost (0.0f);
    const auto low = expectedFor ((double) value ("filter"));
    cutoff->setValueNotifyingHost (1.0f);
    const auto high = expectedFor ((double) value ("filter"));
    std::atomic<bool> stop { false };
    std::thread writer ([&]
    {
        for (bool toHigh = true; ! stop; toHigh = ! toHigh)
            cutoff->setValueNotifyingHost (toHigh ? 1.0f : 0.0f);
    });

    for (int block = 0; block < 20; ++block)
    {
        processor.prepareToPlay (44100.0, 4096);
        auto out = input;
        processor.processBlock (out, midi);
        const auto matches = [&out] (const juce::AudioBuffer<float>& e)
        {
            return std::memcmp (out.getReadPointer (0), e.getReadPointer (0), sizeof (float) * 4096) == 0;
        };
        EXPECT_TRUE (matches (low) || matches (high)) << "block " << block;
    }

    stop = true;
    writer.join();
}

TEST_F (ProcessorFixture, ZeroVolumeLetsFilterMemoryDecayOut)
{
    prepare (44100.0);
    auto loud = noise (2, 64, 13);
    processor.processBlock (loud, midi);

    set ("volume", 0.0f);
    juce::AudioBuffer<float> silence (2, 64);
    silence.clear();
    processor.processBlock (silence, midi);
    EXPECT_NE (silence.getSample (0, 0), 0.0f);
    EXPECT_LT (std::abs (silence.getSample (0, 63)), std::abs (silence.getSample (0, 0)));
}

TEST_F (ProcessorFixture, MonoUsesOnlyTheFirstFilter)
{
    prepare (44100.0, 1);
    auto input = noise (1, 128, 14);
    ReferenceLowPass f;
    f.tune (1000.0, 44100.0);
    auto expected = input;
    for (int i = 0; i < 128; ++i)
        expected.setSample (0, i, referenceSample (input.getSample (0, i), value ("distortion"), value ("volume"), f));
    processor.processBlock (input, midi);
    expectBitIdentical (input, expected);
}

TEST_F (ProcessorFixture, ExtraChannelsAreLeftUntouched)
{
    prepare (44100.0);
    auto buffer = noise (4, 64, 15);
    const auto original = buffer;
    processor.processBlock (buffer, midi);
    for (int ch = 2; ch < 4; ++ch)
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ (buffer.getSample (ch, i), original.getSample (ch, i));
    EXPECT_NE (buffer.getSample (0, 10), original.getSample (0, 10));
}

TEST_F (ProcessorFixture, BufferWithFewerChannelsThanTheBusesIsProcessedWithinItsBounds)
{
    prepare (44100.0);
    auto buffer = noise (1, 64, 18);
    const auto original = buffer;
    processor.processBlock (buffer, midi);
    EXPECT_NE (buffer.getSample (0, 10), original.getSample (0, 10));
}

TEST_F (ProcessorFixture, NonFiniteInputDoesNotPoisonLaterBlocks)
{
    prepare (44100.0);
    MarvolenQuistra2AudioProcessor clean;
    mqtest::prepare (clean, 44100.0, 512);

    for (const float bad : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity() })
    {
        auto poisoned = noise (2, 64, 16);
        poisoned.setSample (0, 10, bad);
        poisoned.setSample (1, 63, bad);
        processor.processBlock (poisoned, midi);

        // The filter memory is cleared after the block, so the next block starts like a fresh one.
        clean.prepareToPlay (44100.0, 512);
        auto next = noise (2, 64, 17);
        auto cleanNext = next;
        processor.processBlock (next, midi);
        clean.processBlock (cleanNext, midi);
        expectBitIdentical (next, cleanNext);
    }
}
