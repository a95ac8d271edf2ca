#include "FilmStripKnob.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
    constexpr int frameSize = 64;

    // Red tells the frame, green the quadrant; the bottom-right quadrant is left transparent,
    // so anything the knob drew besides the frame would show there.
    juce::Colour quadrantColour (int frame, int quadrant)
    {
        if (quadrant == 3)
            return juce::Colours::transparentBlack;

        return juce::Colour ((juce::uint8) (8 * frame + 3), (juce::uint8) (60 * quadrant + 10), (juce::uint8) 200);
    }

    juce::Rectangle<int> frameArea (int frame, bool horizontal)
    {
        return horizontal ? juce::Rectangle<int> (frame * frameSize, 0, frameSize, frameSize)
                          : juce::Rectangle<int> (0, frame * frameSize, frameSize, frameSize);
    }

    // Frames of 64 by 64 with their own colours; spare rows at the end are magenta.
    juce::Image makeStrip (int frames, bool horizontal, int spareRows = 0)
    {
        juce::Image strip (juce::Image::ARGB, horizontal ? frames * frameSize : frameSize,
                           (horizontal ? frameSize : frames * frameSize) + spareRows, true);
        juce::Graphics g (strip);

        for (int frame = 0; frame < frames; ++frame)
        {
            const auto area = frameArea (frame, horizontal);
            const auto half = frameSize / 2;

            for (int quadrant = 0; quadrant < 3; ++quadrant)
            {
                g.setColour (quadrantColour (frame, quadrant));
                g.fillRect (area.getX() + (quadrant % 2) * half, area.getY() + (quadrant / 2) * half, half, half);
            }
        }

        g.setColour (juce::Colours::magenta);
        g.fillRect (0, strip.getHeight() - spareRows, strip.getWidth(), spareRows);
        return strip;
    }

    // Set up as the editor sets up its knobs, on a plain 0..1 range unless told otherwise.
    void configure (FilmStripKnob& knob, int width, int height)
    {
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setRange (0.0, 1.0);
        knob.setSize (width, height);
    }

    juce::Image paintKnob (FilmStripKnob& knob)
    {
        juce::Image image (juce::Image::ARGB, knob.getWidth(), knob.getHeight(), true);
        juce::Graphics g (image);
        knob.paintEntireComponent (g, false);
        return image;
    }

    int differingPixels (const juce::Image& painted, const juce::Image& expected)
    {
        if (painted.getBounds() != expected.getBounds())
            return -1;

        int count = 0;

        for (int y = 0; y < painted.getHeight(); ++y)
            for (int x = 0; x < painted.getWidth(); ++x)
                count += painted.getPixelAt (x, y) != expected.getPixelAt (x, y) ? 1 : 0;

        return count;
    }

    int shownFrameMismatches (FilmStripKnob& knob, const juce::Image& strip, int frame, bool horizontal)
    {
        return differingPixels (paintKnob (knob), strip.getClippedImage (frameArea (frame, horizontal)));
    }

    // Scaling may leave the outermost row or column a few levels short of full coverage.
    bool nearlyEqual (juce::Colour a, juce::Colour b)
    {
        return std::abs (a.getAlpha() - b.getAlpha()) <= 3 && std::abs (a.getRed() - b.getRed()) <= 3
            && std::abs (a.getGreen() - b.getGreen()) <= 3 && std::abs (a.getBlue() - b.getBlue()) <= 3;
    }

    juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position, juce::Point<float> downPosition)
    {
        return { juce::Desktop::getInstance().getMainMouseSource(), position, juce::ModifierKeys::leftButtonModifier,
                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                 juce::MouseInputSource::defaultTiltY, &component, &component, juce::Time::getCurrentTime(),
                 downPosition, juce::Time::getCurrentTime(), 1, position != downPosition };
    }
}

TEST (FilmStripKnobFrame, FollowsTheProportionTruncatedInSinglePrecision)
{
    const auto strip = makeStrip (31, false);
    FilmStripKnob knob (strip, 31, false);
    configure (knob, frameSize, frameSize);

    const struct { double proportion; int frame; } cases[] {
        { 0.0, 0 }, { 0.5, 15 }, { 1.0, 30 }, { 0.999, 29 }, { 1.0 / 30.0, 1 }, { 0.29, 8 }, { 29.5 / 30.0, 29 }
    };

    for (const auto& c : cases)
    {
        knob.setValue (c.proportion);
        EXPECT_EQ (shownFrameMismatches (knob, strip, c.frame, false), 0) << "proportion " << c.proportion;
    }
}

