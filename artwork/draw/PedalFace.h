#pragma once

#include "Fonts.h"

namespace art
{
    // The 550 by 650 face without alpha, laid out for the editor after its squeeze to 620 rows.
    juce::Image drawBackgroundPanel (const Fonts& fonts);

    // The product name in dull grey, 280 by 129; at the overlay's bounds it covers the face's lettering.
    juce::Image drawDimmedLogo (const Fonts& fonts);
}
