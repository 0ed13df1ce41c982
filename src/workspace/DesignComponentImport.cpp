#include "workspace/DesignComponent.h"

void DesignComponent::labelTextChanged (juce::Label* labelThatHasChanged)
{
    juce::ignoreUnused (labelThatHasChanged);
}

void DesignComponent::importUserDefinedMagnitude()
{
}

void DesignComponent::importUserDefinedPhase()
{
}

void DesignComponent::exportCoefficients()
{
}
