#pragma once

#include <juce_graphics/juce_graphics.h>

namespace art
{
    struct Artwork
    {
        juce::Image previousArrow, nextArrow, knobStrip, dimmedLogo, background, playlistLabel, channelLogo, blank;
    };

    // The editor's face as a host shows it: the squeezed background, the controls at their
    // bounds and the knobs at their parameters' defaults. Needs the framework's GUI initialised.
    juce::Image drawFacePreview (const Artwork& artwork);
}
