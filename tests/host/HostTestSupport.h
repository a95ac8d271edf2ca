#pragma once

#include "Vst3Instance.h"
#include "Vst3Module.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace mqtest
{

// The parameter IDs a host stores in its projects.
namespace paramIds
{
    constexpr Steinberg::Vst::ParamID distortion = 589459613;
    constexpr Steinberg::Vst::ParamID filter = 872991608;
    constexpr Steinberg::Vst::ParamID volume = 1336600346;
    constexpr Steinberg::Vst::ParamID preset = 1167385311;
    constexpr Steinberg::Vst::ParamID bypass = 0x62797073;
}

// The built bundle, loaded once for the whole run and unloaded after the last test.
mqhost::Vst3Module& pluginModule();

// Narrows UTF-16 text that is known to be ASCII; anything else shows as '?'.
std::string toAscii (const Steinberg::Vst::TChar* text);

// A fresh, connected plug-in instance for every test.
class PluginInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override;

    std::unique_ptr<mqhost::Vst3Instance> makeInstance() const;

    std::unique_ptr<mqhost::Vst3Instance> instance;
};

} // namespace mqtest