TEST (FilmStripKnobFrame, ProportionJustBelowATenthShowsFrameThree)
{
    const auto strip = makeStrip (31, false);
    FilmStripKnob knob (strip, 31, false);
    configure (knob, frameSize, frameSize);
    knob.setRange (0.0, 0.8);
    knob.setValue (0.08);

    // In double precision 30 times this is 2.9999999999999996, which would truncate to frame 2.
    ASSERT_EQ (knob.valueToProportionOfLength (knob.getValue()), 0.09999999999999999);
    EXPECT_EQ (shownFrameMismatches (knob, strip, 3, false), 0);
}

TEST (FilmStripKnobFrame, OddStripShapes)
{
    {
        const auto strip = makeStrip (2, false);
        FilmStripKnob single (strip, 1, false);
        configure (single, frameSize, 2 * frameSize);

        for (const auto proportion : { 0.0, 0.37, 1.0 })
        {
            single.setValue (proportion);
            EXPECT_EQ (differingPixels (paintKnob (single), strip), 0) << "one frame, proportion " << proportion;
        }
    }

    {
        const auto strip = makeStrip (31, false, 6);
        ASSERT_EQ (strip.getHeight(), 1990);
        FilmStripKnob uneven (strip, 31, false);
        configure (uneven, frameSize, frameSize);
        uneven.setValue (1.0);
        EXPECT_EQ (shownFrameMismatches (uneven, strip, 30, false), 0) << "64 x 1990 strip";
    }

    {
        const auto strip = makeStrip (31, true);
        ASSERT_EQ (strip.getWidth(), 1984);
        FilmStripKnob horizontal (strip, 31, true);
        configure (horizontal, frameSize, frameSize);

        for (const auto& [proportion, frame] : { std::pair { 0.0, 0 }, std::pair { 0.5, 15 }, std::pair { 1.0, 30 } })
        {
            horizontal.setValue (proportion);
            EXPECT_EQ (shownFrameMismatches (horizontal, strip, frame, true), 0) << "horizontal, proportion " << proportion;
        }
    }
}

TEST (FilmStripKnobDrawing, StretchesTheFrameOverTheWholeKnob)
{
    FilmStripKnob knob (makeStrip (31, false), 31, false);
    configure (knob, 132, 66);
    knob.setValue (0.5);
    const auto painted = paintKnob (knob);

    // Quadrant edges land at x 66 and y 33; a few pixels either side are blended by the scaling.
    int mismatches = 0, compared = 0;

    for (int y = 0; y < painted.getHeight(); ++y)
    {
        for (int x = 0; x < painted.getWidth(); ++x)
        {
            if (std::abs (x - 66) < 4 || std::abs (y - 33) < 3)
                continue;

            const auto quadrant = (x < 66 ? 0 : 1) + (y < 33 ? 0 : 2);
            mismatches += nearlyEqual (painted.getPixelAt (x, y), quadrantColour (15, quadrant)) ? 0 : 1;
            ++compared;
        }
    }

    EXPECT_GT (compared, 7000);
    EXPECT_EQ (mismatches, 0);
}

TEST (FilmStripKnobDrawing, NullStripDrawsNothingButTheKnobStillTurns)
{
    FilmStripKnob knob (juce::Image(), 31, false);
    configure (knob, 66, 66);
    knob.setRange (0.0, 1.0, 0.01);
    knob.setValue (0.5);

    EXPECT_EQ (differingPixels (paintKnob (knob), juce::Image (juce::Image::ARGB, 66, 66, true)), 0);

    EXPECT_TRUE (knob.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_DOUBLE_EQ (knob.getValue(), 0.51);

    const juce::Point<float> start (33.0f, 33.0f), end (33.0f, 13.0f);
    knob.mouseDown (mouseAt (knob, start, start));
    knob.mouseDrag (mouseAt (knob, end, start));
    knob.mouseUp (mouseAt (knob, end, start));
    EXPECT_GT (knob.getValue(), 0.51);
}
