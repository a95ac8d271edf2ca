#include "BinaryData.h"
#include "FilmStripKnob.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
    struct Picture
    {
        const char* name;
        const char* data;
        int size;
        int width, height;
        bool hasAlpha;
    };

    const Picture pictures[] {
        { "previousArrowImage", BinaryData::previousArrowImage_png, BinaryData::previousArrowImage_pngSize, 20, 20, true },
        { "nextArrowImage", BinaryData::nextArrowImage_png, BinaryData::nextArrowImage_pngSize, 20, 20, true },
        { "knobStripImage", BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize, 64, 1984, true },
        { "dimmedLogoImage", BinaryData::dimmedLogoImage_png, BinaryData::dimmedLogoImage_pngSize, 280, 129, true },
        { "backgroundPanelImage", BinaryData::backgroundPanelImage_png, BinaryData::backgroundPanelImage_pngSize, 550, 650, false },
        { "playlistLabelImage", BinaryData::playlistLabelImage_png, BinaryData::playlistLabelImage_pngSize, 100, 30, true },
        { "channelLogoImage", BinaryData::channelLogoImage_png, BinaryData::channelLogoImage_pngSize, 47, 20, true },
        { "blankImage", BinaryData::blankImage_png, BinaryData::blankImage_pngSize, 100, 100, true },
    };

    juce::Image load (const char* data, int size)
    {
        return juce::ImageCache::getFromMemory (data, size);
    }

    juce::uint32 bigEndian32 (const juce::uint8* bytes)
    {
        return ((juce::uint32) bytes[0] << 24) | ((juce::uint32) bytes[1] << 16) | ((juce::uint32) bytes[2] << 8) | bytes[3];
    }

    // The background as the 550 by 620 editor draws it.
    juce::Image squeezedBackground()
    {
        juce::Image face (juce::Image::ARGB, 550, 620, true);
        juce::Graphics g (face);
        g.drawImage (load (BinaryData::backgroundPanelImage_png, BinaryData::backgroundPanelImage_pngSize),
                     face.getBounds().toFloat(), juce::RectanglePlacement::stretchToFit, false);
        return face;
    }

    // Scaling may leave the outermost column a few levels short of full coverage.
    bool nearlyEqual (juce::Colour a, juce::Colour b)
    {
        return std::abs (a.getAlpha() - b.getAlpha()) <= 3 && std::abs (a.getRed() - b.getRed()) <= 3
            && std::abs (a.getGreen() - b.getGreen()) <= 3 && std::abs (a.getBlue() - b.getBlue()) <= 3;
    }

    int pixelsBrighterThan (const juce::Image& image, juce::Rectangle<int> area, float brightness)
    {
        int count = 0;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                count += image.getPixelAt (x, y).getPerceivedBrightness() > brightness ? 1 : 0;

        return count;
    }
}

TEST (EmbeddedArtwork, EveryPictureDecodesAtItsSizeWithAlphaWhereItNeedsIt)
{
    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        const auto image = load (picture.data, picture.size);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), picture.width);
        EXPECT_EQ (image.getHeight(), picture.height);
        EXPECT_EQ (image.hasAlphaChannel(), picture.hasAlpha);
    }

    const auto blank = load (BinaryData::blankImage_png, BinaryData::blankImage_pngSize);
    int visible = 0;

    for (int y = 0; y < blank.getHeight(); ++y)
        for (int x = 0; x < blank.getWidth(); ++x)
            visible += blank.getPixelAt (x, y).getAlpha() != 0 ? 1 : 0;

    EXPECT_EQ (visible, 0);
}

