#pragma once

#include "PluginProcessor.h"
#include "TestSignals.h"

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
}
