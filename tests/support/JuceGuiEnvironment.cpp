// Linked into test programs that create components: JUCE's GUI runs for the whole program.
#include "X11Support.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace
{
    class JuceGuiEnvironment final : public ::testing::Environment
    {
    public:
        void SetUp() override
        {
            mqtest::prepareX11();
            gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
        }

        void TearDown() override { gui.reset(); }

    private:
        std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    };

    [[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment (new JuceGuiEnvironment);
}
