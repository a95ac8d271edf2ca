#include "FacePreview.h"
#include "Drawing.h"

#include "FilmStripKnob.h"

namespace art
{
    namespace
    {
        void showImage (juce::ImageButton& button, const juce::Image& image)
        {
            const auto none = juce::Colours::transparentBlack;
            button.setImages (false, false, true, image, 1.0f, none, {}, 1.0f, none, {}, 1.0f, none, 0.0f);
        }

        // Mirrors the editor's children and their settings, without a processor behind them.
        class PreviewFace final : public juce::Component
        {
        public:
            explicit PreviewFace (const Artwork& artwork)
                : background (artwork.background),
                  distortionKnob (artwork.knobStrip, 31, false),
                  filterKnob (artwork.knobStrip, 31, false),
                  volumeKnob (artwork.knobStrip, 31, false)
            {
                setSize (editorWidth, editorHeight);

                distortionKnob.setRange (0.0, (double) 0.5f, (double) 0.001f);
                distortionKnob.setValue ((double) 0.15f);
                filterKnob.setNormalisableRange ({ 250.0, 20000.0, (double) 0.1f, (double) 0.30176237f });
                filterKnob.setValue (1000.0);
                volumeKnob.setRange (0.0, (double) 0.8f, (double) 0.001f);
                volumeKnob.setValue ((double) 0.18f);

                for (auto* knob : { &distortionKnob, &filterKnob, &volumeKnob })
                {
                    knob->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
                    addAndMakeVisible (knob);
                }

                showImage (engageButton, artwork.blank);
                showImage (offOverlayButton, artwork.blank);
                showImage (playlistButton, artwork.playlistLabel);
                showImage (channelButton, artwork.channelLogo);
                showImage (previousPresetButton, artwork.previousArrow);
                showImage (nextPresetButton, artwork.nextArrow);
                presetBox.setTextWhenNothingSelected ("Presets");

                for (auto* child : std::initializer_list<juce::Component*> { &engageButton, &offOverlayButton, &presetBox, &playlistButton,
                                                                             &channelButton, &previousPresetButton, &nextPresetButton })
                    addAndMakeVisible (child);

                distortionKnob.setBounds (layout::knobs[0]);
                filterKnob.setBounds (layout::knobs[1]);
                volumeKnob.setBounds (layout::knobs[2]);
                engageButton.setBounds (layout::engage);
                offOverlayButton.setBounds (layout::overlay);
                presetBox.setBounds (layout::presetBox);
                playlistButton.setBounds (layout::playlist);
                channelButton.setBounds (layout::channel);
                previousPresetButton.setBounds (layout::previousPreset);
                nextPresetButton.setBounds (layout::nextPreset);
            }

            void paint (juce::Graphics& g) override
            {
                g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
                g.drawImage (background, getLocalBounds().toFloat(), juce::RectanglePlacement::stretchToFit, false);
            }

        private:
            juce::Image background;
            FilmStripKnob distortionKnob, filterKnob, volumeKnob;
            juce::ImageButton engageButton, offOverlayButton;
            juce::ComboBox presetBox;
            juce::ImageButton playlistButton, channelButton, previousPresetButton, nextPresetButton;

            JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreviewFace)
        };
    }

    juce::Image drawFacePreview (const Artwork& artwork)
    {
        PreviewFace face (artwork);
        return face.createComponentSnapshot (face.getLocalBounds(), true, 1.0f).convertedToFormat (juce::Image::RGB);
    }
}
