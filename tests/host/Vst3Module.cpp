#include "Vst3Module.h"

#include <dlfcn.h>

namespace mqhost
{

namespace
{
    std::string lastDlError()
    {
        const auto* message = dlerror();
        return message != nullptr ? message : "unknown error";
    }
}

Vst3Module::Vst3Module (const std::string& path)
{
    handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        error = "dlopen failed: " + lastDlError();
        return;
    }

    const auto moduleEntry = reinterpret_cast<ModuleEntryFunction> (dlsym (handle, "ModuleEntry"));
    moduleExit = reinterpret_cast<ModuleExitFunction> (dlsym (handle, "ModuleExit"));
    const auto getPluginFactory = reinterpret_cast<GetFactoryProc> (dlsym (handle, "GetPluginFactory"));

    if (moduleEntry == nullptr || moduleExit == nullptr || getPluginFactory == nullptr)
    {
        error = "missing entry point: " + lastDlError();
        moduleExit = nullptr;
        return;
    }

    if (! moduleEntry (handle))
    {
        error = "ModuleEntry returned false";
        moduleExit = nullptr;
        return;
    }

    factory = Steinberg::owned (getPluginFactory());

    if (factory == nullptr)
        error = "GetPluginFactory returned no factory";
}

Vst3Module::~Vst3Module()
{
    factory = nullptr;

    if (moduleExit != nullptr)
        moduleExit();

    if (handle != nullptr)
        dlclose (handle);
}

} // namespace mqhost
