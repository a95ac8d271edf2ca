#include "PedalFace.h"
#include "Drawing.h"
#include "KnobStrip.h"

namespace art
{
    namespace
    {
        const juce::Rectangle<float> enclosure { 56.0f, 44.0f, 434.0f, 562.0f };
        const juce::Rectangle<float> header { 82.0f, 136.0f, 378.0f, 32.0f };
        const juce::Rectangle<float> namePanel { 125.0f, 277.0f, 300.0f, 146.0f };
        constexpr float enclosureCorner = 26.0f;
        constexpr float knobLabelsCentreX[] { 139.0f, 271.0f, 403.0f };
        const char* const knobNames[] { "Distortion", "Filter", "Volume" };

        const juce::Colour cream (0xffeee6cf);
        const juce::Colour enamelTop (0xff7d151b);
        const juce::Colour enamelBottom (0xff4a0a0e);

        // The name in two centred lines, in editor pixels, fitted into the overlay's bounds.
        juce::Path nameLettering (const Fonts& fonts)
        {
            const auto font = fonts.serifBoldItalic (60.0f);
            juce::Path path;

            for (const auto& [text, baseline] : { std::pair<const char*, float> { "Marvolen", 0.0f },
                                                  std::pair<const char*, float> { "Quistra", font.getHeight() * 0.9f } })
            {
                juce::GlyphArrangement glyphs;
                glyphs.addLineOfText (font, text, -font.getStringWidthFloat (text) * 0.5f, baseline);
                juce::Path line;
                glyphs.createPath (line);
                path.addPath (line);
            }

            const auto area = layout::overlay.toFloat().reduced (16.0f, 12.0f);
            path.applyTransform (path.getTransformToScaleToFit (area, true, juce::Justification::centred));
            return path;
        }

        // A dark textured board, a fine weave over grain.
        void paintBackdrop (juce::Image& face)
        {
            juce::Random random (0x5eed01);
            juce::Image::BitmapData pixels (face, juce::Image::BitmapData::writeOnly);

            for (int y = 0; y < face.getHeight(); ++y)
            {
                for (int x = 0; x < face.getWidth(); ++x)
                {
                    const auto weave = std::sin (0.9f * (float) (x + y)) * std::sin (0.9f * (float) (x - y));
                    const auto level = 30.0f + 6.0f * weave + (float) random.nextInt ({ -5, 6 });
                    const auto grey = (juce::uint8) juce::jlimit (0.0f, 255.0f, level);
                    pixels.setPixelColour (x, y, juce::Colour (grey, grey, (juce::uint8) juce::jmin (255, grey + 3)));
                }
            }
        }

