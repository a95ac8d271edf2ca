// Feeds randomly mutated saved states to setStateInformation for a bounded time. After every input the
// processor must either be unchanged or hold valid values, and must still save a state it can load.
// Usage: StateFuzzTest [seconds [seed]]; the same seed replays the same inputs.

#include "PluginProcessor.h"
#include "StateXmlCheck.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <iostream>
#include <string>
#include <vector>

namespace
{
    using Processor = MarvolenQuistra2AudioProcessor;
    using Bytes = std::string;

    constexpr int maxDepth = 256;
    const std::array<const char*, 4> ids { "distortion", "filter", "volume", "preset" };

    const std::vector<Bytes> dictionary {
        "<", ">", "/>", "</", "=", "\"", "'", " ", "\n", "&", ";", "&amp;", "&LT;", "&#x41;", "&#65;", "&#0;",
        "&#xFFFFFFFF;", "&#999999999999;", "&nbsp;", "<!--", "-->", "<?", "?>", "<![CDATA[", "]]>", "<!DOCTYPE r>",
        "<PARAM id=\"volume\" value=\"0.5\"/>", "<PARAM id=\"filter\"/>", "<N>", "</N>", "<N/>", "PARAM", "id", "value",
        "distortion", "filter", "volume", "preset", "Volume", "base64:", "MarvolenQuistra", "marvolenquistra",
        " x=\"1\"", "1e309", "-1e309", "nan", "inf", "-0", "30000", "0.123", "1.7976931348623157e308", "4.9e-324",
        "0x10", "\xc3\xa9", "\xff", "\xf0\x9f\x98\x80", "\xe2\x80", std::string (1, '\0'),
    };

    const std::vector<Bytes> numbers { "0", "-0", "1", "-1", "0.5", "0.123", "30000", "250", "20000", "1e309",
                                       "-1e309", "nan", "inf", "1e-320", "9999999999999999999", "1e+0030000000000",
                                       "", "abc", " 4 " };

    Bytes frame (const Bytes& text)
    {
        const auto length = (juce::uint32) text.size();
        Bytes block { '\x56', '\x43', '\x32', '\x21', (char) (length & 0xff), (char) ((length >> 8) & 0xff),
                      (char) ((length >> 16) & 0xff), (char) (length >> 24) };
        return block + text + '\0';
    }

    Bytes save (Processor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return { static_cast<const char*> (block.getData()), block.getSize() };
    }

    std::array<float, 4> valuesOf (Processor& p)
    {
        return { p.apvts.getRawParameterValue (ids[0])->load(), p.apvts.getRawParameterValue (ids[1])->load(),
                 p.apvts.getRawParameterValue (ids[2])->load(), p.apvts.getRawParameterValue (ids[3])->load() };
    }

    std::vector<Bytes> makeSeeds()
    {
        const Bytes declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> ";
        std::vector<Bytes> seeds;

        Processor fresh;
        seeds.push_back (save (fresh));

        for (const auto* body : {
                 "<marvolenquistra><PARAM id=\"volume\" value=\"0.7\"/><PARAM id=\"filter\" value=\"30000\"/></marvolenquistra>",
                 "<MarvolenQuistra a=\"1\"><PARAM id=\"distortion\" value=\"0.123\" unit=\"x\"/><PARAM id=\"distortion\"/>"
                 "<EXTRA base64:blob=\"3.AIEB\"><INNER/></EXTRA><PARAM id=\"preset\" value=\"2.5\"/></MarvolenQuistra>",
                 "<MarvolenQuistra><!-- c --><![CDATA[x]]>t &amp; t<PARAM id='volume' value='0.25'/></MarvolenQuistra>",
                 "<MarvolenQuistra><N><N><N><PARAM id=\"volume\" value=\"0.1\"/></N></N></N></MarvolenQuistra>",
             })
            seeds.push_back (frame (declaration + body));

        return seeds;
    }

    class Mutator final
    {
    public:
        explicit Mutator (juce::int64 seed) : random (seed) {}

