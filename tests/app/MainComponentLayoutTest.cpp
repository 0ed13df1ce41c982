// Plots, divider and workspace side by side: sizes at start, the divider's limits, tiny windows.
#include "AppTestSupport.h"

using namespace apptest;

TEST_F (AppTest, DividerKeepsPlotsAndPanelWithinTheirLimitsAtAnyWindowSize)
{
    MainComponent main;
    EXPECT_EQ (main.getBounds(), juce::Rectangle<int> (0, 0, 1024, 768));
    EXPECT_GT (main.figureGrid.getWidth(), main.designComponent.getWidth()); // 60 % against 300 pixels

    // Positions as a drag of the bar gives them, in the start size and in a wider window.
    for (const auto& [width, position] : { std::pair (1024, 0), { 1024, 305 }, { 1024, 700 }, { 1024, 1018 },
                                          { 1024, 3000 }, { 1024, -500 }, { 1600, 0 }, { 1600, 1500 } })
    {
        SCOPED_TRACE (std::to_string (width) + " " + std::to_string (position));
        main.setSize (width, 768);
        main.layout.setItemPosition (1, position);
        main.resized();
        const int inner = width - 2 * MainComponent::borderPixels;
        const auto plots = main.figureGrid.getBounds(), bar = main.resizerBar->getBounds();
        const auto panel = main.designComponent.getBounds();
        EXPECT_GE (plots.getWidth(), 300);
        EXPECT_LE (plots.getWidth(), (int) (0.9 * inner + 0.5));
        EXPECT_GE (panel.getWidth(), 150);
        EXPECT_LE (panel.getWidth(), (int) (0.95 * inner + 0.5));
        EXPECT_EQ (bar.getWidth(), MainComponent::dividerPixels);
        // Side by side, touching, inside the border (the layout may leave a pixel or two unused).
        EXPECT_EQ (plots.getPosition(), juce::Point<int> (6, 6));
        EXPECT_EQ (bar.getX(), plots.getRight());
        EXPECT_EQ (panel.getX(), bar.getRight());
        EXPECT_NEAR (panel.getRight(), width - 6, 2);
        EXPECT_EQ (panel.getHeight(), 756);
    }

    for (auto size : { juce::Point<int> (11, 11), juce::Point<int> (0, 0), juce::Point<int> (5, 400) })
    {
        main.setSize (size.x, size.y);
        for (auto* child : main.getChildren())
            EXPECT_TRUE (child->getWidth() >= 0 && child->getHeight() >= 0);
    }
}