        void paintTopStrip (juce::Graphics& g)
        {
            g.setColour (juce::Colour (0xff111113));
            g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, (float) editorWidth, layout::topStripHeight));
            g.setColour (juce::Colour (0xff2c2c31));
            g.fillRect (juce::Rectangle<float> (0.0f, layout::topStripHeight, (float) editorWidth, 1.0f));
        }

        juce::Image enamelLayer (int width, int height)
        {
            auto layer = blankCanvas (juce::Image::ARGB, width, height);
            {
                juce::Graphics g (layer);
                g.addTransform (editorToFace());
                g.setGradientFill (juce::ColourGradient (enamelTop, enclosure.getTopLeft(),
                                                         enamelBottom, enclosure.getBottomLeft(), false));
                g.fillRoundedRectangle (enclosure, enclosureCorner);
            }
            addGrain (layer, 9, 0x5eed02);
            return layer;
        }

        void paintEnclosure (juce::Graphics& g, const juce::Image& enamel)
        {
            juce::Path body;
            body.addRoundedRectangle (enclosure, enclosureCorner);

            juce::DropShadow (juce::Colours::black.withAlpha (0.8f), 22, { 0, 8 }).drawForPath (g, body);

            {
                juce::Graphics::ScopedSaveState state (g);
                g.addTransform (editorToFace().inverted());
                g.drawImageAt (enamel, 0, 0);
            }

            g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.45f), enclosure.getTopLeft(),
                                                     juce::Colours::black.withAlpha (0.5f), enclosure.getBottomRight(), false));
            g.drawRoundedRectangle (enclosure.reduced (1.5f), enclosureCorner - 1.5f, 3.0f);
            g.setColour (juce::Colours::black.withAlpha (0.6f));
            g.drawRoundedRectangle (enclosure.reduced (0.5f), enclosureCorner, 1.0f);
        }

        void paintScrew (juce::Graphics& g, juce::Point<float> centre, float slotAngle)
        {
            const auto head = juce::Rectangle<float> (13.0f, 13.0f).withCentre (centre);
            g.setColour (juce::Colours::black.withAlpha (0.5f));
            g.fillEllipse (head.translated (0.8f, 1.5f).expanded (1.0f));
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe4e4e6), head.getTopLeft(),
                                                     juce::Colour (0xff58585c), head.getBottomRight(), false));
            g.fillEllipse (head);
            g.setColour (juce::Colour (0xff2a2a2c));
            g.drawLine ({ pointOnCircle (centre, 5.0f, slotAngle), pointOnCircle (centre, 5.0f, slotAngle + 180.0f) }, 1.6f);
        }

        void paintMakerLine (juce::Graphics& g, const Fonts& fonts)
        {
            const juce::Rectangle<float> line (enclosure.getX(), 70.0f, enclosure.getWidth(), 26.0f);
            g.setColour (cream.withAlpha (0.85f));
            g.setFont (fonts.sansCondensedBold (15.0f).withExtraKerningFactor (0.45f));
            g.drawText ("ZELBO RUK", line, juce::Justification::centred);

            g.setColour (cream.withAlpha (0.35f));
            g.fillRect (juce::Rectangle<float> (150.0f, 1.2f).withCentre ({ 160.0f, line.getCentreY() }));
            g.fillRect (juce::Rectangle<float> (150.0f, 1.2f).withCentre ({ 390.0f, line.getCentreY() }));
        }

        void paintHeader (juce::Graphics& g, const Fonts& fonts)
        {
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff1e1a1a), header.getTopLeft(),
                                                     juce::Colour (0xff0c0a0a), header.getBottomLeft(), false));
            g.fillRoundedRectangle (header, 6.0f);
            g.setColour (cream.withAlpha (0.55f));
            g.drawRoundedRectangle (header.reduced (2.5f), 4.5f, 1.0f);
            g.setColour (juce::Colours::white.withAlpha (0.15f));
            g.drawHorizontalLine ((int) header.getBottom(), header.getX() + 6.0f, header.getRight() - 6.0f);

            g.setColour (cream);
            g.setFont (fonts.sansCondensedBold (17.0f).withExtraKerningFactor (0.08f));

            for (int knob = 0; knob < 3; ++knob)
                g.drawText (knobNames[knob], juce::Rectangle<float> (120.0f, header.getHeight()).withCentre ({ knobLabelsCentreX[knob], header.getCentreY() }),
                            juce::Justification::centred);
        }

        void paintKnobSocket (juce::Graphics& g, juce::Point<float> centre)
        {
            const auto lastAngle = knobFirstAngle + knobDegreesPerFrame * (float) (knobFrames - 1);

            for (int tick = 0; tick <= 20; ++tick)
            {
                const auto angle = knobFirstAngle + (lastAngle - knobFirstAngle) * (float) tick / 20.0f;
                const auto major = tick % 2 == 0;
                g.setColour (cream.withAlpha (major ? 0.95f : 0.6f));
                g.drawLine ({ pointOnCircle (centre, 39.5f, angle), pointOnCircle (centre, major ? 46.5f : 43.0f, angle) },
                            major ? 2.0f : 1.2f);
            }

            const auto well = juce::Rectangle<float> (74.0f, 74.0f).withCentre (centre);
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff080203), centre,
                                                     juce::Colour (0xff2c0709), well.getTopLeft(), true));
            g.fillEllipse (well);
            g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.6f), well.getTopLeft(),
                                                     juce::Colours::white.withAlpha (0.3f), well.getBottomRight(), false));
            g.drawEllipse (well.reduced (0.75f), 1.5f);

            g.setColour (juce::Colours::black.withAlpha (0.65f));
            g.fillEllipse (juce::Rectangle<float> (68.0f, 68.0f).withCentre (centre.translated (1.5f, 3.0f)));
        }

        void paintNamePanel (juce::Graphics& g, const Fonts& fonts)
        {
            juce::Path frame;
            frame.addRoundedRectangle (namePanel, 12.0f);
            juce::DropShadow (juce::Colours::black.withAlpha (0.7f), 10, { 0, 4 }).drawForPath (g, frame);

            g.setGradientFill (juce::ColourGradient (juce::Colour (0xffeeeeee), namePanel.getTopLeft(),
                                                     juce::Colour (0xff6a6a70), namePanel.getBottomRight(), false));
            g.fillRoundedRectangle (namePanel, 12.0f);

            const auto inner = namePanel.reduced (6.0f);
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2a0c0e), inner.getTopLeft(),
                                                     juce::Colour (0xff0d0405), inner.getBottomLeft(), false));
            g.fillRoundedRectangle (inner, 7.0f);
            g.setColour (juce::Colours::black.withAlpha (0.8f));
            g.drawRoundedRectangle (inner.reduced (0.5f), 7.0f, 1.5f);

            const auto lettering = nameLettering (fonts);
            g.setColour (juce::Colours::black.withAlpha (0.7f));
            g.fillPath (lettering, juce::AffineTransform::translation (1.5f, 2.5f));

            const auto bounds = lettering.getBounds();
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xfffffcf0), bounds.getTopLeft(),
                                                     juce::Colour (0xfff5d27a), bounds.getBottomLeft(), false));
            g.fillPath (lettering);
        }

        void paintFootButton (juce::Graphics& g, juce::Point<float> centre)
        {
            const auto nut = juce::Rectangle<float> (92.0f, 92.0f).withCentre (centre);
            g.setColour (juce::Colours::black.withAlpha (0.6f));
            g.fillEllipse (nut.translated (1.5f, 4.0f).expanded (1.5f));
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff8c8c92), nut.getTopLeft(),
                                                     juce::Colour (0xff26262a), nut.getBottomRight(), false));
            g.fillEllipse (nut);

            const auto cap = nut.reduced (13.0f);
            g.setColour (juce::Colours::black.withAlpha (0.65f));
            g.fillEllipse (cap.translated (1.0f, 3.0f));
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xfff4f4f6), cap.getTopLeft().translated (14.0f, 10.0f),
                                                     juce::Colour (0xff55555b), cap.getBottomRight(), true));
            g.fillEllipse (cap);

            g.setColour (juce::Colours::black.withAlpha (0.25f));
            for (float r = 8.0f; r < cap.getWidth() * 0.5f; r += 6.0f)
                g.drawEllipse (juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (centre), 0.8f);

            g.setColour (juce::Colours::white.withAlpha (0.5f));
            g.drawEllipse (cap.reduced (1.0f), 1.0f);
        }
    }

    juce::Image drawBackgroundPanel (const Fonts& fonts)
    {
        auto face = blankCanvas (juce::Image::RGB, editorWidth, faceHeight);
        paintBackdrop (face);

        const auto enamel = enamelLayer (face.getWidth(), face.getHeight());

        juce::Graphics g (face);
        g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
        g.addTransform (editorToFace());

        paintTopStrip (g);
        paintEnclosure (g, enamel);

        const auto corners = enclosure.reduced (22.0f);
        paintScrew (g, corners.getTopLeft(), 30.0f);
        paintScrew (g, corners.getTopRight(), 75.0f);
        paintScrew (g, corners.getBottomLeft(), 120.0f);
        paintScrew (g, corners.getBottomRight(), 15.0f);

        paintMakerLine (g, fonts);
        paintHeader (g, fonts);

        for (const auto& knob : layout::knobs)
            paintKnobSocket (g, knob.toFloat().getCentre());

        paintNamePanel (g, fonts);
        paintFootButton (g, layout::engage.toFloat().getCentre());

        return face;
    }

    juce::Image drawDimmedLogo (const Fonts& fonts)
    {
        auto dimmed = blankCanvas (juce::Image::ARGB, layout::overlay.getWidth(), layout::overlay.getHeight());
        {
            juce::Graphics g (dimmed);
            g.addTransform (juce::AffineTransform::translation (layout::overlay.getPosition().toFloat() * -1.0f));

            // A little bolder than the lit letters, so their edges do not peep out once squeezed.
            const auto lettering = nameLettering (fonts);
            g.setColour (juce::Colour (0xff4d4949));
            g.fillPath (lettering);
            g.strokePath (lettering, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved));
        }
        addGrain (dimmed, 14, 0x5eed03);
        return dimmed;
    }
}
