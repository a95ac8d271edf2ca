#include "HostTestSupport.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
    class HostBusesTest : public mqtest::PluginInstanceTest
    {
    protected:
        tresult arrange (SpeakerArrangement input, SpeakerArrangement output) const
        {
            return instance->getProcessor().setBusArrangements (&input, 1, &output, 1);
        }

        SpeakerArrangement arrangementOf (BusDirection direction) const
        {
            SpeakerArrangement arrangement = -1;
            EXPECT_EQ (instance->getProcessor().getBusArrangement (direction, 0, arrangement), kResultTrue);
            return arrangement;
        }
    };

    const SpeakerArrangement leftOnly = kSpeakerL;
    const SpeakerArrangement surroundPair = SpeakerArr::kStereoSurround;
    const SpeakerArrangement centreAndLfe = SpeakerArr::kStereoCLfe;
}

TEST_F (HostBusesTest, OneStereoMainAudioBusEachWayAndNoEventBus)
{
    auto& component = instance->getComponent();

    EXPECT_EQ (component.getBusCount (kAudio, kInput), 1);
    EXPECT_EQ (component.getBusCount (kAudio, kOutput), 1);
    EXPECT_EQ (component.getBusCount (kEvent, kInput), 0);
    EXPECT_EQ (component.getBusCount (kEvent, kOutput), 0);

    for (const auto& [direction, name] : { std::pair { kInput, "Input" }, std::pair { kOutput, "Output" } })
    {
        SCOPED_TRACE (name);
        BusInfo info {};
        ASSERT_EQ (component.getBusInfo (kAudio, direction, 0, info), kResultTrue);
        EXPECT_EQ (info.mediaType, kAudio);
        EXPECT_EQ (info.direction, direction);
        EXPECT_EQ (info.channelCount, 2);
        EXPECT_EQ (mqtest::toAscii (info.name), name);
        EXPECT_EQ (info.busType, kMain);
        EXPECT_EQ (info.flags, (uint32) BusInfo::kDefaultActive);
        EXPECT_EQ (arrangementOf (direction), SpeakerArr::kStereo);
    }
}

TEST_F (HostBusesTest, RequestsForBusesThatDoNotExistAreRefused)
{
    auto& component = instance->getComponent();
    BusInfo info {};

    EXPECT_EQ (component.getBusInfo (kAudio, kInput, 1, info), kResultFalse);
    EXPECT_EQ (component.getBusInfo (kAudio, kOutput, -1, info), kResultFalse);
    EXPECT_EQ (component.getBusInfo (kEvent, kInput, 0, info), kResultFalse);
    EXPECT_EQ (component.getBusInfo (kEvent, kOutput, 0, info), kResultFalse);
    EXPECT_EQ (component.activateBus (kEvent, kInput, 0, true), kResultFalse);
    EXPECT_EQ (component.activateBus (kAudio, kOutput, 1, true), kResultFalse);

    SpeakerArrangement arrangement = 0;
    EXPECT_EQ (instance->getProcessor().getBusArrangement (kInput, 1, arrangement), kResultFalse);
}

TEST_F (HostBusesTest, OnlyMonoToMonoAndStereoToStereoArrangementsAreAccepted)
{
    struct Row
    {
        SpeakerArrangement input, output;
        bool accepted;
    };

    const Row rows[] = {
        { SpeakerArr::kMono, SpeakerArr::kMono, true },
        { SpeakerArr::kStereo, SpeakerArr::kStereo, true },
        { SpeakerArr::kMono, SpeakerArr::kStereo, false },
        { SpeakerArr::kStereo, SpeakerArr::kMono, false },
        { SpeakerArr::kEmpty, SpeakerArr::kStereo, false },
        { SpeakerArr::kEmpty, SpeakerArr::kMono, false },
        { SpeakerArr::kStereo, SpeakerArr::kEmpty, false },
        { SpeakerArr::kEmpty, SpeakerArr::kEmpty, false },
        { SpeakerArr::k51, SpeakerArr::k51, false },
        { SpeakerArr::k30Cine, SpeakerArr::k30Cine, false },
        { surroundPair, surroundPair, false },
        { centreAndLfe, centreAndLfe, false },
        { leftOnly, leftOnly, false },
        { SpeakerArr::kStereo, surroundPair, false },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (std::to_string (row.input) + " -> " + std::to_string (row.output));

        EXPECT_EQ (arrange (row.input, row.output), row.accepted ? kResultTrue : kResultFalse);

        if (row.accepted)
        {
            EXPECT_EQ (arrangementOf (kInput), row.input);
            EXPECT_EQ (arrangementOf (kOutput), row.output);
        }
        else
        {
            EXPECT_TRUE (arrangementOf (kOutput) == SpeakerArr::kMono || arrangementOf (kOutput) == SpeakerArr::kStereo);
            EXPECT_EQ (arrangementOf (kInput), arrangementOf (kOutput));
        }
    }
}

TEST_F (HostBusesTest, ArrangementsForMoreBusesThanExistChangeNothing)
{
    SpeakerArrangement inputs[] = { SpeakerArr::kMono, SpeakerArr::kMono };
    SpeakerArrangement outputs[] = { SpeakerArr::kMono, SpeakerArr::kMono };

    instance->getProcessor().setBusArrangements (inputs, 2, outputs, 2);

    EXPECT_EQ (arrangementOf (kInput), SpeakerArr::kStereo);
    EXPECT_EQ (arrangementOf (kOutput), SpeakerArr::kStereo);
}

TEST_F (HostBusesTest, ProcessesThirtyTwoBitSamplesOnly)
{
    auto& processor = instance->getProcessor();

    EXPECT_EQ (processor.canProcessSampleSize (kSample32), kResultTrue);
    EXPECT_EQ (processor.canProcessSampleSize (kSample64), kResultFalse);
    EXPECT_EQ (processor.canProcessSampleSize (7), kResultFalse);

    ProcessSetup doubleSetup { kRealtime, kSample64, 512, 48000.0 };
    EXPECT_EQ (processor.setupProcessing (doubleSetup), kResultFalse);

    ProcessSetup floatSetup { kRealtime, kSample32, 512, 48000.0 };
    EXPECT_EQ (processor.setupProcessing (floatSetup), kResultOk);
}

TEST_F (HostBusesTest, ReportsNoLatencyAndNoTail)
{
    auto& processor = instance->getProcessor();

    EXPECT_EQ (processor.getLatencySamples(), 0u);
    EXPECT_EQ (processor.getTailSamples(), kNoTail);

    for (const auto rate : { 22050.0, 44100.0, 96000.0 })
    {
        ProcessSetup setup { kRealtime, kSample32, 256, rate };
        ASSERT_EQ (processor.setupProcessing (setup), kResultOk);
        EXPECT_EQ (processor.getLatencySamples(), 0u);
        EXPECT_EQ (processor.getTailSamples(), kNoTail);
    }
}
