#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

#include "plots/FigureComponent.h"

/** The six plots of the main window in three rows of two: input, filter and result, each with its
    time plot on the left and its frequency plot on the right. The owner creates the figures, sets
    them up and adds them as children; the grid only lays them out. It paints nothing itself. */
class FigureGridComponent : public juce::Component
{
public:
    FigureGridComponent() = default;
    ~FigureGridComponent() override;

    /** Lays the figures out in a 3 x 2 grid of equal cells, row by row in member order, with gaps of
        gapPixels between rows and between columns, filling the local bounds. Figures not yet created
        are skipped. */
    void resized() override;

    /** Pixels between two neighbouring cells, horizontally and vertically. */
    static constexpr int gapPixels = 6;

    /** The figures in grid order (row by row); entries are null until the owner creates them. */
    std::array<FigureComponent*, 6> getFigures() const;

    std::unique_ptr<FigureComponent> figInputTime;       ///< row 1, left: input impulse response and window
    std::unique_ptr<FigureComponent> figInputFrequency;  ///< row 1, right: input spectrum and target
    std::unique_ptr<FigureComponent> figFilterTime;      ///< row 2, left: filter impulse response and window
    std::unique_ptr<FigureComponent> figFilterFrequency; ///< row 2, right: filter response and FIR spectrum
    std::unique_ptr<FigureComponent> figResultTime;      ///< row 3, left: corrected result in time
    std::unique_ptr<FigureComponent> figResultFrequency; ///< row 3, right: corrected result's spectrum

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FigureGridComponent)
};
