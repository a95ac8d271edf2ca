#include "Fonts.h"

namespace art
{
    Fonts::Fonts (const juce::File& fontDirectory)
        : directory (fontDirectory),
          sansBoldFace (load ("DejaVuSans-Bold.ttf")),
          sansCondensedBoldFace (load ("DejaVuSansCondensed-Bold.ttf")),
          serifBoldItalicFace (load ("DejaVuSerif-BoldItalic.ttf"))
    {
    }

    bool Fonts::isComplete() const
    {
        return missing.isEmpty();
    }

    juce::String Fonts::describeMissing() const
    {
        return "missing in " + directory.getFullPathName() + ": " + missing.joinIntoString (", ");
    }

    juce::Typeface::Ptr Fonts::load (const juce::String& fileName)
    {
        juce::MemoryBlock data;

        if (! directory.getChildFile (fileName).loadFileAsData (data) || data.isEmpty())
        {
            missing.add (fileName);
            return {};
        }

        return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
    }

    juce::Font Fonts::make (const juce::Typeface::Ptr& face, float height)
    {
        return juce::Font (face).withHeight (height);
    }
}
