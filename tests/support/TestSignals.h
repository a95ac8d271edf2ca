#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <random>

namespace mqtest
{
    // Uniform noise, the same for the same seed.
    inline juce::AudioBuffer<float> noise (int channels, int samples, unsigned seed, float amplitude = 1.0f)
    {
        std::mt19937 rng (seed);
        std::uniform_real_distribution<float> dist (-amplitude, amplitude);
        juce::AudioBuffer<float> buffer (channels, samples);

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < samples; ++i)
                buffer.setSample (ch, i, dist (rng));

        return buffer;
    }
}
