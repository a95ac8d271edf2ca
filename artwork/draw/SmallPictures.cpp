#include "SmallPictures.h"
#include "Drawing.h"

namespace art
{
    namespace
    {
        const juce::Colour light (0xffe4e2dc);
        const juce::Colour red (0xffe8332b);
        const juce::Colour amber (0xffffb13b);
        const juce::Colour orange (0xffe8581c);

        // Draws words one after another from x, each in its own colour, centred on the row.
        void drawWords (juce::Graphics& g, const juce::Font& font, const juce::StringArray& words,
                        const juce::Array<juce::Colour>& colours, float x, float centreY)
        {
            g.setFont (font);
            const auto baseline = centreY + (font.getAscent() - font.getDescent()) * 0.5f;

            for (int i = 0; i < words.size(); ++i)
            {
                g.setColour (colours[i]);
                g.drawSingleLineText (words[i], juce::roundToInt (x), juce::roundToInt (baseline));
                x += font.getStringWidthFloat (words[i]);
            }
        }
    }

    juce::Image drawArrow (bool pointsRight)
    {
        auto arrow = blankCanvas (juce::Image::ARGB, 20, 20);
        juce::Graphics g (arrow);

        const juce::Point<float> centre (10.0f, 10.0f);
        g.setColour (light);
        g.drawEllipse (juce::Rectangle<float> (17.0f, 17.0f).withCentre (centre), 1.5f);

        const auto direction = pointsRight ? 1.0f : -1.0f;
        juce::Path triangle;
        triangle.addTriangle (centre.translated (4.0f * direction, 0.0f),
                              centre.translated (-2.5f * direction, -4.2f),
                              centre.translated (-2.5f * direction, 4.2f));
        g.fillPath (triangle);
        return arrow;
    }

    juce::Image drawPlaylistLabel (const Fonts& fonts)
    {
        auto label = blankCanvas (juce::Image::ARGB, 100, 30);
        juce::Graphics g (label);

        const juce::StringArray words { "Video ", "playlist" };
        auto font = fonts.sansCondensedBold (15.0f);
        const auto width = font.getStringWidthFloat (words.joinIntoString ({}));
        drawWords (g, font, words, { light, red }, (100.0f - width) * 0.5f, 15.0f);
        return label;
    }

    juce::Image drawChannelLogo (const Fonts& fonts)
    {
        auto logo = blankCanvas (juce::Image::ARGB, 47, 20);
        juce::Graphics g (logo);

        const auto disc = juce::Rectangle<float> (1.0f, 1.0f, 18.0f, 18.0f);
        g.setGradientFill (juce::ColourGradient (amber, disc.getTopLeft(), orange, disc.getBottomRight(), false));
        g.fillEllipse (disc);

        const auto centre = disc.getCentre();
        juce::Path triangle;
        triangle.addTriangle (centre.translated (5.0f, 0.0f), centre.translated (-3.0f, -4.8f), centre.translated (-3.0f, 4.8f));
        g.setColour (juce::Colour (0xff1a1a1c));
        g.fillPath (triangle);

        const juce::StringArray words { "zr", "tv" };
        auto font = fonts.sansBold (14.0f);
        font = font.withHeight (font.getHeight() * juce::jmin (1.0f, 25.0f / font.getStringWidthFloat (words.joinIntoString ({}))));
        drawWords (g, font, words, { light, amber }, 21.0f, 10.0f);
        return logo;
    }

    juce::Image drawBlank()
    {
        return blankCanvas (juce::Image::ARGB, 100, 100);
    }
}
