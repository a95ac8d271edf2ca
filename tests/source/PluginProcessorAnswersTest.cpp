#include "PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
    using Set = juce::AudioChannelSet;
    using Layout = juce::AudioProcessor::BusesLayout;

    Layout layoutOf (const juce::Array<Set>& inputs, const juce::Array<Set>& outputs)
    {
        Layout layout;
        layout.inputBuses = inputs;
        layout.outputBuses = outputs;
        return layout;
    }

    Set leftOnly()
    {
        Set set;
        set.addChannel (Set::left);
        return set;
    }

    class ProcessorAnswersTest : public ::testing::Test
    {
    protected:
        juce::ScopedJuceInitialiser_GUI juceInitialiser;
        MarvolenQuistra2AudioProcessor processor;
    };
}

TEST_F (ProcessorAnswersTest, LayoutRuleAcceptsOnlyMatchingMonoOrStereo)
{
    struct Row
    {
        Set input, output;
        bool accepted;
    };

    const Row rows[] = {
        { Set::mono(), Set::mono(), true },
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::stereo(), false },
        { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::mono(), Set::disabled(), false },
        { Set::stereo(), Set::disabled(), false },
        { Set::disabled(), Set::disabled(), false },
        { Set::create5point1(), Set::create5point1(), false },
        { Set::createLCR(), Set::createLCR(), false },
        { Set::discreteChannels (2), Set::discreteChannels (2), false },
        { Set::stereo(), Set::discreteChannels (2), false },
        { leftOnly(), leftOnly(), false },
        { Set::mono(), leftOnly(), false },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE ((row.input.getDescription() + " -> " + row.output.getDescription()).toStdString());
        EXPECT_EQ (processor.isBusesLayoutSupported (layoutOf ({ row.input }, { row.output })), row.accepted);
    }
}

TEST_F (ProcessorAnswersTest, LayoutRuleLooksOnlyAtTheMainBuses)
{
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({}, {})));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({}, { Set::stereo() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::stereo() }, {})));
    EXPECT_TRUE (processor.isBusesLayoutSupported (layoutOf ({ Set::mono(), Set::create5point1() },
                                                             { Set::mono(), Set::discreteChannels (3) })));
}

TEST_F (ProcessorAnswersTest, RefusedLayoutsAreNeverApplied)
{
    EXPECT_TRUE (processor.setBusesLayout (layoutOf ({ Set::mono() }, { Set::mono() })));
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 1);

    EXPECT_FALSE (processor.setBusesLayout (layoutOf ({ Set::mono() }, { Set::stereo() })));
    EXPECT_FALSE (processor.setBusesLayout (layoutOf ({ Set::discreteChannels (2) }, { Set::discreteChannels (2) })));
    EXPECT_EQ (processor.getChannelLayoutOfBus (true, 0), Set::mono());
    EXPECT_EQ (processor.getChannelLayoutOfBus (false, 0), Set::mono());
}

TEST_F (ProcessorAnswersTest, FixedAnswersHoldBeforeAndAfterPreparing)
{
    for (const auto sampleRate : { 0.0, 44100.0, 96000.0 })
    {
        SCOPED_TRACE (sampleRate);

        if (sampleRate > 0.0)
        {
            processor.setRateAndBufferSizeDetails (sampleRate, 512);
            processor.prepareToPlay (sampleRate, 512);
        }

        EXPECT_EQ (processor.getName(), "Marvolen Quistra");
        EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
        EXPECT_EQ (processor.getLatencySamples(), 0);
        EXPECT_FALSE (processor.acceptsMidi());
        EXPECT_FALSE (processor.producesMidi());
        EXPECT_FALSE (processor.isMidiEffect());
        EXPECT_TRUE (processor.hasEditor());
        EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
        EXPECT_EQ (processor.getBypassParameter(), nullptr);
    }
}

TEST_F (ProcessorAnswersTest, OfferOneUnnamedProgramWhateverTheHostAsks)
{
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    processor.setCurrentProgram (3);
    processor.setCurrentProgram (-1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    processor.changeProgramName (0, "Renamed");
    processor.changeProgramName (7, "Other");

    for (const auto index : { 0, 5, -1 })
        EXPECT_EQ (processor.getProgramName (index), juce::String()) << index;
}
