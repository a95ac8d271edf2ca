#pragma once

#include <juce_graphics/juce_graphics.h>

namespace art
{
    constexpr int knobFrames = 31;
    constexpr int knobFrameSize = 64;
    constexpr float knobFirstAngle = 220.0f;
    constexpr float knobDegreesPerFrame = 9.0f;

    // 31 frames of 64 by 64 stacked top to bottom; the pointer turns 9 degrees per frame.
    juce::Image drawKnobStrip();
}
