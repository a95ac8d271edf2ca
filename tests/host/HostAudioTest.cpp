#include "HostTestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
    // A parameter's range as the framework maps values onto it: a normalised value is skewed back
    // into the range, then snapped to the step and clamped; a plain value is snapped before it is
    // normalised.
    struct ParameterRange
    {
        float start, end, interval, skew;

        float denormalise (float proportion) const
        {
            proportion = std::clamp (proportion, 0.0f, 1.0f);

            if (skew != 1.0f && proportion > 0.0f)
                proportion = std::exp (std::log (proportion) / skew);

            return start + (end - start) * proportion;
        }

        float snap (float value) const
        {
            value = start + interval * std::floor ((value - start) / interval + 0.5f);
            return value <= start ? start : (value >= end ? end : value);
        }

        float toNormalised (float value) const
        {
            const auto proportion = std::clamp ((snap (value) - start) / (end - start), 0.0f, 1.0f);
            return skew == 1.0f ? proportion : std::pow (proportion, skew);
        }

        float fromNormalised (float proportion) const   { return snap (denormalise (proportion)); }
        float roundTrip (float value) const             { return fromNormalised (toNormalised (value)); }

        // The value the processor reads once the host has sent this normalised value: the
        // parameter keeps the snapped value and its state mirror re-derives it from the parameter.
        float fromHost (double normalised) const
        {
            return roundTrip (fromNormalised ((float) normalised));
        }

        // The state mirror starts from the unsnapped default. Where that differs from the snapped
        // default, building the parameter state hands the snapped default to the parameter, and the
        // mirror re-derives its value from the parameter. Snapping and skewing do not always
        // settle, so for "distortion" the processor starts at 0.1499999911, not at 0.15f.
        float initial (float defaultValue) const
        {
            const auto unsnapped = denormalise (toNormalised (defaultValue));
            const auto snapped = roundTrip (defaultValue);
            return unsnapped == snapped ? unsnapped : roundTrip (roundTrip (snapped));
        }
    };

    constexpr ParameterRange distortionRange { 0.0f, 0.5f, 0.01f, 1.0f };
    constexpr ParameterRange filterRange { 250.0f, 20000.0f, 0.1f, 0.30176237f };
    constexpr ParameterRange volumeRange { 0.0f, 0.8f, 0.01f, 1.0f };

    struct ChainSettings
    {
        float distortion, filter, volume;
    };

    const ChainSettings defaultSettings { distortionRange.initial (0.15f), filterRange.initial (1000.0f), volumeRange.initial (0.18f) };

    // One channel of the chain: waveshaper, arctangent soft clip with half the dry signal, gain,
    // and the first-order low-pass built from an all-pass section with pi in single precision.
    class ReferenceChannel
    {
    public:
        void reset (double newSampleRate)
        {
            sampleRate = newSampleRate;
            updateCoefficient();
            memory = 0.0;
        }

        void processBlock (std::vector<float>& samples, const ChainSettings& settings)
        {
            cutoff = (double) settings.filter;
            updateCoefficient();

            for (auto& sample : samples)
            {
                const float x = sample;
                const float shaped = ((settings.distortion * 1000.0f) + x) * x;
                const float clipped = (x * 0.5f) + (std::atan (shaped) * 0.63661975f);
                const double input = (double) (settings.volume * clipped);
                const double allPass = (coefficient * input) + memory;
                memory = input - (coefficient * allPass);
                sample = (float) ((allPass + input) * 0.5);
            }
        }

    private:
        void updateCoefficient()
        {
            const double t = std::tan ((cutoff * 3.1415927410125732) / sampleRate);
            coefficient = (t - 1.0) / (t + 1.0);
        }

        double cutoff = 1000.0, sampleRate = 44100.0, memory = 0.0, coefficient = 0.0;
    };

    using Channels = std::vector<std::vector<float>>;

    class HostAudioTest : public mqtest::PluginInstanceTest
    {
    protected:
        Channels randomBlock (int numChannels, int numSamples)
        {
            std::uniform_real_distribution<float> distribution (-1.5f, 1.5f);
            Channels block ((size_t) numChannels, std::vector<float> ((size_t) numSamples));

            for (auto& channel : block)
                for (auto& sample : channel)
                    sample = distribution (random);

            return block;
        }

        Channels process (const Channels& input, IParameterChanges* changes = nullptr)
        {
            auto inputCopy = input;
            Channels output (input.size(), std::vector<float> (input.front().size(), 123.0f));
            std::vector<float*> inputPointers, outputPointers;

            for (size_t channel = 0; channel < input.size(); ++channel)
            {
                inputPointers.push_back (inputCopy[channel].data());
                outputPointers.push_back (output[channel].data());
            }

            EXPECT_EQ (instance->process (inputPointers.data(), outputPointers.data(), (int) input.size(),
                                          (int) input.front().size(), changes),
                       kResultTrue);
            return output;
        }

        Channels reference (const Channels& input, const ChainSettings& settings)
        {
            auto output = input;

            for (size_t channel = 0; channel < output.size(); ++channel)
                referenceChannels[channel].processBlock (output[channel], settings);

            return output;
        }

        void startAt (double sampleRate)
        {
            ASSERT_TRUE (instance->startProcessing (sampleRate, blockSize));

            for (auto& channel : referenceChannels)
                channel.reset (sampleRate);
        }

        static constexpr int blockSize = 256;
        std::mt19937 random { 20260901 };
        ReferenceChannel referenceChannels[2];
    };
}

