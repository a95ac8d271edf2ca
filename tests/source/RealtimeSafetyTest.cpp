#include "ProcessorTestSupport.h"
#include "RealtimeCounter.h"

#include <gtest/gtest.h>

#include <mutex>

using mqtest::countAllocationsAndLocks;

TEST (RealtimeSafety, DetectorSeesAllocationsAndLocks)
{
    const auto counts = countAllocationsAndLocks ([]
    {
        // Called through volatile pointers so the optimiser cannot elide the pair.
        void* (*volatile allocate) (size_t) = ::operator new;
        void (*volatile release) (void*) = ::operator delete;
        release (allocate (16));
        juce::CriticalSection section;
        const juce::ScopedLock lock (section);
        std::mutex mutex;
        const std::lock_guard<std::mutex> guard (mutex);
    });
    EXPECT_GE (counts.allocations, 2);
    EXPECT_GE (counts.locks, 2);
}

TEST (RealtimeSafety, ProcessBlockAllocatesNothingAndTakesNoLock)
{
    for (const auto channels : { 2, 1 })
    {
        MarvolenQuistra2AudioProcessor processor;
        mqtest::prepare (processor, 48000.0, 512, channels);

        juce::AudioBuffer<float> buffer (channels, 512);
        juce::AudioBuffer<float> empty (channels, 0);
        juce::MidiBuffer midi;
        auto* drive = processor.apvts.getParameter ("distortion");

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, std::sin ((float) i * 0.05f) * (i == 100 ? NAN : 1.0f));

        const auto counts = countAllocationsAndLocks ([&]
        {
            for (int block = 0; block < 50; ++block)
            {
                processor.effectOn = block % 7 != 3;
                processor.processBlock (buffer, midi);
                processor.processBlock (empty, midi);
                drive->setValue ((float) block / 50.0f);
            }
        });

        EXPECT_EQ (counts.allocations, 0) << channels << " channels";
        EXPECT_EQ (counts.locks, 0) << channels << " channels";
    }
}
