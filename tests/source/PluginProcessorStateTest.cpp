#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace
{
    using Processor = MarvolenQuistra2AudioProcessor;

    const std::array<const char*, 4> ids { "distortion", "filter", "volume", "preset" };

    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> ";

    const std::string freshText = declaration
        + "<MarvolenQuistra>"
          "<PARAM id=\"distortion\" value=\"0.1499999910593033\"/>"
          "<PARAM id=\"filter\" value=\"1000.0\"/>"
          "<PARAM id=\"preset\" value=\"1.0\"/>"
          "<PARAM id=\"volume\" value=\"0.1799999922513962\"/>"
          "</MarvolenQuistra>";

    juce::MemoryBlock frame (const std::string& text, juce::uint32 length, bool withZeroByte = true)
    {
        juce::MemoryBlock block;
        juce::MemoryOutputStream out (block, false);
        out.writeInt (0x21324356);
        out.writeInt ((int) length);
        out.write (text.data(), text.size());

        if (withZeroByte)
            out.writeByte (0);

        out.flush();
        return block;
    }

    juce::MemoryBlock frame (const std::string& text)
    {
        return frame (text, (juce::uint32) text.size());
    }

    juce::MemoryBlock stateBlock (const std::string& body)
    {
        return frame (declaration + body);
    }

    juce::MemoryBlock save (Processor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return block;
    }

    std::string savedText (Processor& p)
    {
        const auto block = save (p);
        return std::string (static_cast<const char*> (block.getData()) + 8, block.getSize() - 9);
    }

    void restore (Processor& p, const juce::MemoryBlock& block)
    {
        p.setStateInformation (block.getData(), (int) block.getSize());
    }

    float valueOf (Processor& p, const char* id)
    {
        return p.apvts.getRawParameterValue (id)->load();
    }

    std::array<float, 4> valuesOf (Processor& p)
    {
        return { valueOf (p, ids[0]), valueOf (p, ids[1]), valueOf (p, ids[2]), valueOf (p, ids[3]) };
    }

    void setValue (Processor& p, const char* id, float plainValue)
    {
        auto* parameter = p.apvts.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
    }

    // Moves every parameter off its default, so that a restore to defaults would show.
    void moveAway (Processor& p)
    {
        setValue (p, "distortion", 0.4f);
        setValue (p, "filter", 5000.0f);
        setValue (p, "volume", 0.5f);
        setValue (p, "preset", 3.0f);
    }

    std::string repeated (const std::string& unit, int times)
    {
        std::string result;

        for (auto i = 0; i < times; ++i)
            result += unit;

        return result;
    }

    // A state whose deepest element sits at the given depth, the root counting as one.
    std::string stateNestedTo (int depth)
    {
        return "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/>"
               + repeated ("<N>", depth - 1) + repeated ("</N>", depth - 1) + "</MarvolenQuistra>";
    }

    void expectValues (Processor& p, std::array<float, 4> expected)
    {
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_FLOAT_EQ (valueOf (p, ids[i]), expected[i]) << ids[i];
    }

    struct CountingListener final : juce::AudioProcessorParameter::Listener,
                                    juce::AudioProcessorListener,
                                    juce::AudioProcessorValueTreeState::Listener
    {
        void parameterValueChanged (int, float) override                               { ++calls; }
        void parameterGestureChanged (int, bool) override                              { ++calls; }
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++calls; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override { ++calls; }
        void parameterChanged (const juce::String&, float) override                    { ++calls; }

        int calls = 0;
    };
}

TEST (StateSaving, FreshInstanceWritesTheExactBlock)
{
    Processor p;
    const auto block = save (p);

    const auto length = (juce::uint32) freshText.size();
    std::string expected { '\x56', '\x43', '\x32', '\x21',
                           (char) (length & 0xff), (char) (length >> 8), (char) (length >> 16), (char) (length >> 24) };
    expected += freshText;
    expected += '\0';

    ASSERT_EQ (block.getSize(), freshText.size() + 9);
    EXPECT_EQ (std::string (static_cast<const char*> (block.getData()), block.getSize()), expected);
}

