#include "FilmStripKnob.h"

FilmStripKnob::FilmStripKnob (juce::Image strip, int frameCount, bool framesAreHorizontal)
    : numFrames (frameCount),
      isHorizontal (framesAreHorizontal),
      filmStrip (std::move (strip))
{
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);

    // Integer division: leftover pixels at the far end of an uneven strip are never shown.
    frameWidth = isHorizontal ? filmStrip.getWidth() / numFrames : filmStrip.getWidth();
    frameHeight = isHorizontal ? filmStrip.getHeight() : filmStrip.getHeight() / numFrames;
}

FilmStripKnob::~FilmStripKnob() = default;

void FilmStripKnob::paint (juce::Graphics& g)
{
    // Formed in single precision and truncated: frame k shows from proportion k / (frames - 1) on.
    const auto proportion = (float) valueToProportionOfLength (getValue());
    const auto index = (int) (proportion * (float) (numFrames - 1));

    const auto sourceX = isHorizontal ? index * frameWidth : 0;
    const auto sourceY = isHorizontal ? 0 : index * frameHeight;

    g.drawImage (filmStrip, 0, 0, getWidth(), getHeight(), sourceX, sourceY, frameWidth, frameHeight, false);
}
