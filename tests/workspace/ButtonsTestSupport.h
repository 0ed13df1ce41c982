#pragma once

// A workspace panel for tests of its button handler: it counts the design's notifications and
// can mark the computed coefficients so that a recompute (which rewrites them) is visible.
#include "workspace/DesignComponent.h"

namespace buttonstest
{
struct Workspace : public DesignComponent::Listener
{
    Workspace()
    {
        design.listeners.add (this);
        design.inputChanged = false;
        design.targetChanged = false;
        design.filterChanged = false;
        markCoefficients();
    }

    ~Workspace() override { design.listeners.remove (this); }

    void designChanged (DesignComponent*) override { ++notifications; }

    /** Replaces the coefficients by three taps; every recompute makes NFFT of them again. */
    void markCoefficients() { design.filterData.coefficients = Matrix<double> (1, 3); }

    /** True when a recompute ran since the last markCoefficients(). */
    bool recomputed() const { return design.filterData.coefficients.length() == design.NFFT; }

    /** Shows the controls of a flat target magnitude and a zero target phase, as the combo boxes'
        handler leaves them. */
    void selectFlatAndZeroPhase()
    {
        design.comboBoxTargetMagnitude->setSelectedId (2, juce::dontSendNotification);
        design.comboBoxTargetPhase->setSelectedId (2, juce::dontSendNotification);
        design.targetData.targetMagnitude = 2;
        design.targetData.targetPhase = 2;
    }

    DesignComponent design;
    int notifications = 0;
};
} // namespace buttonstest
