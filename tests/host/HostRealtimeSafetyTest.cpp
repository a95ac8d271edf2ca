#include "HostTestSupport.h"
#include "RealtimeCounter.h"

#include <cmath>
#include <vector>

using namespace Steinberg;

namespace
{
    class HostRealtimeSafetyTest : public mqtest::PluginInstanceTest
    {
    protected:
        static constexpr int blockSize = 256;

        void SetUp() override
        {
            PluginInstanceTest::SetUp();
            ASSERT_TRUE (instance->startProcessing (48000.0, blockSize));

            for (auto& channel : input)
                for (int i = 0; i < blockSize; ++i)
                    channel.push_back (std::sin ((float) i * 0.03f));

            for (auto& channel : output)
                channel.resize (blockSize);
        }

        void TearDown() override { instance->stopProcessing(); }

        tresult processBlock (Vst::IParameterChanges* changes = nullptr)
        {
            float* in[] { input[0].data(), input[1].data() };
            float* out[] { output[0].data(), output[1].data() };
            return instance->process (in, out, 2, blockSize, changes);
        }

        std::vector<float> input[2], output[2];
    };
}

// JUCE 7.0.5's VST3 wrapper copies a channel mapping (a std::vector) per bus and block and takes
// the callback lock around processBlock, so the host path is never entirely free of both. The
// plug-in's own share is measured against the framework's bypassed path, which skips processBlock.
TEST_F (HostRealtimeSafetyTest, ProcessBlockAddsNoAllocationOrLockToTheHostPath)
{
    auto countBlocks = [this]
    {
        processBlock();
        return mqtest::countAllocationsAndLocks ([this]
        {
            for (int block = 0; block < 100; ++block)
                EXPECT_EQ (processBlock(), kResultOk);
        });
    };

    const auto engaged = countBlocks();
    ASSERT_NE (output[0], input[0]);

    mqhost::ParameterChanges bypassOn;
    bypassOn.add (mqtest::paramIds::bypass, 1.0);
    ASSERT_EQ (instance->flushParameters (bypassOn), kResultTrue);
    const auto bypassed = countBlocks();
    ASSERT_EQ (output[0], input[0]) << "the framework's bypass must be in force";

    EXPECT_EQ (engaged.allocations, bypassed.allocations);
    EXPECT_EQ (engaged.locks, bypassed.locks);
    RecordProperty ("framework_allocations_per_block", bypassed.allocations / 100);
    RecordProperty ("framework_locks_per_block", bypassed.locks / 100);
}
