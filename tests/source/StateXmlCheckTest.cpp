#include "StateXmlCheck.h"

#include <gtest/gtest.h>

#include <utility>
#include <string>
#include <vector>

namespace
{
    std::string repeated (const std::string& unit, int times)
    {
        std::string result;

        for (auto i = 0; i < times; ++i)
            result += unit;

        return result;
    }

    bool check (const std::string& text, int maxDepth)
    {
        return isShallowPlainXml (juce::String::fromUTF8 (text.data(), (int) text.size()), maxDepth);
    }

    // Element depth of what the framework's parser builds from the text.
    int parsedDepth (const juce::XmlElement& e)
    {
        auto deepest = 0;

        for (auto* child : e.getChildIterator())
            if (! child->isTextElement())
                deepest = juce::jmax (deepest, parsedDepth (*child));

        return deepest + 1;
    }

    int parsedDepth (const std::string& text)
    {
        const auto xml = juce::parseXML (juce::String::fromUTF8 (text.data(), (int) text.size()));
        return xml != nullptr ? parsedDepth (*xml) : 0;
    }
}

TEST (StateXmlCheck, CountsNestingNotElements)
{
    const std::string state = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <MarvolenQuistra>"
                              "<PARAM id=\"distortion\" value=\"0.15\"/><PARAM id=\"volume\" value=\"0.18\"/>"
                              "</MarvolenQuistra>";
    EXPECT_TRUE (check (state, 2));
    EXPECT_FALSE (check (state, 1));

    EXPECT_TRUE (check ("<r>" + repeated ("<c a='1'/><d></d>", 10000) + "</r>", 2));

    for (auto depth : { 1, 2, 100, 256 })
    {
        const auto text = repeated ("<a>", depth) + repeated ("</a>", depth);
        EXPECT_TRUE (check (text, depth)) << depth;
        EXPECT_FALSE (check (text, depth - 1)) << depth;
        EXPECT_EQ (parsedDepth (text), depth);
    }
}

TEST (StateXmlCheck, AcceptsWhatThePlugInAndOrdinaryEditorsWrite)
{
    const std::string text = "\n<?xml version='1.0'?>\n<!-- saved -->\r\n<Root  a = 'x \"y\"'\tb=\"&amp;&LT;&gt;&quot;&apos;&#10;&#x1F600;\">\n"
                             "  <!-- </Root> --><![CDATA[</Root><a><a>]]>text &amp; more\xc3\xa9<Child/>\n"
                             "</Root><trailing junk the parser never reads";
    EXPECT_TRUE (check (text, 2));
    EXPECT_EQ (parsedDepth (text), 2);
}

TEST (StateXmlCheck, RejectsAnythingButPlainXml)
{
    for (const std::string text : {
             "<!DOCTYPE r [<!ENTITY a \"&&a;\">]><r v=\"&a;\"/>",
             "<r>&<a><a>;</r>",
             "<r>&nbsp;</r>",
             "<r v=\"&#x\"/>",
             "<r v=\"&#12345678901234;\"/>",
             "<r v=\"&#x110000;\"/>",
             "<r v=\"&#xD800;\"/>",
             "<r v=\"&#0;\"/>",
             "<r>\xbcN\xbe</r>",
             "<r>\xc0\xbcN/></r>",
             "<r v=\"\xf1\"/>",
             "<r>\xed\xa0\x80</r>",
             "<r><?pi?>text</r>",
             "< r/>",
             "<r a=b/>",
             "<r a/>",
             "<r \"x\"/>",
             "<r\xc3\xa9/>",
             "<r><!x/></r>",
             "<r>",
             "<r a=\"unterminated/>",
             "",
             "text",
         })
        EXPECT_FALSE (check (text, 100)) << text;
}

TEST (StateXmlCheck, ClosingLookalikesDoNotHideDepth)
{
    const std::vector<std::pair<std::string, std::string>> levels {
        { "attribute value", "<a x='/>'>" },
        { "attribute value", "<a x=\"</a>\">" },
        { "comment in content", "<a><!-- </a> -->" },
        { "comment in tag", "<a <!-- /> -->>" },
        { "character data", "<a><![CDATA[</a>]]>" },
        { "hex reference", "<a>&#x3c;/a>" },
        { "multibyte text", "<a>\xe2\x80\xbc/a\xe2\x80\xbe" },
    };

    for (const auto& [name, level] : levels)
    {
        const auto text = repeated (level, 300) + repeated ("</a>", 300);
        EXPECT_FALSE (check (text, 256)) << name;
        EXPECT_EQ (parsedDepth (text), 300) << name;
    }
}

TEST (StateXmlCheck, TextCutBeforeTheLastCloseStillPasses)
{
    const std::string text = "<r><a><b/></a></r";
    EXPECT_TRUE (check (text, 3));
    EXPECT_EQ (parsedDepth (text), 3);
}

TEST (StateXmlCheck, Base64SizesMustFitTheirText)
{
    auto check = [] (const char* text) { return hasOnlyFittingBase64Sizes (*juce::parseXML (text)); };

    EXPECT_TRUE (check ("<r base64:a=\"3.AIEB\" b=\"99999999.x\"><c base64:d=\"no dot\"/></r>"));
    EXPECT_TRUE (check ("<r base64:a=\"6.AIEB\"/>"));
    EXPECT_FALSE (check ("<r base64:a=\"7.AIEB\"/>"));
    EXPECT_FALSE (check ("<r base64:a=\"-1.AIEB\"/>"));
    EXPECT_FALSE (check ("<r><c/><c><d base64:e=\"2147483647.\"/></c></r>"));
}