TEST (StateSaving, ReplacesEverythingTheBlockHeld)
{
    Processor p;
    juce::MemoryBlock block (4096);
    block.fillWith (0xab);

    p.getStateInformation (block);

    EXPECT_EQ (block, save (p));
    EXPECT_EQ (block.getSize(), freshText.size() + 9);
}

TEST (StateRoundTrip, RestoringOwnStateChangesNoValueAndCallsNoListener)
{
    Processor p;
    moveAway (p);
    const auto before = save (p);
    const auto values = valuesOf (p);

    CountingListener listener;
    p.addListener (&listener);

    for (auto* parameter : p.getParameters())
        parameter->addListener (&listener);

    for (auto* id : ids)
        p.apvts.addParameterListener (id, &listener);

    restore (p, before);

    EXPECT_EQ (listener.calls, 0);
    EXPECT_EQ (valuesOf (p), values);
    EXPECT_EQ (save (p), before);

    for (auto* id : ids)
        p.apvts.removeParameterListener (id, &listener);

    for (auto* parameter : p.getParameters())
        parameter->removeListener (&listener);

    p.removeListener (&listener);
}

TEST (StateRoundTrip, NewInstanceTakesTheValuesButNotTheOnOffFlag)
{
    Processor source;
    moveAway (source);
    setValue (source, "filter", 2236.1f);
    source.effectOn = false;

    Processor target;
    restore (target, save (source));

    EXPECT_EQ (valuesOf (target), valuesOf (source));
    EXPECT_TRUE (target.effectOn.load());

    target.effectOn = false;
    restore (target, stateBlock ("<MarvolenQuistra/>"));
    EXPECT_FALSE (target.effectOn.load());
}

TEST (StateRejection, BadFramesAndTextsChangeNothing)
{
    const std::string changing = "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/></MarvolenQuistra>";
    const auto good = stateBlock (changing);
    const auto goodText = declaration + changing;
    const auto goodLength = (juce::uint32) goodText.size();

    auto withByte = [&] (size_t index, char value)
    {
        auto block = good;
        block[index] = value;
        return block;
    };

    std::vector<std::pair<std::string, juce::MemoryBlock>> cases {
        { "big-endian magic", [&] { auto b = good; b[0] = 0x21; b[1] = 0x32; b[2] = 0x43; b[3] = 0x56; return b; }() },
        { "magic one bit off", withByte (0, 0x57) },
        { "length 0", frame (goodText, 0) },
        { "length with top bit", frame (goodText, goodLength | 0x80000000u) },
        { "length all ones", frame (goodText, 0xffffffffu) },
        { "unclosed root", stateBlock ("<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/>") },
        { "not XML", frame ("volume=0.7") },
        { "empty text", frame ("", 1) },
        { "zero byte first", frame (std::string (1, '\0') + goodText) },
        { "foreign root", stateBlock ("<OtherPlugin><PARAM id=\"volume\" value=\"0.7\"/></OtherPlugin>") },
        { "root with suffix", stateBlock ("<MarvolenQuistra2><PARAM id=\"volume\" value=\"0.7\"/></MarvolenQuistra2>") },
    };

    Processor p;
    moveAway (p);
    const auto before = save (p);

    for (const auto& [name, block] : cases)
    {
        restore (p, block);
        EXPECT_EQ (save (p), before) << name;
    }

    for (auto size = 0; size <= 8; ++size)
    {
        p.setStateInformation (good.getData(), size);
        EXPECT_EQ (save (p), before) << size << " bytes";
    }

    p.setStateInformation (nullptr, 0);
    p.setStateInformation (good.getData(), -1);
    p.setStateInformation (good.getData(), -(int) good.getSize());
    EXPECT_EQ (save (p), before);

    restore (p, good);
    EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.7f);
}

TEST (StateLength, LongerThanTheDataUsesTheDataToItsEnd)
{
    const auto text = declaration + "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/></MarvolenQuistra>";

    Processor withZero;
    restore (withZero, frame (text, 0x7fffffffu));
    EXPECT_FLOAT_EQ (valueOf (withZero, "volume"), 0.7f);

    Processor withoutZero;
    restore (withoutZero, frame (text, (juce::uint32) text.size() + 100, false));
    EXPECT_FLOAT_EQ (valueOf (withoutZero, "volume"), 0.7f);
}

