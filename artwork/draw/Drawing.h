#pragma once

#include <juce_graphics/juce_graphics.h>

namespace art
{
    // Everything on the face is laid out in editor pixels; the face picture is 30 rows taller
    // than the editor and is shown squeezed to the editor's height.
    constexpr int editorWidth = 550;
    constexpr int editorHeight = 620;
    constexpr int faceHeight = 650;

    inline juce::AffineTransform editorToFace()
    {
        return juce::AffineTransform::scale (1.0f, (float) faceHeight / (float) editorHeight);
    }

    // Control bounds in the editor, which the face's features and the preview follow.
    namespace layout
    {
        inline const juce::Rectangle<int> knobs[] { { 106, 194, 66, 66 }, { 238, 194, 66, 66 }, { 370, 194, 66, 66 } };
        inline const juce::Rectangle<int> engage { 238, 425, 100, 100 };
        inline const juce::Rectangle<int> overlay { 135, 286, 280, 129 };
        inline const juce::Rectangle<int> presetBox { editorWidth / 2 - 80, 0, 160, 30 };
        inline const juce::Rectangle<int> playlist { 0, 0, 100, 30 };
        inline const juce::Rectangle<int> channel { 498, 5, 48, 20 };
        inline const juce::Rectangle<int> previousPreset { 170, 5, 20, 20 };
        inline const juce::Rectangle<int> nextPreset { 360, 5, 20, 20 };
        constexpr float topStripHeight = 30.0f;
    }

    // Angles run clockwise from straight up, as on a knob's scale.
    juce::Point<float> pointOnCircle (juce::Point<float> centre, float radius, float degrees);

    // Seeded, so every run of the painter writes the same pixels.
    void addGrain (juce::Image& image, int amount, juce::int64 seed);

    juce::Image blankCanvas (juce::Image::PixelFormat format, int width, int height);
}