TEST_F (HostAudioTest, BlocksComeOutAsTheChainComputesThem)
{
    ASSERT_NEAR (defaultSettings.distortion, 0.15f, 1e-7f);
    ASSERT_EQ (defaultSettings.filter, 1000.0f);
    ASSERT_NEAR (defaultSettings.volume, 0.18f, 1e-7f);

    startAt (48000.0);

    for (int block = 0; block < 3; ++block)
    {
        const auto input = randomBlock (2, blockSize);
        EXPECT_EQ (process (input), reference (input, defaultSettings)) << "block " << block;
    }
}

TEST_F (HostAudioTest, ChangesInTheBlockQueueTakeEffectForThatBlock)
{
    startAt (44100.0);

    const auto first = randomBlock (2, blockSize);
    EXPECT_EQ (process (first), reference (first, defaultSettings));

    mqhost::ParameterChanges changes;
    changes.add (mqtest::paramIds::distortion, 0.5);
    changes.add (mqtest::paramIds::filter, 0.5);
    changes.add (mqtest::paramIds::volume, 0.1, 0);
    changes.add (mqtest::paramIds::volume, 0.75, blockSize / 2);
    changes.add (mqtest::paramIds::preset, 1.0);

    const ChainSettings changed { distortionRange.fromHost (0.5), filterRange.fromHost (0.5), volumeRange.fromHost (0.75) };
    ASSERT_NEAR (changed.distortion, 0.25f, 1e-6f);
    ASSERT_NEAR (changed.filter, 2236.1f, 0.1f);
    ASSERT_NEAR (changed.volume, 0.6f, 1e-6f);

    const auto second = randomBlock (2, blockSize);
    const auto output = process (second, &changes);
    EXPECT_EQ (output, reference (second, changed));

    const auto third = randomBlock (2, blockSize);
    EXPECT_EQ (process (third), reference (third, changed));
}

TEST_F (HostAudioTest, BypassPassesAudioUnchangedAndLeavesTheFiltersAlone)
{
    startAt (44100.0);

    const auto before = randomBlock (2, blockSize);
    EXPECT_EQ (process (before), reference (before, defaultSettings));

    mqhost::ParameterChanges bypassOn;
    bypassOn.add (mqtest::paramIds::bypass, 1.0);

    for (int block = 0; block < 3; ++block)
    {
        const auto input = randomBlock (2, blockSize);
        EXPECT_EQ (process (input, block == 0 ? &bypassOn : nullptr), input) << "block " << block;
    }

    mqhost::ParameterChanges bypassOff;
    bypassOff.add (mqtest::paramIds::bypass, 0.0);

    const auto after = randomBlock (2, blockSize);
    EXPECT_EQ (process (after, &bypassOff), reference (after, defaultSettings));
}

TEST_F (HostAudioTest, MonoArrangementProcessesOneChannel)
{
    SpeakerArrangement mono = SpeakerArr::kMono;
    ASSERT_EQ (instance->getProcessor().setBusArrangements (&mono, 1, &mono, 1), kResultTrue);
    startAt (44100.0);

    BusInfo info {};
    ASSERT_EQ (instance->getComponent().getBusInfo (kAudio, kOutput, 0, info), kResultTrue);
    EXPECT_EQ (info.channelCount, 1);

    for (int block = 0; block < 2; ++block)
    {
        const auto input = randomBlock (1, blockSize);
        EXPECT_EQ (process (input), reference (input, defaultSettings)) << "block " << block;
    }
}

TEST_F (HostAudioTest, ParameterFlushWithoutAudioReachesTheNextBlock)
{
    startAt (44100.0);

    mqhost::ParameterChanges changes;
    changes.add (mqtest::paramIds::volume, 0.25);
    changes.add (mqtest::paramIds::filter, 1.0);
    ASSERT_EQ (instance->flushParameters (changes), kResultTrue);

    const ChainSettings changed { defaultSettings.distortion, filterRange.fromHost (1.0), volumeRange.fromHost (0.25) };
    ASSERT_EQ (changed.filter, 20000.0f);

    const auto input = randomBlock (2, blockSize);
    EXPECT_EQ (process (input), reference (input, changed));
}

TEST_F (HostAudioTest, SwitchedOffInputBusFeedsTheChainSilence)
{
    ASSERT_EQ (instance->getComponent().activateBus (kAudio, kInput, 0, false), kResultTrue);

    SpeakerArrangement arrangement = 0;
    ASSERT_EQ (instance->getProcessor().getBusArrangement (kInput, 0, arrangement), kResultTrue);
    EXPECT_EQ (arrangement, SpeakerArr::kStereo);

    Vst::ProcessSetup setup { kRealtime, kSample32, blockSize, 44100.0 };
    ASSERT_EQ (instance->getProcessor().setupProcessing (setup), kResultOk);
    ASSERT_EQ (instance->getComponent().activateBus (kAudio, kOutput, 0, true), kResultTrue);
    ASSERT_EQ (instance->getComponent().setActive (true), kResultOk);

    const auto output = process (randomBlock (2, blockSize));
    EXPECT_EQ (output, Channels (2, std::vector<float> (blockSize, 0.0f)));

    instance->getComponent().setActive (false);
}
