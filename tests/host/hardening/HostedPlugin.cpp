#include "HostedPlugin.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace mqjuce
{
    juce::AudioProcessorParameter& parameterNamed (juce::AudioPluginInstance& plugin, const juce::String& name)
    {
        for (auto* parameter : plugin.getParameters())
            if (parameter->getName (64) == name)
                return *parameter;

        throw std::runtime_error ("no parameter " + name.toStdString());
    }

    std::map<juce::String, float> savedValues (juce::AudioPluginInstance& plugin)
    {
        juce::MemoryBlock hostState;
        plugin.getStateInformation (hostState);
        std::map<juce::String, float> values;

        const auto head = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());
        const auto* component = head != nullptr ? head->getChildByName ("IComponent") : nullptr;
        juce::MemoryBlock componentState;

        if (component == nullptr || ! componentState.fromBase64Encoding (component->getAllSubText()))
            return values;

        if (const auto tree = juce::AudioProcessor::getXmlFromBinary (componentState.getData(), (int) componentState.getSize()))
            for (const auto* param : tree->getChildWithTagNameIterator ("PARAM"))
                values[param->getStringAttribute ("id")] = (float) param->getDoubleAttribute ("value");

        return values;
    }

    juce::AudioBuffer<float> referenceChain (const juce::AudioBuffer<float>& input, double sampleRate,
                                             float distortion, double cutoff, float volume)
    {
        auto output = input;
        const auto w = (std::min (cutoff, sampleRate * 0.49) * 3.1415927410125732) / sampleRate;
        const auto t = std::tan (w);
        const auto coefficient = (t - 1.0) / (t + 1.0);

        for (auto channel = 0; channel < output.getNumChannels(); ++channel)
        {
            auto* samples = output.getWritePointer (channel);
            auto memory = 0.0;

            for (auto i = 0; i < output.getNumSamples(); ++i)
            {
                const auto x = samples[i];
                const auto clipped = (x * 0.5f) + (std::atan (((distortion * 1000.0f) + x) * x) * 0.63661975f);
                const auto u = (double) (volume * clipped);
                const auto allPass = (coefficient * u) + memory;
                memory = u - (coefficient * allPass);
                samples[i] = (float) ((allPass + u) * 0.5);
            }
        }

        return output;
    }

    float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
            return std::numeric_limits<float>::infinity();

        auto largest = 0.0f;

        for (auto channel = 0; channel < a.getNumChannels(); ++channel)
            for (auto i = 0; i < a.getNumSamples(); ++i)
                largest = std::max (largest, std::abs (a.getSample (channel, i) - b.getSample (channel, i)));

        return largest;
    }
}
