#pragma once

#include "JuceHost.h"
#include "TestSignals.h"

#include <map>

// What host-level tests read back from a plug-in hosted through JUCE, and the chain they expect.
namespace mqjuce
{
    juce::AudioProcessorParameter& parameterNamed (juce::AudioPluginInstance&, const juce::String& name);

    // The plain parameter values that the plug-in's component saves, by parameter ID.
    std::map<juce::String, float> savedValues (juce::AudioPluginInstance&);

    using mqtest::noise;

    // The chain computed here from scratch for fixed values, each channel from a cleared filter.
    juce::AudioBuffer<float> referenceChain (const juce::AudioBuffer<float>& input, double sampleRate,
                                             float distortion, double cutoff, float volume);

    float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b);
}
