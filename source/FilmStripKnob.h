#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A slider that draws the frame of a pre-rendered knob strip matching its position.
class FilmStripKnob final : public juce::Slider
{
public:
    FilmStripKnob (juce::Image strip, int frameCount, bool framesAreHorizontal);
    ~FilmStripKnob() override;

    void paint (juce::Graphics& g) override;

private:
    int numFrames;
    bool isHorizontal;
    juce::Image filmStrip;
    int frameWidth;
    int frameHeight;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilmStripKnob)
};
