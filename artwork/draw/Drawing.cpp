#include "Drawing.h"

namespace art
{
    juce::Point<float> pointOnCircle (juce::Point<float> centre, float radius, float degrees)
    {
        const auto radians = juce::degreesToRadians (degrees);
        return centre + juce::Point<float> (radius * std::sin (radians), -radius * std::cos (radians));
    }

    void addGrain (juce::Image& image, int amount, juce::int64 seed)
    {
        juce::Random random (seed);
        juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readWrite);

        for (int y = 0; y < image.getHeight(); ++y)
        {
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto offset = random.nextInt ({ -amount, amount + 1 });
                const auto colour = pixels.getPixelColour (x, y);

                if (colour.getAlpha() == 0)
                    continue;

                const auto shift = [offset] (juce::uint8 channel)
                {
                    return (juce::uint8) juce::jlimit (0, 255, (int) channel + offset);
                };

                pixels.setPixelColour (x, y, juce::Colour (shift (colour.getRed()), shift (colour.getGreen()),
                                                           shift (colour.getBlue()), colour.getAlpha()));
            }
        }
    }

    juce::Image blankCanvas (juce::Image::PixelFormat format, int width, int height)
    {
        return juce::Image (format, width, height, true, juce::SoftwareImageType());
    }
}
