#pragma once

#include <juce_graphics/juce_graphics.h>

namespace art
{
    // The DejaVu faces, read from their files so the lettering never depends on font lookup.
    class Fonts final
    {
    public:
        explicit Fonts (const juce::File& directory);

        bool isComplete() const;
        juce::String describeMissing() const;

        juce::Font sansBold (float height) const            { return make (sansBoldFace, height); }
        juce::Font sansCondensedBold (float height) const   { return make (sansCondensedBoldFace, height); }
        juce::Font serifBoldItalic (float height) const     { return make (serifBoldItalicFace, height); }

    private:
        juce::Typeface::Ptr load (const juce::String& fileName);
        static juce::Font make (const juce::Typeface::Ptr& face, float height);

        juce::File directory;
        juce::StringArray missing;
        juce::Typeface::Ptr sansBoldFace, sansCondensedBoldFace, serifBoldItalicFace;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Fonts)
    };
}