        Bytes mutate (Bytes input, const std::vector<Bytes>& pool)
        {
            for (auto steps = 1 + random.nextInt (6); --steps >= 0;)
                mutateOnce (input, pool);

            if (input.size() >= 8 && random.nextInt (4) != 0)
            {
                const auto length = (juce::uint32) (input.size() >= 9 ? input.size() - 9 : 0);

                for (auto i = 0; i < 4; ++i)
                    input[4 + (size_t) i] = (char) ((length >> (8 * i)) & 0xff);
            }

            return input;
        }

        int nextInt (int limit) { return random.nextInt (limit); }

    private:
        size_t position (const Bytes& b) { return (size_t) random.nextInt ((int) b.size() + 1); }

        void mutateOnce (Bytes& b, const std::vector<Bytes>& pool)
        {
            switch (random.nextInt (11))
            {
                case 0:
                    if (! b.empty())
                        b[position (b) % b.size()] ^= (char) (1 << random.nextInt (8));
                    break;

                case 1:
                    if (! b.empty())
                        b[position (b) % b.size()] = (char) random.nextInt (256);
                    break;

                case 2:
                case 3:
                    b.insert (position (b), dictionary[(size_t) random.nextInt ((int) dictionary.size())]);
                    break;

                case 4:
                {
                    const auto start = position (b);
                    b.erase (start, (size_t) random.nextInt (1 + juce::jmin (64, (int) (b.size() - start))));
                    break;
                }

                case 5:
                {
                    const auto start = position (b);
                    const auto chunk = b.substr (start, (size_t) random.nextInt (128));
                    b.insert (position (b), chunk);
                    break;
                }

                case 6:
                    b.resize (position (b));
                    break;

                case 7:
                {
                    const auto& other = pool[(size_t) random.nextInt ((int) pool.size())];
                    b = b.substr (0, position (b)) + other.substr ((size_t) random.nextInt ((int) other.size() + 1));
                    break;
                }

                case 8:
                {
                    // Nest around the limit, closed or not.
                    const auto levels = maxDepth - 8 + random.nextInt (16);
                    Bytes open, close;

                    for (auto i = 0; i < levels; ++i)
                    {
                        open += "<N>";
                        close += "</N>";
                    }

                    b.insert (position (b), random.nextBool() ? open + close : open);
                    break;
                }

                case 9:
                {
                    const auto at = b.find ("value=\"", position (b));

                    if (at != Bytes::npos)
                    {
                        const auto start = at + 7;
                        const auto end = b.find ('"', start);
                        b.replace (start, end == Bytes::npos ? 0 : end - start,
                                   numbers[(size_t) random.nextInt ((int) numbers.size())]);
                    }
                    break;
                }

                default:
                    if (b.size() >= 8)
                    {
                        const juce::uint32 interesting[] { 0, 1, 8, 0x7fffffff, 0x80000000, 0xffffffff,
                                                           (juce::uint32) b.size() - 8, (juce::uint32) b.size(),
                                                           (juce::uint32) random.nextInt() };
                        const auto value = interesting[random.nextInt ((int) std::size (interesting))];

                        for (auto i = 0; i < 4; ++i)
                            b[4 + (size_t) i] = (char) ((value >> (8 * i)) & 0xff);
                    }
                    break;
            }
        }

        juce::Random random;
    };

    int elementDepth (const juce::XmlElement& e)
    {
        auto deepest = 0;

        for (auto* child : e.getChildIterator())
            if (! child->isTextElement())
                deepest = juce::jmax (deepest, elementDepth (*child));

        return deepest + 1;
    }

    // The text setStateInformation hands to the parser, if the frame lets it get that far.
    bool framedText (const Bytes& input, int size, juce::String& text)
    {
        if (size <= 8 || juce::ByteOrder::littleEndianInt (input.data()) != 0x21324356)
            return false;

        const auto length = (int) juce::ByteOrder::littleEndianInt (input.data() + 4);

        if (length <= 0)
            return false;

        text = juce::String::fromUTF8 (input.data() + 8, juce::jmin (size - 8, length));
        return true;
    }

