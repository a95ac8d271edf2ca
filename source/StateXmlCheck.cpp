#include "StateXmlCheck.h"

#include <cmath>
#include <cstring>

namespace
{
    /*  Follows the text the way juce::XmlDocument reads it and gives up at anything else: the parser's
        recovery from odd input (a bad reference, a stray character in a tag, an instruction between
        text) reads on in ways a walk like this cannot track, and can loop forever or nest elements
        the walk would not count.
    */
    class PlainXmlWalker final
    {
    public:
        explicit PlainXmlWalker (const char* textToWalk) noexcept : p (textToWalk) {}

        bool isNoDeeperThan (int maxDepth) noexcept
        {
            if (! isStrictUtf8() || ! skipSpace (true) || startsWith ("<!DOCTYPE") || *p != '<')
                return false;

            for (auto depth = 0;;)
            {
                ++p;

                if (! skipName() || ++depth > maxDepth || ! skipAttributes())
                    return false;

                if (*p == '/')
                {
                    p += 2;

                    if (--depth == 0)
                        return true;
                }
                else
                {
                    ++p;
                }

                for (;;)
                {
                    if (! skipSpace (false))
                        return false;

                    if (startsWith ("</"))
                    {
                        const auto* end = std::strchr (p, '>');

                        // The parser then closes every open element without reading further.
                        if (end == nullptr)
                            return true;

                        p = end + 1;

                        if (--depth == 0)
                            return true;
                    }
                    else if (startsWith ("<![CDATA["))
                    {
                        if (! skipPast ("]]>", 9))
                            return false;
                    }
                    else if (*p == '<')
                    {
                        break;
                    }
                    else if (! skipText())
                    {
                        return false;
                    }
                }
            }
        }

    private:
        // The framework's decoder reads stray continuation bytes and overlong forms as ASCII ("\xbc" is '<')
        // and steps over the end of the text after a cut sequence, so only strict UTF-8 is walked bytewise.
        bool isStrictUtf8() const noexcept
        {
            for (auto* b = reinterpret_cast<const unsigned char*> (p); *b != 0;)
            {
                const auto lead = *b++;

                if (lead < 0x80)
                    continue;

                auto numFollowing = 0;
                unsigned char low = 0x80, high = 0xbf;

                if (lead >= 0xc2 && lead <= 0xdf)       { numFollowing = 1; }
                else if (lead >= 0xe0 && lead <= 0xef)  { numFollowing = 2; low = lead == 0xe0 ? 0xa0 : 0x80; high = lead == 0xed ? 0x9f : 0xbf; }
                else if (lead >= 0xf0 && lead <= 0xf4)  { numFollowing = 3; low = lead == 0xf0 ? 0x90 : 0x80; high = lead == 0xf4 ? 0x8f : 0xbf; }
                else                                    { return false; }

                for (auto i = 0; i < numFollowing; ++i, ++b, low = 0x80, high = 0xbf)
                    if (*b < low || *b > high)
                        return false;
            }

            return true;
        }

        static bool isSpace (char c) noexcept       { return c == ' ' || (c >= 9 && c <= 13); }

        static bool isNameChar (char c) noexcept
        {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                     || c == '_' || c == '-' || c == '.' || c == ':';
        }

        bool startsWith (const char* prefix) const noexcept
        {
            return std::strncmp (p, prefix, std::strlen (prefix)) == 0;
        }

        bool startsWithIgnoringCase (const char* lowerCasePrefix) const noexcept
        {
            for (auto i = 0; lowerCasePrefix[i] != 0; ++i)
            {
                const auto c = p[i];

                if ((c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c) != lowerCasePrefix[i])
                    return false;
            }

            return true;
        }

        bool skipPast (const char* terminator, size_t openerLength) noexcept
        {
            const auto* found = std::strstr (p + openerLength, terminator);

            if (found == nullptr)
                return false;

            p = found + std::strlen (terminator);
            return true;
        }

