#pragma once

#include "Filters.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

class MarvolenQuistra2AudioProcessor final : public juce::AudioProcessor
{
public:
    MarvolenQuistra2AudioProcessor();
    ~MarvolenQuistra2AudioProcessor() override;

    const juce::String getName() const override { return "Marvolen Quistra"; }

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using AudioProcessor::processBlock;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    juce::AudioProcessorValueTreeState apvts;
    std::atomic<bool> effectOn { true };

private:
    std::array<LowPass, 2> lowPass;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MarvolenQuistra2AudioProcessor)
};
