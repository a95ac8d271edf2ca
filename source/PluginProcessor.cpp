#include "PluginProcessor.h"

#include "PluginEditor.h"
#include "StateXmlCheck.h"

namespace
{
    juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
    {
        using Float = juce::AudioParameterFloat;

        return { std::make_unique<Float> (juce::ParameterID { "distortion", 0 }, "Distortion", 0.0f, 0.5f, 0.15f),
                 std::make_unique<Float> (juce::ParameterID { "filter", 0 }, "Filter",
                                          juce::NormalisableRange<float> (250.0f, 20000.0f, 0.1f, 0.30176237f),
                                          1000.0f, juce::AudioParameterFloatAttributes()),
                 std::make_unique<Float> (juce::ParameterID { "volume", 0 }, "Volume", 0.0f, 0.8f, 0.18f),
                 std::make_unique<Float> (juce::ParameterID { "preset", 0 }, "Preset", 1.0f, 4.0f, 1.0f) };
    }

    // Soft-clip scale: the single-precision value nearest to 2/pi.
    constexpr float twoOverPi = 0.63661975f;

    // "VC2!" in little-endian order, the word copyXmlToBinary starts the saved state with.
    constexpr juce::uint32 stateMagic = 0x21324356;

    // The saved tree is two levels deep; the limit leaves room for foreign additions while keeping the
    // recursion of parsing, tree building and destruction far from the end of a small thread stack.
    constexpr int maxStateDepth = 256;
}

MarvolenQuistra2AudioProcessor::MarvolenQuistra2AudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      apvts (*this, nullptr, "MarvolenQuistra", createParameterLayout())
{
}

MarvolenQuistra2AudioProcessor::~MarvolenQuistra2AudioProcessor() = default;

void MarvolenQuistra2AudioProcessor::prepareToPlay (double, int)
{
    const auto rate = getSampleRate();

    for (auto& filter : lowPass)
        filter.reset (rate);
}

void MarvolenQuistra2AudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // Bounded by the buffer as well, in case a caller hands over fewer channels than the buses hold.
    const auto numChannels = buffer.getNumChannels();
    const auto numInputs = juce::jmin (getTotalNumInputChannels(), numChannels);
    const auto numOutputs = juce::jmin (getTotalNumOutputChannels(), numChannels);
    const auto numSamples = buffer.getNumSamples();

    for (auto channel = numInputs; channel < numOutputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    if (! effectOn.load())
        return;

    // There is one filter per channel; the layout rule never offers more than two.
    const auto numProcessed = juce::jmin (numInputs, (int) lowPass.size());

    for (auto channel = 0; channel < numProcessed; ++channel)
    {
        auto* samples = buffer.getWritePointer (channel);
        const auto* distortion = apvts.getRawParameterValue ("distortion");
        const auto* filter = apvts.getRawParameterValue ("filter");
        const auto* volume = apvts.getRawParameterValue ("volume");
        auto& channelFilter = lowPass[(size_t) channel];

        channelFilter.setCutoffFrequency ((double) filter->load());

        for (auto i = 0; i < numSamples; ++i)
        {
            const auto x = samples[i];
            const auto drive = distortion->load();
            const auto shaped = ((drive * 1000.0f) + x) * x;
            const auto clipped = (x * 0.5f) + (std::atan (shaped) * twoOverPi);
            const auto scaled = volume->load() * clipped;
            samples[i] = (float) channelFilter.filter ((double) scaled);
        }

        channelFilter.discardNonFiniteState();
    }
}

juce::AudioProcessorEditor* MarvolenQuistra2AudioProcessor::createEditor()
{
    return new MarvolenQuistra2AudioProcessorEditor (*this);
}

void MarvolenQuistra2AudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (const auto xml = apvts.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void MarvolenQuistra2AudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // The frame checks of getXmlFromBinary, done here so that the text can be vetted before it is parsed.
    if (sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt (data) != stateMagic)
        return;

    const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (length <= 0)
        return;

    const auto text = juce::String::fromUTF8 (static_cast<const char*> (data) + 8, juce::jmin (sizeInBytes - 8, length));

    if (! isShallowPlainXml (text, maxStateDepth))
        return;

    const auto xml = juce::parseXML (text);

    if (xml == nullptr || ! xml->hasTagName (apvts.state.getType()) || ! hasOnlyFittingBase64Sizes (*xml))
        return;

    const auto state = juce::ValueTree::fromXml (*xml);

    if (isUsableState (state, apvts))
        apvts.replaceState (state);
}

bool MarvolenQuistra2AudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == output;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new MarvolenQuistra2AudioProcessor();
}
