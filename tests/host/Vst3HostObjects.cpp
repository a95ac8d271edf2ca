#include "Vst3HostObjects.h"

#include <algorithm>
#include <cstring>

namespace mqhost
{

using namespace Steinberg;

tresult PLUGIN_API HostApplication::getName (Vst::String128 name)
{
    constexpr char hostName[] = "Marvolen Quistra Test Host";
    std::fill (name, name + 128, Vst::TChar {});
    std::copy (std::begin (hostName), std::end (hostName), name);
    return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance (TUID, TUID, void** obj)
{
    // Component and controller are connected directly, so no message objects are needed.
    *obj = nullptr;
    return kNotImplemented;
}

tresult PLUGIN_API ComponentHandler::restartComponent (int32 flags)
{
    restartFlags.fetch_or (flags);
    return kResultOk;
}

void ParamValueQueue::reset (Vst::ParamID newId) noexcept
{
    id = newId;
    numPoints = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& value)
{
    if (index < 0 || index >= numPoints)
        return kInvalidArgument;

    sampleOffset = points[(size_t) index].offset;
    value = points[(size_t) index].value;
    return kResultTrue;
}

tresult PLUGIN_API ParamValueQueue::addPoint (int32 sampleOffset, Vst::ParamValue value, int32& index)
{
    if (numPoints == maxPoints)
        return kResultFalse;

    index = numPoints++;
    points[(size_t) index] = { sampleOffset, value };
    return kResultTrue;
}

bool ParameterChanges::add (Vst::ParamID id, Vst::ParamValue value, int32 sampleOffset)
{
    int32 queueIndex = 0;
    int32 pointIndex = 0;
    auto* queue = addParameterData (id, queueIndex);
    return queue != nullptr && queue->addPoint (sampleOffset, value, pointIndex) == kResultTrue;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData (int32 index)
{
    return index >= 0 && index < numQueues ? &queues[(size_t) index] : nullptr;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData (const Vst::ParamID& id, int32& index)
{
    for (int32 i = 0; i < numQueues; ++i)
    {
        if (queues[(size_t) i].getParameterId() == id)
        {
            index = i;
            return &queues[(size_t) i];
        }
    }

    if (numQueues == maxParameters)
        return nullptr;

    index = numQueues++;
    queues[(size_t) index].reset (id);
    return &queues[(size_t) index];
}

MemoryStream::MemoryStream (std::vector<std::uint8_t> initialData)
    : data (std::move (initialData))
{
}

tresult PLUGIN_API MemoryStream::queryInterface (const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) || FUnknownPrivate::iidEqual (iid, IBStream::iid))
        *obj = static_cast<IBStream*> (this);
    else if (FUnknownPrivate::iidEqual (iid, ISizeableStream::iid))
        *obj = static_cast<ISizeableStream*> (this);
    else
    {
        *obj = nullptr;
        return kNoInterface;
    }

    addRef();
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::read (void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (numBytes < 0)
        return kInvalidArgument;

    const auto count = std::min ((std::size_t) numBytes, data.size() - std::min (position, data.size()));

    if (count > 0)
        std::memcpy (buffer, data.data() + position, count);

    position += count;

    if (numBytesRead != nullptr)
        *numBytesRead = (int32) count;

    return kResultOk;
}

tresult PLUGIN_API MemoryStream::write (void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (numBytes < 0)
        return kInvalidArgument;

    if (position + (std::size_t) numBytes > data.size())
        data.resize (position + (std::size_t) numBytes);

    if (numBytes > 0)
        std::memcpy (data.data() + position, buffer, (std::size_t) numBytes);

    position += (std::size_t) numBytes;

    if (numBytesWritten != nullptr)
        *numBytesWritten = numBytes;

    return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek (int64 pos, int32 mode, int64* result)
{
    const auto base = mode == kIBSeekSet ? 0
                    : mode == kIBSeekCur ? (int64) position
                    : mode == kIBSeekEnd ? (int64) data.size()
                    : -1;

    if (base < 0 || base + pos < 0)
        return kInvalidArgument;

    position = (std::size_t) (base + pos);

    if (result != nullptr)
        *result = (int64) position;

    return kResultTrue;
}

tresult PLUGIN_API MemoryStream::tell (int64* pos)
{
    if (pos == nullptr)
        return kInvalidArgument;

    *pos = (int64) position;
    return kResultTrue;
}

tresult PLUGIN_API MemoryStream::getStreamSize (int64& size)
{
    size = (int64) data.size();
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::setStreamSize (int64 size)
{
    if (size < 0)
        return kInvalidArgument;

    data.resize ((std::size_t) size);
    return kResultOk;
}

} // namespace mqhost
