#include "XmlDepthCheck.h"

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
            if (! skipSpace (true) || startsWith ("<!DOCTYPE") || *p != '<')
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

            const auto isHex = (*p == 'x' || *p == 'X');

            if (isHex)
                ++p;

            auto numDigits = 0;

            for (; isHex ? juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p) >= 0
                         : (*p >= '0' && *p <= '9');
                 ++p)
                ++numDigits;

            if (numDigits == 0 || numDigits > (isHex ? 8 : 12) || *p != ';')
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
}

bool isShallowPlainXml (const juce::String& text, int maxDepth)
{
    return PlainXmlWalker (text.toRawUTF8()).isNoDeeperThan (maxDepth);
}
