#include "HostTestSupport.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
    using Bytes = std::vector<std::uint8_t>;

    std::uint32_t readLittleEndian32 (const Bytes& bytes, size_t offset)
    {
        return (std::uint32_t) bytes[offset] | ((std::uint32_t) bytes[offset + 1] << 8)
             | ((std::uint32_t) bytes[offset + 2] << 16) | ((std::uint32_t) bytes[offset + 3] << 24);
    }

    Bytes toBytes (const std::string& text)
    {
        return { text.begin(), text.end() };
    }

    // What the framework appends to the plug-in's block: eight zero bytes, its private tree
    // holding only "Bypass" (a one-byte value, 2 for on and 3 for off, then no children), the
    // tree's size as a little-endian 64-bit number, and its marker.
    Bytes expectedTrailer (bool bypassed)
    {
        using namespace std::string_literals;

        const auto tree = "JUCEPrivateData\0"s + "\x01\x01" + "Bypass\0"s + "\x01\x01" + (bypassed ? '\x02' : '\x03') + '\0';
        return toBytes (std::string (8, '\0') + tree + (char) tree.size() + std::string (7, '\0') + "JUCEPrivateData");
    }

    class HostStateTest : public mqtest::PluginInstanceTest
    {
    protected:
        void setParameters (std::initializer_list<std::pair<ParamID, double>> values) const
        {
            mqhost::ParameterChanges changes;

            for (const auto& [id, value] : values)
                changes.add (id, value);

            ASSERT_EQ (instance->flushParameters (changes), kResultTrue);
        }

        // Splits a saved state at the end of the plug-in's own block.
        static std::pair<Bytes, Bytes> splitState (const Bytes& state)
        {
            const auto blockSize = (size_t) readLittleEndian32 (state, 4) + 9;
            return { Bytes (state.begin(), state.begin() + (std::ptrdiff_t) blockSize),
                     Bytes (state.begin() + (std::ptrdiff_t) blockSize, state.end()) };
        }
    };
}

TEST_F (HostStateTest, StateIsThePluginBlockFollowedByTheFrameworkTrailer)
{
    const auto state = instance->getState();
    ASSERT_GT (state.size(), 9u);

    EXPECT_EQ (Bytes (state.begin(), state.begin() + 4), toBytes ("VC2!"));
    const auto textLength = (size_t) readLittleEndian32 (state, 4);
    ASSERT_LT (textLength + 9, state.size());

    const std::string text (state.begin() + 8, state.begin() + 8 + (std::ptrdiff_t) textLength);
    EXPECT_EQ (text.rfind ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <MarvolenQuistra><PARAM id=\"distortion\"", 0), 0u) << text;
    EXPECT_EQ (text.substr (text.size() - 18), "</MarvolenQuistra>");
    EXPECT_EQ (state[8 + textLength], 0);

    EXPECT_EQ (splitState (state).second, expectedTrailer (false));
}

TEST_F (HostStateTest, RestoresIntoANewInstanceAndItsController)
{
    setParameters ({ { mqtest::paramIds::distortion, 0.5 }, { mqtest::paramIds::filter, 0.25 },
                     { mqtest::paramIds::volume, 1.0 }, { mqtest::paramIds::preset, 1.0 / 3.0 } });
    const auto state = instance->getState();

    const auto restored = makeInstance();
    ASSERT_TRUE (restored->isValid()) << restored->getError();
    restored->getComponentHandler().takeRestartFlags();

    ASSERT_TRUE (restored->setState (state));

    auto& controller = restored->getController();
    EXPECT_NEAR (controller.getParamNormalized (mqtest::paramIds::distortion), 0.5, 1e-6);
    EXPECT_NEAR (controller.getParamNormalized (mqtest::paramIds::filter), 0.25, 1e-5);
    EXPECT_NEAR (controller.getParamNormalized (mqtest::paramIds::volume), 1.0, 1e-6);
    EXPECT_NEAR (controller.getParamNormalized (mqtest::paramIds::preset), 1.0 / 3.0, 1e-6);
    EXPECT_EQ (controller.getParamNormalized (mqtest::paramIds::bypass), 0.0);
    EXPECT_NE (restored->getComponentHandler().takeRestartFlags() & kParamValuesChanged, 0);

    EXPECT_EQ (restored->getState(), state);
}

TEST_F (HostStateTest, BypassTravelsInTheTrailer)
{
    setParameters ({ { mqtest::paramIds::bypass, 1.0 } });
    const auto state = instance->getState();
    EXPECT_EQ (splitState (state).second, expectedTrailer (true));

    const auto restored = makeInstance();
    ASSERT_TRUE (restored->setState (state));
    EXPECT_EQ (restored->getController().getParamNormalized (mqtest::paramIds::bypass), 1.0);

    ASSERT_TRUE (restored->startProcessing (44100.0, 64));
    std::vector<float> left (64, 0.5f), right (64, -0.25f), outLeft (64), outRight (64);
    float* inputs[] { left.data(), right.data() };
    float* outputs[] { outLeft.data(), outRight.data() };
    ASSERT_EQ (restored->process (inputs, outputs, 2, 64), kResultTrue);
    EXPECT_EQ (outLeft, left);
    EXPECT_EQ (outRight, right);
}

TEST_F (HostStateTest, DamagedStatesChangeNothing)
{
    setParameters ({ { mqtest::paramIds::volume, 0.5 } });
    const auto original = instance->getState();
    const auto [block, trailer] = splitState (original);

    Bytes wrongMagic = original;
    wrongMagic[0] = 'X';

    Bytes noise (300);
    std::mt19937 random (7);
    for (auto& byte : noise)
        byte = (std::uint8_t) random();

    const std::vector<Bytes> damaged {
        {},
        Bytes (original.begin(), original.begin() + 6),
        Bytes (original.begin(), original.begin() + (std::ptrdiff_t) block.size() / 2),
        trailer,
        wrongMagic,
        noise,
    };

    for (size_t i = 0; i < damaged.size(); ++i)
    {
        SCOPED_TRACE ("case " + std::to_string (i));
        mqhost::MemoryStream stream (damaged[i]);
        instance->getComponent().setState (&stream);
        EXPECT_EQ (instance->getState(), original);
    }

    EXPECT_EQ (instance->getComponent().setState (nullptr), kInvalidArgument);
}