        // The parser skips comments and processing instructions along with white space. An instruction
        // among an element's content sends it into an endless loop when text follows, so none is allowed there.
        bool skipSpace (bool instructionsAllowed) noexcept
        {
            for (;;)
            {
                while (isSpace (*p))
                    ++p;

                if (startsWith ("<!--"))
                {
                    if (! skipPast ("-->", 4))
                        return false;
                }
                else if (startsWith ("<?"))
                {
                    if (! instructionsAllowed || ! skipPast ("?>", 2))
                        return false;
                }
                else
                {
                    return *p != 0;
                }
            }
        }

        bool skipName() noexcept
        {
            if (! isNameChar (*p))
                return false;

            while (isNameChar (*p))
                ++p;

            return true;
        }

        // Any other reference is an entity the parser expands in ways that can nest or recurse.
        bool skipReference() noexcept
        {
            ++p;

            for (const auto* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
            {
                if (startsWithIgnoringCase (name))
                {
                    p += std::strlen (name);
                    return true;
                }
            }

            if (*p++ != '#')
                return false;

            const auto base = (*p == 'x' || *p == 'X') ? 16 : 10;

            if (base == 16)
                ++p;

            juce::int64 code = 0;
            auto numDigits = 0;

            for (;; ++p, ++numDigits)
            {
                const auto digit = juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p);

                if (digit < 0 || digit >= base || numDigits == 7)
                    break;

                code = code * base + digit;
            }

            // Anything but a Unicode scalar value would be written back as bytes that are not UTF-8.
            if (numDigits == 0 || *p != ';' || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff) || code == 0)
                return false;

            ++p;
            return true;
        }

        bool skipCharacter() noexcept
        {
            if (*p == 0)
                return false;

            if (*p == '&')
                return skipReference();

            ++p;
            return true;
        }

        bool skipAttributes() noexcept
        {
            for (;;)
            {
                if (! skipSpace (true))
                    return false;

                if (*p == '>' || startsWith ("/>"))
                    return true;

                if (! skipName() || ! skipSpace (true) || *p++ != '=' || ! skipSpace (true))
                    return false;

                const auto quote = *p++;

                if (quote != '"' && quote != '\'')
                    return false;

                while (*p != quote)
                    if (! skipCharacter())
                        return false;

                ++p;
            }
        }

        bool skipText() noexcept
        {
            while (*p != '<')
                if (! skipCharacter())
                    return false;

            return true;
        }

        const char* p;
    };

    // The framework's text-to-number conversion overflows an int on an exponent of ten or more digits.
    bool hasOverlongExponent (const juce::String& number)
    {
        const auto e = number.indexOfAnyOf ("eE");

        return e >= 0
            && number.substring (e + 1).trimCharactersAtStart ("+-").trimCharactersAtStart ("0")
                     .initialSectionContainingOnly ("0123456789").length() > 9;
    }
}

bool isShallowPlainXml (const juce::String& text, int maxDepth)
{
    return PlainXmlWalker (text.toRawUTF8()).isNoDeeperThan (maxDepth);
}

bool hasOnlyFittingBase64Sizes (const juce::XmlElement& element)
{
    for (auto i = 0; i < element.getNumAttributes(); ++i)
    {
        if (element.getAttributeName (i).startsWith ("base64:"))
        {
            const auto& value = element.getAttributeValue (i);
            const auto dot = value.indexOfChar ('.');

            if (dot >= 0)
            {
                const auto size = value.substring (0, dot).getIntValue();

                if (size < 0 || size > value.length())
                    return false;
            }
        }
    }

    for (auto* child : element.getChildIterator())
        if (! hasOnlyFittingBase64Sizes (*child))
            return false;

    return true;
}

bool isUsableState (const juce::ValueTree& state, const juce::AudioProcessorValueTreeState& apvts)
{
    static const juce::Identifier idName { "id" }, valueName { "value" };

    for (const auto& child : state)
    {
        auto numIds = 0, numValues = 0;

        for (auto i = 0; i < child.getNumProperties(); ++i)
        {
            const auto name = child.getPropertyName (i);
            numIds += name == idName ? 1 : 0;
            numValues += name == valueName ? 1 : 0;
        }

        if (numIds > 1 || numValues > 1)
            return false;

        if (numValues == 1 && apvts.getParameter (child[idName].toString()) != nullptr
            && (hasOverlongExponent (child[valueName].toString()) || std::isnan ((float) child[valueName])))
            return false;
    }

    return true;
}