    // Empty when the input was handled correctly, otherwise what went wrong. state holds the processor's
    // saved state before the input and is brought up to date.
    std::string checkInput (Processor& p, const Bytes& input, int size, Bytes& state)
    {
        juce::String text;

        if (framedText (input, size, text) && isShallowPlainXml (text, maxDepth))
            if (const auto xml = juce::parseXML (text))
                if (elementDepth (*xml) > maxDepth)
                    return "the depth check passed a text that parses " + std::to_string (elementDepth (*xml)) + " deep";

        const auto valuesBefore = valuesOf (p);

        p.setStateInformation (input.data(), size);

        const auto stateAfter = save (p);
        const auto valuesAfter = valuesOf (p);

        if (stateAfter == state && valuesAfter == valuesBefore)
            return {};

        state = stateAfter;

        for (size_t i = 0; i < ids.size(); ++i)
        {
            const auto& range = p.apvts.getParameterRange (ids[i]);
            const auto v = valuesAfter[i];

            if (! std::isfinite (v) || v < range.start || v > range.end || range.snapToLegalValue (v) != v)
                return std::string (ids[i]) + " holds " + juce::String (v, 9).toStdString();
        }

        const auto savedSize = stateAfter.size();

        if (savedSize < 9 || juce::ByteOrder::littleEndianInt (stateAfter.data()) != 0x21324356
            || juce::ByteOrder::littleEndianInt (stateAfter.data() + 4) != savedSize - 9 || stateAfter.back() != 0
            || stateAfter.find ('\0', 8) != savedSize - 1)
            return "the saved frame is malformed";

        const auto savedText = juce::String::fromUTF8 (stateAfter.data() + 8, (int) savedSize - 9);
        const auto saved = juce::parseXML (savedText);

        if (saved == nullptr || ! saved->hasTagName ("MarvolenQuistra") || ! isShallowPlainXml (savedText, maxDepth))
            return "the saved text does not load: " + savedText.substring (0, 2000).toStdString();

        for (const auto* id : ids)
            if (saved->getChildByAttribute ("id", id) == nullptr)
                return std::string ("the saved state has no child for ") + id;

        p.setStateInformation (stateAfter.data(), (int) stateAfter.size());

        if (valuesOf (p) != valuesAfter || save (p) != stateAfter)
            return "restoring the saved state changed it";

        return {};
    }

    void writeFailure (const Bytes& input)
    {
        juce::File::getCurrentWorkingDirectory().getChildFile ("state-fuzz-failure.bin").replaceWithData (input.data(), input.size());
    }
}

int main (int argc, char** argv)
{
    const auto seconds = argc > 1 ? std::atof (argv[1]) : 20.0;
    const auto seed = argc > 2 ? (juce::int64) std::atoll (argv[2]) : (juce::int64) 20261209;

    auto pool = makeSeeds();
    const auto numSeeds = pool.size();
    Mutator mutator (seed);
    Processor processor;

    auto state = save (processor);
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::duration<double> (seconds);
    long long iterations = 0, changed = 0;

    while (std::chrono::steady_clock::now() < deadline)
    {
        const auto input = mutator.mutate (pool[(size_t) mutator.nextInt ((int) pool.size())], pool);
        const auto size = mutator.nextInt (16) == 0 ? (int) input.size() - mutator.nextInt (12) : (int) input.size();
        const auto before = state;

        if (const auto failure = checkInput (processor, input, size, state); ! failure.empty())
        {
            writeFailure (input);
            std::cerr << "input " << iterations << " (seed " << seed << ", size argument " << size << "): " << failure
                      << "\ninput written to state-fuzz-failure.bin\n";
            return 1;
        }

        ++iterations;

        if (state != before)
        {
            ++changed;

            // Accepted inputs join a small pool, so mutation builds on what gets through.
            if (pool.size() < numSeeds + 64)
                pool.push_back (input);
            else
                pool[numSeeds + (size_t) mutator.nextInt (64)] = input;
        }
    }

    const auto elapsed = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    std::cout << iterations << " inputs in " << elapsed << " s (seed " << seed << "), " << changed << " changed the state\n";
    return 0;
}
