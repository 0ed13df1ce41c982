#include "workspace/DesignComponent.h"

void DesignComponent::buttonClicked (juce::Button* button)
{
    juce::ignoreUnused (button);
}
