#pragma once

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace mqhost
{

// Host-side objects belong to the test that makes them; references the plug-in takes only count,
// so an object must outlive every plug-in object it was handed to.
template <typename Interface>
class HostObject : public Interface
{
public:
    HostObject() = default;
    HostObject (const HostObject&) = delete;
    HostObject& operator= (const HostObject&) = delete;
    virtual ~HostObject() = default;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override
    {
        if (Steinberg::FUnknownPrivate::iidEqual (iid, Steinberg::FUnknown::iid)
            || Steinberg::FUnknownPrivate::iidEqual (iid, Interface::iid))
        {
            addRef();
            *obj = static_cast<Interface*> (this);
            return Steinberg::kResultOk;
        }

        *obj = nullptr;
        return Steinberg::kNoInterface;
    }

    Steinberg::uint32 PLUGIN_API addRef() override   { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() override  { return --refCount; }

private:
    std::atomic<Steinberg::uint32> refCount { 1 };
};

class HostApplication final : public HostObject<Steinberg::Vst::IHostApplication>
{
public:
    Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 name) override;
    Steinberg::tresult PLUGIN_API createInstance (Steinberg::TUID, Steinberg::TUID, void** obj) override;
};

// Called by the controller from the host's thread and from the plug-in's own message thread.
class ComponentHandler final : public HostObject<Steinberg::Vst::IComponentHandler>
{
public:
    Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID) override                                  { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) override    { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID) override                                    { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;

    // The restart flags received since the last call, or-ed together.
    Steinberg::int32 takeRestartFlags() noexcept   { return restartFlags.exchange (0); }

private:
    std::atomic<Steinberg::int32> restartFlags { 0 };
};

// One parameter's points for one block. Capacity is fixed so that filling it allocates nothing.
class ParamValueQueue final : public HostObject<Steinberg::Vst::IParamValueQueue>
{
public:
    static constexpr int maxPoints = 16;

    void reset (Steinberg::Vst::ParamID newId) noexcept;

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() override   { return id; }
    Steinberg::int32 PLUGIN_API getPointCount() override            { return numPoints; }
    Steinberg::tresult PLUGIN_API getPoint (Steinberg::int32 index, Steinberg::int32& sampleOffset, Steinberg::Vst::ParamValue& value) override;
    Steinberg::tresult PLUGIN_API addPoint (Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value, Steinberg::int32& index) override;

private:
    struct Point
    {
        Steinberg::int32 offset = 0;
        Steinberg::Vst::ParamValue value = 0.0;
    };

    Steinberg::Vst::ParamID id = 0;
    Steinberg::int32 numPoints = 0;
    std::array<Point, maxPoints> points {};
};

class ParameterChanges final : public HostObject<Steinberg::Vst::IParameterChanges>
{
public:
    static constexpr int maxParameters = 8;

    void clear() noexcept   { numQueues = 0; }

    // Adds a point, opening the parameter's queue on first use; false once the capacity is used up.
    bool add (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value, Steinberg::int32 sampleOffset = 0);

    Steinberg::int32 PLUGIN_API getParameterCount() override   { return numQueues; }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (Steinberg::int32 index) override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const Steinberg::Vst::ParamID& id, Steinberg::int32& index) override;

private:
    Steinberg::int32 numQueues = 0;
    std::array<ParamValueQueue, maxParameters> queues;
};

// A growable in-memory stream, as hosts hand to getState and setState.
class MemoryStream final : public Steinberg::IBStream,
                           public Steinberg::ISizeableStream
{
public:
    MemoryStream() = default;
    explicit MemoryStream (std::vector<std::uint8_t> initialData);
    MemoryStream (const MemoryStream&) = delete;
    MemoryStream& operator= (const MemoryStream&) = delete;
    virtual ~MemoryStream() = default;

    const std::vector<std::uint8_t>& getData() const noexcept   { return data; }

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override   { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() override  { return --refCount; }

    Steinberg::tresult PLUGIN_API read (void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
    Steinberg::tresult PLUGIN_API write (void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek (Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
    Steinberg::tresult PLUGIN_API tell (Steinberg::int64* pos) override;

    Steinberg::tresult PLUGIN_API getStreamSize (Steinberg::int64& size) override;
    Steinberg::tresult PLUGIN_API setStreamSize (Steinberg::int64 size) override;

private:
    std::vector<std::uint8_t> data;
    std::size_t position = 0;
    std::atomic<Steinberg::uint32> refCount { 1 };
};

} // namespace mqhost
