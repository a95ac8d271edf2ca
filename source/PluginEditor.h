#pragma once

#include "FilmStripKnob.h"
#include "PluginProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <optional>

class MarvolenQuistra2AudioProcessorEditor final : public juce::AudioProcessorEditor,
                                                   public juce::Slider::Listener,
                                                   public juce::Button::Listener,
                                                   public juce::ComboBox::Listener
{
public:
    explicit MarvolenQuistra2AudioProcessorEditor (MarvolenQuistra2AudioProcessor&);
    ~MarvolenQuistra2AudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void sliderValueChanged (juce::Slider*) override;
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

private:
    void updateOverlayImage();

    MarvolenQuistra2AudioProcessor& processorRef;

    juce::Image backgroundImage;

    FilmStripKnob distortionKnob;
    FilmStripKnob filterKnob;
    FilmStripKnob volumeKnob;

    juce::ImageButton engageButton;
    juce::ImageButton offOverlayButton;
    bool offOverlayShown;

    juce::ComboBox presetBox;

    juce::ImageButton playlistButton;
    juce::ImageButton channelButton;
    juce::ImageButton previousPresetButton;
    juce::ImageButton nextPresetButton;

    // Declared after every control, so each is destroyed before the control it binds.
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> distortionAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> filterAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> volumeAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> presetAttachment;

    // The overlay state that paint last gave the overlay button; empty until the first paint.
    // setImages repaints the button, so running the step on every paint would never let the
    // editor go idle.
    std::optional<bool> overlayShownAtLastStep;

    // True while the preset attachment's first update is still queued: it was constructed off
    // the message thread, so it reports "preset" only after the menu has its items.
    bool initialPresetUpdatePending;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MarvolenQuistra2AudioProcessorEditor)
};
