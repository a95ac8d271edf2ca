#pragma once

#include "Vst3HostObjects.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mqhost
{

// One plug-in instance as a host holds it: the audio-effect component and its edit controller,
// both initialised with this host's context and connected to each other directly.
class Vst3Instance final
{
public:
    explicit Vst3Instance (Steinberg::IPluginFactory& factory);
    ~Vst3Instance();

    Vst3Instance (const Vst3Instance&) = delete;
    Vst3Instance& operator= (const Vst3Instance&) = delete;

    bool isValid() const noexcept                           { return error.empty(); }
    const std::string& getError() const noexcept            { return error; }

    Steinberg::Vst::IComponent& getComponent() const        { return *component; }
    Steinberg::Vst::IAudioProcessor& getProcessor() const   { return *processor; }
    Steinberg::Vst::IEditController& getController() const  { return *controller; }
    ComponentHandler& getComponentHandler() noexcept        { return componentHandler; }

    // What a host does before the first block: activates the audio buses, sets up 32-bit
    // realtime processing, activates the component and starts processing.
    bool startProcessing (double sampleRate, int maxBlockSize);
    void stopProcessing();

    // Runs one block from one input bus to one output bus of numChannels channels.
    Steinberg::tresult process (float** inputs, float** outputs, int numChannels, int numSamples,
                                Steinberg::Vst::IParameterChanges* changes = nullptr);

    // Hands parameter changes over without audio, as hosts do while the transport is stopped.
    Steinberg::tresult flushParameters (Steinberg::Vst::IParameterChanges& changes);

    std::vector<std::uint8_t> getState();

    // Loads a state as a host loads a project: into the component, then into the controller.
    bool setState (const std::vector<std::uint8_t>& state);

private:
    HostApplication hostApplication;
    ComponentHandler componentHandler;

    Steinberg::IPtr<Steinberg::Vst::IComponent> component;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controller;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection, controllerConnection;

    bool componentInitialised = false, controllerInitialised = false;
    bool active = false, processing = false;
    std::string error;
};

} // namespace mqhost
