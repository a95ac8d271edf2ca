#pragma once

#include "PluginProcessor.h"

#include <random>

namespace mqtest
{
    // Gives the processor a mono or stereo layout and prepares it as a host would.
    inline void prepare (MarvolenQuistra2AudioProcessor& processor, double sampleRate, int blockSize, int channels = 2)
    {
        const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        processor.setBusesLayout (layout);
        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    // Sets a parameter from a plain value, as a host or an attachment would.
    inline void setPlain (MarvolenQuistra2AudioProcessor& processor, const char* id, float value)
    {
        auto* parameter = processor.apvts.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    // The value that the audio chain reads.
    inline float rawValue (MarvolenQuistra2AudioProcessor& processor, const char* id)
    {
        return processor.apvts.getRawParameterValue (id)->load();
    }

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