TEST (EmbeddedArtwork, PngHeadersGiveEightBitColourTypesWithoutInterlace)
{
    const juce::uint8 signature[] { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        ASSERT_GT (picture.size, 33);
        const auto* bytes = reinterpret_cast<const juce::uint8*> (picture.data);

        EXPECT_EQ (std::memcmp (bytes, signature, sizeof (signature)), 0);
        EXPECT_EQ (bigEndian32 (bytes + 8), 13u);
        EXPECT_EQ (std::memcmp (bytes + 12, "IHDR", 4), 0);
        EXPECT_EQ (bigEndian32 (bytes + 16), (juce::uint32) picture.width);
        EXPECT_EQ (bigEndian32 (bytes + 20), (juce::uint32) picture.height);
        EXPECT_EQ (bytes[24], 8) << "bit depth";
        EXPECT_EQ (bytes[25], picture.hasAlpha ? 6 : 2) << "colour type";
        EXPECT_EQ (bytes[28], 0) << "interlace method";
    }
}

TEST (EmbeddedArtwork, KnobStripHoldsThirtyOneFramesWhosePointerTurnsNineDegreesAFrame)
{
    const auto strip = load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize);
    ASSERT_EQ (strip.getHeight(), 31 * 64);

    for (int frame = 0; frame < 31; ++frame)
    {
        SCOPED_TRACE ("frame " + std::to_string (frame));
        const auto top = frame * 64;

        for (const auto& corner : { juce::Point<int> (0, 0), { 63, 0 }, { 0, 63 }, { 63, 63 } })
            EXPECT_EQ (strip.getPixelAt (corner.x, top + corner.y).getAlpha(), 0);

        // The pointer is the only light part of the knob; its centroid gives its direction.
        juce::Point<double> sum;
        int count = 0;

        for (int y = 0; y < 64; ++y)
        {
            for (int x = 0; x < 64; ++x)
            {
                if (strip.getPixelAt (x, top + y).getPerceivedBrightness() > 0.8f)
                {
                    sum += { x + 0.5 - 32.0, y + 0.5 - 32.0 };
                    ++count;
                }
            }
        }

        ASSERT_GT (count, 20);
        const auto degrees = juce::radiansToDegrees (std::atan2 (sum.x, -sum.y));
        const auto expected = 220.0 + 9.0 * frame;
        EXPECT_NEAR (std::remainder (degrees - expected, 360.0), 0.0, 3.0);
    }
}

TEST (EmbeddedArtwork, DimmedLetteringCoversTheLitNameOnTheSqueezedFace)
{
    const juce::Rectangle<int> overlay (135, 286, 280, 129);
    auto face = squeezedBackground();

    const auto litBefore = pixelsBrighterThan (face, overlay, 0.45f);
    EXPECT_GT (litBefore, 3000);

    juce::Graphics g (face);
    g.drawImageAt (load (BinaryData::dimmedLogoImage_png, BinaryData::dimmedLogoImage_pngSize), overlay.getX(), overlay.getY());

    EXPECT_EQ (pixelsBrighterThan (face, overlay, 0.45f), 0);
}

TEST (EmbeddedArtwork, TopStripBehindTheMenuRowIsFlatAndDark)
{
    const auto face = squeezedBackground();
    const auto colour = face.getPixelAt (0, 0);
    EXPECT_LT (colour.getPerceivedBrightness(), 0.15f);

    int different = 0;

    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < face.getWidth(); ++x)
            different += nearlyEqual (face.getPixelAt (x, y), colour) ? 0 : 1;

    EXPECT_EQ (different, 0);
}

TEST (EmbeddedArtwork, ThreeKnobsShareOneDecodedStrip)
{
    const auto held = load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize);
    const auto referencesBefore = held.getReferenceCount();

    {
        FilmStripKnob distortion (load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize), 31, false);
        FilmStripKnob filter (load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize), 31, false);
        FilmStripKnob volume (load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize), 31, false);

        EXPECT_EQ (load (BinaryData::knobStripImage_png, BinaryData::knobStripImage_pngSize), held);
        EXPECT_EQ (held.getReferenceCount(), referencesBefore + 3);
    }

    EXPECT_EQ (held.getReferenceCount(), referencesBefore);
}
