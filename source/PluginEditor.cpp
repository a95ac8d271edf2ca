#include "PluginEditor.h"

#include "BinaryData.h"

#include <array>
#include <utility>

namespace
{
    constexpr auto channelAddress = "https://www.youtube.com/@ZelboRuk";
    constexpr auto playlistAddress = "https://www.youtube.com/@ZelboRuk/playlists";

    juce::Image loadImage (const char* data, int size)
    {
        return juce::ImageCache::getFromMemory (data, size);
    }

    juce::Image knobStrip() { return loadImage (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize); }
    juce::Image blankImage() { return loadImage (BinaryData::blankImage_png, BinaryData::blankImage_pngSize); }

    // Draws the normal image unscaled and centred in every button state; every pixel of the
    // bounds takes clicks, transparent ones included.
    void setButtonImage (juce::ImageButton& button, const juce::Image& image, bool preserveProportions)
    {
        const auto none = juce::Colours::transparentBlack;
        button.setImages (false, false, preserveProportions,
                          image, 1.0f, none,
                          {}, 1.0f, none,
                          {}, 1.0f, none,
                          0.0f);
    }

    struct KnobRange
    {
        float minimum, maximum, step;
    };

    constexpr KnobRange distortionRange { 0.0f, 0.5f, 0.001f };
    constexpr KnobRange filterRange { 250.0f, 20000.0f, 0.1f };
    constexpr KnobRange volumeRange { 0.0f, 0.8f, 0.001f };

    struct PresetRow
    {
        float distortion, filter, volume;
    };

    constexpr std::array<PresetRow, 4> presetRows { { { 0.15f, 2500.0f, 0.18f },
                                                      { 0.1f, 3000.0f, 0.15f },
                                                      { 0.3f, 5000.0f, 0.25f },
                                                      { 0.4f, 9500.0f, 0.4f } } };
}

MarvolenQuistra2AudioProcessorEditor::MarvolenQuistra2AudioProcessorEditor (MarvolenQuistra2AudioProcessor& p)
    : AudioProcessorEditor (p),
      processorRef (p),
      distortionKnob (knobStrip(), 31, false),
      filterKnob (knobStrip(), 31, false),
      volumeKnob (knobStrip(), 31, false),
      offOverlayShown (! p.effectOn.load()),
      initialPresetUpdatePending (! juce::MessageManager::getInstance()->isThisTheMessageThread())
{
    setBounds (getX(), getY(), 550, 620);

    // Before the knobs' own ranges, which therefore win, and before the menu's items, so that
    // the menu opens with nothing selected.
    auto& state = processorRef.apvts;
    distortionAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, "distortion", distortionKnob);
    filterAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, "filter", filterKnob);
    volumeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, "volume", volumeKnob);
    presetAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (state, "preset", presetBox);

    // setRange keeps the skew that the attachment gave the knob.
    const auto configureKnob = [this] (FilmStripKnob& knob, KnobRange range)
    {
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setRange ((double) range.minimum, (double) range.maximum, (double) range.step);
        knob.addListener (this);
        addAndMakeVisible (knob);
    };

    configureKnob (distortionKnob, distortionRange);
    configureKnob (filterKnob, filterRange);
    configureKnob (volumeKnob, volumeRange);

    const auto configureButton = [this] (juce::ImageButton& button, const juce::Image& image)
    {
        setButtonImage (button, image, true);
        button.addListener (this);
        addAndMakeVisible (button);
    };

    configureButton (engageButton, blankImage());
    configureButton (offOverlayButton, blankImage());

    presetBox.setTextWhenNothingSelected ("Presets");
    presetBox.addItem ("Default Setting", 1);
    presetBox.addItem ("Gentle Nibble", 2);
    presetBox.addItem ("Nasty Bite", 3);
    presetBox.addItem ("Black Death", 4);
    presetBox.addListener (this);
    addAndMakeVisible (presetBox);

    configureButton (playlistButton, loadImage (BinaryData::playlistLabelImage_png, BinaryData::playlistLabelImage_pngSize));
    configureButton (channelButton, loadImage (BinaryData::channelLogoImage_png, BinaryData::channelLogoImage_pngSize));
    configureButton (previousPresetButton, loadImage (BinaryData::previousArrowImage_png, BinaryData::previousArrowImage_pngSize));
    configureButton (nextPresetButton, loadImage (BinaryData::nextArrowImage_png, BinaryData::nextArrowImage_pngSize));
}