TEST (StateLength, ShorterThanTheTextCutsIt)
{
    const auto text = declaration + "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/></MarvolenQuistra>";

    // Cut inside the value's quotes: what remains is malformed.
    Processor p;
    const auto before = save (p);
    restore (p, frame (text, (juce::uint32) text.find ("0.7") + 2));
    EXPECT_EQ (save (p), before);

    // Cut before the last '>': the framework's parser still closes the root.
    restore (p, frame (text, (juce::uint32) text.size() - 1));
    EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.7f);
}

TEST (StateRestore, RootTagCaseIsIgnoredAndKept)
{
    for (const std::string root : { "marvolenquistra", "MARVOLENQUISTRA" })
    {
        Processor p;
        restore (p, stateBlock ("<" + root + "><PARAM id=\"volume\" value=\"0.7\"/></" + root + ">"));

        EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.7f) << root;

        const auto text = savedText (p);
        EXPECT_EQ (text.rfind (declaration + "<" + root + ">", 0), 0u) << text;
        EXPECT_EQ (text.substr (text.size() - root.size() - 3), "</" + root + ">") << text;

        restore (p, stateBlock ("<MarvolenQuistra><PARAM id=\"volume\" value=\"0.2\"/></MarvolenQuistra>"));
        EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.2f) << root;
    }
}

TEST (StateRestore, MissingParametersReturnToDefaultsAndGetChildrenAtTheEnd)
{
    Processor p;
    moveAway (p);

    // "Volume" is not "volume": ids compare with case.
    restore (p, stateBlock ("<MarvolenQuistra>"
                            "<PARAM id=\"filter\" value=\"400.0\"/>"
                            "<PARAM id=\"Volume\" value=\"0.7\"/>"
                            "</MarvolenQuistra>"));

    expectValues (p, { 0.15f, 400.0f, 0.18f, 1.0f });
    EXPECT_EQ (savedText (p), declaration
                                  + "<MarvolenQuistra>"
                                    "<PARAM id=\"filter\" value=\"400.0\"/>"
                                    "<PARAM id=\"Volume\" value=\"0.7\"/>"
                                    "<PARAM id=\"distortion\" value=\"0.1499999910593033\"/>"
                                    "<PARAM id=\"preset\" value=\"1.0\"/>"
                                    "<PARAM id=\"volume\" value=\"0.1799999922513962\"/>"
                                    "</MarvolenQuistra>");

    // A parameter already at its default, with its value written, keeps a child without one.
    restore (p, stateBlock ("<MarvolenQuistra><P id=\"filter\" value=\"400.0\"/></MarvolenQuistra>"));
    EXPECT_EQ (savedText (p), declaration
                                  + "<MarvolenQuistra>"
                                    "<P id=\"filter\" value=\"400.0\"/>"
                                    "<PARAM id=\"distortion\"/>"
                                    "<PARAM id=\"preset\"/>"
                                    "<PARAM id=\"volume\"/>"
                                    "</MarvolenQuistra>");
}

TEST (StateRestore, ChildWithoutValueTakesTheDefault)
{
    Processor p;
    moveAway (p);
    restore (p, stateBlock ("<MarvolenQuistra>"
                            "<PARAM id=\"distortion\"/><PARAM id=\"filter\" value=\"5000.0\"/>"
                            "<PARAM id=\"preset\" value=\"3.0\"/><PARAM id=\"volume\" value=\"0.5\"/>"
                            "</MarvolenQuistra>"));

    expectValues (p, { 0.15f, 5000.0f, 0.5f, 3.0f });
}

TEST (StateRestore, LaterDuplicateWinsAndEarlierStaysUnbound)
{
    Processor p;
    restore (p, stateBlock ("<MarvolenQuistra>"
                            "<PARAM id=\"volume\" value=\"0.3\"/>"
                            "<PARAM id=\"volume\" value=\"0.6\"/>"
                            "</MarvolenQuistra>"));
    EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.6f);

    setValue (p, "volume", 0.25f);
    const auto text = savedText (p);
    EXPECT_NE (text.find ("<MarvolenQuistra><PARAM id=\"volume\" value=\"0.3\"/><PARAM id=\"volume\" value=\"0.25\"/>"),
               std::string::npos)
        << text;
}

