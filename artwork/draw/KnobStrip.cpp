#include "KnobStrip.h"
#include "Drawing.h"

namespace art
{
    namespace
    {
        constexpr float skirtRadius = 31.5f;
        constexpr float capRadius = 23.5f;

        void drawSkirt (juce::Graphics& g, juce::Point<float> centre, float angle)
        {
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff3a3a3d), centre.translated (-20.0f, -22.0f),
                                                     juce::Colour (0xff050505), centre.translated (18.0f, 24.0f), false));
            g.fillEllipse (juce::Rectangle<float> (skirtRadius * 2.0f, skirtRadius * 2.0f).withCentre (centre));

            // The grip ridges turn with the knob; the light stays where it is.
            for (int ridge = 0; ridge < 40; ++ridge)
            {
                const auto a = angle + (float) ridge * 9.0f;
                const auto lit = 0.5f + 0.5f * std::cos (juce::degreesToRadians (a + 45.0f));
                g.setColour (juce::Colour (0xff1c1c1e).interpolatedWith (juce::Colour (0xff5a5a5e), lit * 0.6f));
                g.drawLine ({ pointOnCircle (centre, capRadius + 2.0f, a), pointOnCircle (centre, skirtRadius - 1.2f, a) }, 1.1f);
            }

            g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.35f), centre.translated (-22.0f, -22.0f),
                                                     juce::Colours::transparentWhite, centre.translated (10.0f, 10.0f), false));
            g.drawEllipse (juce::Rectangle<float> (skirtRadius * 2.0f - 1.4f, skirtRadius * 2.0f - 1.4f).withCentre (centre), 1.2f);
        }

        void drawCap (juce::Graphics& g, juce::Point<float> centre)
        {
            const auto cap = juce::Rectangle<float> (capRadius * 2.0f, capRadius * 2.0f).withCentre (centre);

            g.setColour (juce::Colours::black.withAlpha (0.7f));
            g.drawEllipse (cap.expanded (1.0f), 2.0f);

            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff46464a), centre.translated (-16.0f, -18.0f),
                                                     juce::Colour (0xff101011), centre.translated (16.0f, 18.0f), false));
            g.fillEllipse (cap);

            g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.16f), centre.translated (-7.0f, -9.0f),
                                                     juce::Colours::transparentWhite, centre.translated (-7.0f, 9.0f), true));
            g.fillEllipse (cap.reduced (2.0f));
        }

        void drawPointer (juce::Graphics& g, juce::Point<float> centre, float angle)
        {
            const juce::Line<float> pointer (pointOnCircle (centre, 6.0f, angle), pointOnCircle (centre, skirtRadius - 4.0f, angle));

            g.setColour (juce::Colours::black.withAlpha (0.55f));
            const juce::Point<float> drop (0.6f, 1.0f);
            g.drawLine ({ pointer.getStart() + drop, pointer.getEnd() + drop }, 4.2f);

            juce::Path line;
            line.startNewSubPath (pointer.getStart());
            line.lineTo (pointer.getEnd());
            g.setColour (juce::Colour (0xfff5f1e6));
            g.strokePath (line, juce::PathStrokeType (3.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        }
    }

    juce::Image drawKnobStrip()
    {
        auto strip = blankCanvas (juce::Image::ARGB, knobFrameSize, knobFrameSize * knobFrames);
        juce::Graphics g (strip);

        for (int frame = 0; frame < knobFrames; ++frame)
        {
            const juce::Point<float> centre (knobFrameSize * 0.5f, knobFrameSize * ((float) frame + 0.5f));
            const auto angle = knobFirstAngle + knobDegreesPerFrame * (float) frame;

            // Clipped to the disc so nothing spills into the neighbouring frames.
            juce::Graphics::ScopedSaveState state (g);
            juce::Path disc;
            disc.addEllipse (juce::Rectangle<float> (skirtRadius * 2.0f, skirtRadius * 2.0f).withCentre (centre));
            g.reduceClipRegion (disc);

            drawSkirt (g, centre, angle);
            drawCap (g, centre);
            drawPointer (g, centre, angle);
        }

        return strip;
    }
}