MarvolenQuistra2AudioProcessorEditor::~MarvolenQuistra2AudioProcessorEditor() = default;

void MarvolenQuistra2AudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));

    backgroundImage = loadImage (BinaryData::backgroundPanelImage_png, BinaryData::backgroundPanelImage_pngSize);

    if (backgroundImage.isValid())
        g.drawImage (backgroundImage, juce::Rectangle<float> (0.0f, 0.0f, (float) getWidth(), (float) getHeight()),
                     juce::RectanglePlacement::stretchToFit, false);

    if (overlayShownAtLastStep != offOverlayShown)
        updateOverlayImage();
}

void MarvolenQuistra2AudioProcessorEditor::updateOverlayImage()
{
    const auto image = offOverlayShown ? loadImage (BinaryData::dimmedLogoImage_png, BinaryData::dimmedLogoImage_pngSize)
                                       : blankImage();
    setButtonImage (offOverlayButton, image, false);
    overlayShownAtLastStep = offOverlayShown;
}

void MarvolenQuistra2AudioProcessorEditor::resized()
{
    distortionKnob.setBounds (106, 194, 66, 66);
    filterKnob.setBounds (238, 194, 66, 66);
    volumeKnob.setBounds (370, 194, 66, 66);
    engageButton.setBounds (238, 425, 100, 100);
    offOverlayButton.setBounds (135, 286, 280, 129);
    presetBox.setBounds (getWidth() / 2 - 80, 0, 160, 30);
    playlistButton.setBounds (0, 0, 100, 30);
    channelButton.setBounds (498, 5, 48, 20);
    previousPresetButton.setBounds (170, 5, 20, 20);
    nextPresetButton.setBounds (360, 5, 20, 20);
}

void MarvolenQuistra2AudioProcessorEditor::sliderValueChanged (juce::Slider*)
{
}

void MarvolenQuistra2AudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == &engageButton)
    {
        offOverlayShown = ! offOverlayShown;
        processorRef.effectOn.store (! processorRef.effectOn.load());
    }
    else if (button == &channelButton)
    {
        juce::URL (channelAddress).launchInDefaultBrowser();
    }
    else if (button == &playlistButton)
    {
        juce::URL (playlistAddress).launchInDefaultBrowser();
    }
    else if (button == &previousPresetButton)
    {
        const auto index = presetBox.getSelectedItemIndex();
        presetBox.setSelectedId (presetBox.getItemId (index > 0 ? index - 1 : 3), juce::sendNotificationAsync);
    }
    else if (button == &nextPresetButton)
    {
        const auto index = presetBox.getSelectedItemIndex();
        presetBox.setSelectedId (presetBox.getItemId (index <= 2 ? index + 1 : 0), juce::sendNotificationAsync);
    }
}

void MarvolenQuistra2AudioProcessorEditor::comboBoxChanged (juce::ComboBox* box)
{
    if (std::exchange (initialPresetUpdatePending, false))
    {
        // The late first update is the opening value of "preset", which must not pick a row.
        box->setSelectedId (0, juce::dontSendNotification);
        return;
    }

    const auto id = box->getSelectedId();

    if ((unsigned int) (id - 1) > 3u)
        return;

    const auto& row = presetRows[(size_t) (id - 1)];
    distortionKnob.setValue ((double) row.distortion, juce::sendNotificationAsync);
    filterKnob.setValue ((double) row.filter, juce::sendNotificationAsync);
    volumeKnob.setValue ((double) row.volume, juce::sendNotificationAsync);
}
