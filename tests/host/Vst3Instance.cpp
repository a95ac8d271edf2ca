#include "Vst3Instance.h"

#include <algorithm>

namespace mqhost
{

using namespace Steinberg;

namespace
{
    template <typename Interface>
    IPtr<Interface> createFromFactory (IPluginFactory& factory, const TUID cid)
    {
        void* object = nullptr;

        if (factory.createInstance (reinterpret_cast<FIDString> (cid), reinterpret_cast<FIDString> (Interface::iid.toTUID()), &object) != kResultOk)
            return {};

        return owned (static_cast<Interface*> (object));
    }

    template <typename Interface>
    IPtr<Interface> queryFrom (FUnknown& object)
    {
        void* result = nullptr;

        if (object.queryInterface (Interface::iid.toTUID(), &result) != kResultOk)
            return {};

        return owned (static_cast<Interface*> (result));
    }

    bool findAudioEffectClass (IPluginFactory& factory, TUID cid)
    {
        for (int32 i = 0; i < factory.countClasses(); ++i)
        {
            PClassInfo info {};

            if (factory.getClassInfo (i, &info) == kResultOk
                && std::string (info.category) == kVstAudioEffectClass)
            {
                std::copy (std::begin (info.cid), std::end (info.cid), cid);
                return true;
            }
        }

        return false;
    }
}

Vst3Instance::Vst3Instance (IPluginFactory& factory)
{
    TUID componentId {};

    if (! findAudioEffectClass (factory, componentId))
    {
        error = "no audio-effect class";
        return;
    }

    component = createFromFactory<Vst::IComponent> (factory, componentId);

    if (component == nullptr)
    {
        error = "no component";
        return;
    }

    componentInitialised = component->initialize (&hostApplication) == kResultOk;
    processor = queryFrom<Vst::IAudioProcessor> (*component);

    TUID controllerId {};

    if (! componentInitialised || processor == nullptr || component->getControllerClassId (controllerId) != kResultOk)
    {
        error = "component did not initialise";
        return;
    }

    controller = createFromFactory<Vst::IEditController> (factory, controllerId);

    if (controller == nullptr)
    {
        error = "no controller";
        return;
    }

    controllerInitialised = controller->initialize (&hostApplication) == kResultOk;

    if (! controllerInitialised || controller->setComponentHandler (&componentHandler) != kResultOk)
    {
        error = "controller did not initialise";
        return;
    }

    componentConnection = queryFrom<Vst::IConnectionPoint> (*component);
    controllerConnection = queryFrom<Vst::IConnectionPoint> (*controller);

    if (componentConnection == nullptr || controllerConnection == nullptr
        || componentConnection->connect (controllerConnection) != kResultOk
        || controllerConnection->connect (componentConnection) != kResultOk)
    {
        error = "component and controller did not connect";
        return;
    }

    // A host hands the controller the component's state before it shows any parameter.
    const auto state = getState();

    if (! state.empty())
    {
        MemoryStream stream (state);
        controller->setComponentState (&stream);
    }
}

Vst3Instance::~Vst3Instance()
{
    stopProcessing();

    if (componentConnection != nullptr && controllerConnection != nullptr)
    {
        componentConnection->disconnect (controllerConnection);
        controllerConnection->disconnect (componentConnection);
    }

    if (controllerInitialised)
    {
        controller->setComponentHandler (nullptr);
        controller->terminate();
    }

    if (componentInitialised)
        component->terminate();
}

bool Vst3Instance::startProcessing (double sampleRate, int maxBlockSize)
{
    auto ok = component->activateBus (Vst::kAudio, Vst::kInput, 0, true) == kResultTrue;
    ok = component->activateBus (Vst::kAudio, Vst::kOutput, 0, true) == kResultTrue && ok;

    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, maxBlockSize, sampleRate };
    ok = processor->setupProcessing (setup) == kResultOk && ok;

    active = component->setActive (true) == kResultOk;
    processing = processor->setProcessing (true) == kResultOk;

    return ok && active && processing;
}

void Vst3Instance::stopProcessing()
{
    if (processing)
        processor->setProcessing (false);

    if (active)
        component->setActive (false);

    processing = active = false;
}

tresult Vst3Instance::process (float** inputs, float** outputs, int numChannels, int numSamples,
                               Vst::IParameterChanges* changes)
{
    Vst::AudioBusBuffers inputBus, outputBus;
    inputBus.numChannels = numChannels;
    inputBus.channelBuffers32 = inputs;
    outputBus.numChannels = numChannels;
    outputBus.channelBuffers32 = outputs;

    Vst::ProcessData data;
    data.processMode = Vst::kRealtime;
    data.symbolicSampleSize = Vst::kSample32;
    data.numSamples = numSamples;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inputBus;
    data.outputs = &outputBus;
    data.inputParameterChanges = changes;

    return processor->process (data);
}

tresult Vst3Instance::flushParameters (Vst::IParameterChanges& changes)
{
    Vst::ProcessData data;
    data.inputParameterChanges = &changes;
    return processor->process (data);
}

std::vector<std::uint8_t> Vst3Instance::getState()
{
    MemoryStream stream;

    if (component->getState (&stream) != kResultOk)
        return {};

    return stream.getData();
}

bool Vst3Instance::setState (const std::vector<std::uint8_t>& state)
{
    MemoryStream componentStream (state);

    if (component->setState (&componentStream) != kResultOk)
        return false;

    // The framework's controller answers kNotImplemented here even though it takes the values up.
    MemoryStream controllerStream (state);
    controller->setComponentState (&controllerStream);
    return true;
}

} // namespace mqhost
