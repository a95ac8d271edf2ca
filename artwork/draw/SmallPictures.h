#pragma once

#include "Fonts.h"

namespace art
{
    // A light ring around a triangle, 20 by 20 on a transparent ground.
    juce::Image drawArrow (bool pointsRight);

    // "Video playlist" in light and red letters, 100 by 30.
    juce::Image drawPlaylistLabel (const Fonts& fonts);

    // A play-button logo with a short wordmark, 47 by 20.
    juce::Image drawChannelLogo (const Fonts& fonts);

    // 100 by 100, transparent at every pixel.
    juce::Image drawBlank();
}
