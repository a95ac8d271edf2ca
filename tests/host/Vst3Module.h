#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <string>

namespace mqhost
{

// A VST3 module opened the way a Linux host opens one: dlopen, ModuleEntry, GetPluginFactory,
// and on the way out the factory's release, ModuleExit and dlclose.
class Vst3Module final
{
public:
    explicit Vst3Module (const std::string& path);
    ~Vst3Module();

    Vst3Module (const Vst3Module&) = delete;
    Vst3Module& operator= (const Vst3Module&) = delete;

    // True when the library opened, ModuleEntry answered true and a factory came back.
    bool isLoaded() const noexcept                          { return factory != nullptr; }
    const std::string& getError() const noexcept            { return error; }

    Steinberg::IPluginFactory* getFactory() const noexcept  { return factory.get(); }

private:
    using ModuleEntryFunction = bool (*) (void*);
    using ModuleExitFunction = bool (*)();

    void* handle = nullptr;
    ModuleExitFunction moduleExit = nullptr;
    Steinberg::IPtr<Steinberg::IPluginFactory> factory;
    std::string error;
};

} // namespace mqhost
