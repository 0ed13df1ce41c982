// Entry point of every GUI test binary: GoogleTest with one JUCE GUI initialiser for the whole run.
#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include "support/IgnoreXErrors.h"

namespace
{
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { initialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { initialiser.reset(); }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
};
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    talvoIgnoreXErrors();
    ::testing::AddGlobalTestEnvironment (new JuceEnvironment());
    return RUN_ALL_TESTS();
}
