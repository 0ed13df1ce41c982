#include <gtest/gtest.h>

#include "plots/FigureGridComponent.h"

namespace
{
void fillGrid (FigureGridComponent& grid)
{
    for (auto* member : { &grid.figInputTime, &grid.figInputFrequency, &grid.figFilterTime,
                          &grid.figFilterFrequency, &grid.figResultTime, &grid.figResultFrequency })
    {
        *member = std::make_unique<FigureComponent>();
        grid.addAndMakeVisible (member->get());
    }
}
} // namespace

TEST (FigureGridComponent, CellsFillRowByRowWithSixPixelGapsAndNeverOverlap)
{
    FigureGridComponent grid;
    fillGrid (grid);

    // 2 columns of 300 with one gap, 3 rows of 200 with two gaps; then sizes that do not divide
    // evenly, down to one too small for the gaps.
    for (auto size : { juce::Point<int> (606, 612), juce::Point<int> (1000, 700), juce::Point<int> (307, 211), juce::Point<int> (10, 10) })
    {
        grid.setSize (size.x, size.y);
        const auto figures = grid.getFigures();
        for (size_t i = 0; i < figures.size(); ++i)
        {
            const auto bounds = figures[i]->getBounds();
            const int row = static_cast<int> (i) / 2, column = static_cast<int> (i) % 2;
            if (size.x == 606)
            {
                EXPECT_EQ (bounds, juce::Rectangle<int> (column * 306, row * 206, 300, 200)) << i;
            }
            EXPECT_TRUE (grid.getLocalBounds().contains (bounds) || bounds.isEmpty()) << i;
            for (size_t j = i + 1; j < figures.size(); ++j)
                EXPECT_FALSE (bounds.intersects (figures[j]->getBounds())) << i << " " << j;
        }
        // Give or take the rounding of fractional cell sizes to whole pixels.
        if (size.x > 100)
        {
            EXPECT_NEAR (figures[1]->getX() - figures[0]->getRight(), FigureGridComponent::gapPixels, 1);
            EXPECT_NEAR (figures[2]->getY() - figures[0]->getBottom(), FigureGridComponent::gapPixels, 1);
            EXPECT_NEAR (figures[0]->getWidth(), figures[1]->getWidth(), 1);
            EXPECT_NEAR (figures[0]->getHeight(), figures[4]->getHeight(), 1);
        }
    }
}

TEST (FigureGridComponent, EmptyGridLaysOutNothingAndReleasesAll)
{
    auto grid = std::make_unique<FigureGridComponent>();
    grid->setSize (400, 300); // no figures yet: nothing to place, nothing to crash on
    for (auto* figure : grid->getFigures())
        EXPECT_EQ (figure, nullptr);

    fillGrid (*grid);
    EXPECT_EQ (grid->getNumChildComponents(), 6);
    grid.reset(); // the leak detector of the figures reports any figure left behind
}