TEST (StateRestore, ValuesAreClampedAndSnapped)
{
    Processor p;
    restore (p, stateBlock ("<MarvolenQuistra>"
                            "<PARAM id=\"distortion\" value=\"0.123\"/>"
                            "<PARAM id=\"filter\" value=\"30000\"/>"
                            "<PARAM id=\"preset\" value=\"-1e000000000309\"/>"
                            "<PARAM id=\"volume\" value=\"0.8049\"/>"
                            "</MarvolenQuistra>"));

    expectValues (p, { 0.12f, 20000.0f, 0.8f, 1.0f });
    EXPECT_NE (savedText (p).find ("<PARAM id=\"filter\" value=\"20000.0\"/>"), std::string::npos);

    restore (p, stateBlock ("<MarvolenQuistra><PARAM id=\"filter\" value=\"1234.56\"/></MarvolenQuistra>"));
    EXPECT_FLOAT_EQ (valueOf (p, "filter"), 1234.6f);
}

TEST (StateRestore, UnknownContentIsWrittenBack)
{
    juce::MemoryBlock bytes ("\x01\x02\x03", 3);
    const auto base64 = bytes.toBase64Encoding().toStdString();

    const auto body = "<MarvolenQuistra format=\"7\">"
                      "<PARAM id=\"distortion\" value=\"0.25\" unit=\"none\"/>"
                      "<PARAM id=\"filter\" value=\"800.0\"/>"
                      "<PARAM id=\"preset\" value=\"2.0\"/>"
                      "<PARAM id=\"volume\" value=\"0.5\"/>"
                      "<PARAM id=\"mix\" value=\"0.75\"/>"
                      "<EXTRA base64:blob=\"" + base64 + "\" note=\"a &amp; b &lt;c&gt; &quot;d&quot;\"><INNER depth=\"3\"/></EXTRA>"
                      "</MarvolenQuistra>";

    Processor p;
    restore (p, stateBlock (body));

    expectValues (p, { 0.25f, 800.0f, 0.5f, 2.0f });
    EXPECT_EQ (savedText (p), declaration + body);
}

TEST (StateRefusal, TextsThatWouldCrashOrMisleadChangeNothing)
{
    const std::vector<std::pair<std::string, std::string>> hostile {
        { "nested 100000 deep", stateNestedTo (100000) },
        { "nested one past the limit", stateNestedTo (257) },
        { "self-referencing entity", "<!DOCTYPE MarvolenQuistra [<!ENTITY a \"&&a;\">]>"
                                     "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7&a;\"/></MarvolenQuistra>" },
        // The framework's parser loops forever on an instruction followed by text inside an element.
        { "instruction before text", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/><?x?>text</MarvolenQuistra>" },
        { "stray continuation bytes", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/>\xbcN\xbe</MarvolenQuistra>" },
        { "repeated value", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\" value=\"0.1\"/></MarvolenQuistra>" },
        { "value also in base64", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\" base64:value=\"3.AIEB\"/></MarvolenQuistra>" },
        { "oversized base64", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/><X base64:b=\"-1.A\"/></MarvolenQuistra>" },
        { "repeated id", "<MarvolenQuistra><PARAM id=\"volume\" id=\"filter\" value=\"0.7\"/></MarvolenQuistra>" },
        { "not a number", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/><P id=\"preset\" value=\"nan\"/></MarvolenQuistra>" },
        { "exponent overflowing an int", "<MarvolenQuistra><PARAM id=\"volume\" value=\"0.7\"/><P id=\"filter\" value=\"1e+0030000000000\"/></MarvolenQuistra>" },
    };

    Processor p;
    moveAway (p);
    const auto before = save (p);

    for (const auto& [name, body] : hostile)
    {
        restore (p, stateBlock (body));
        EXPECT_EQ (save (p), before) << name;
    }

    restore (p, stateBlock (stateNestedTo (256)));
    EXPECT_FLOAT_EQ (valueOf (p, "volume"), 0.7f);

    const auto innermost = repeated ("<N>", 254) + "<N/>" + repeated ("</N>", 254);
    const auto saved = save (p);
    EXPECT_NE (savedText (p).find (innermost), std::string::npos);

    Processor reloaded;
    restore (reloaded, saved);
    EXPECT_EQ (save (reloaded), saved);
}
