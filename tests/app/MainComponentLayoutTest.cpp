// Plots, divider and workspace side by side: sizes at start, the divider's limits, tiny windows.
#include "AppTestSupport.h"

using namespace apptest;

namespace
{
class Layout : public AppTest
{
protected:
    MainComponent main;

    int plotsWidth() const { return main.figureGrid.getWidth(); }
    int panelWidth() const { return main.designComponent.getWidth(); }

    void expectWithinLimits (int innerWidth)
    {
        EXPECT_EQ (main.resizerBar->getWidth(), MainComponent::dividerPixels);
        EXPECT_GE (plotsWidth(), 300);
        EXPECT_LE (plotsWidth(), static_cast<int> (0.9 * innerWidth + 0.5));
        EXPECT_GE (panelWidth(), 150);
        EXPECT_LE (panelWidth(), static_cast<int> (0.95 * innerWidth + 0.5));
        // Side by side, touching, filling the width inside the border.
        EXPECT_EQ (main.figureGrid.getX(), MainComponent::borderPixels);
        EXPECT_EQ (main.resizerBar->getX(), main.figureGrid.getRight());
        EXPECT_EQ (main.designComponent.getX(), main.resizerBar->getRight());
        // The layout manager rounds each item to whole pixels and may leave one or two unused.
        EXPECT_NEAR (main.designComponent.getRight(), MainComponent::borderPixels + innerWidth, 2);
    }
};
} // namespace

TEST_F (Layout, StartsAt1024By768WithPlotsDividerAndPanelInsideTheBorder)
{
    EXPECT_EQ (main.getWidth(), 1024);
    EXPECT_EQ (main.getHeight(), 768);
    expectWithinLimits (1012);
    for (juce::Component* item : { static_cast<juce::Component*> (&main.figureGrid),
                                   static_cast<juce::Component*> (main.resizerBar.get()),
                                   static_cast<juce::Component*> (&main.designComponent) })
    {
        EXPECT_EQ (item->getY(), 6);
        EXPECT_EQ (item->getHeight(), 756);
        EXPECT_TRUE (item->isVisible());
    }
    // The plots get the larger share, as their preferred 60 % against the panel's 300 pixels.
    EXPECT_GT (plotsWidth(), panelWidth());
}

TEST_F (Layout, DraggingTheDividerKeepsEveryItemWithinItsLimits)
{
    for (int position : { -500, 0, 100, 305, 500, 700, 861, 950, 1018, 3000 })
    {
        SCOPED_TRACE (position);
        main.layout.setItemPosition (1, position); // what a drag of the bar does
        main.resized();
        expectWithinLimits (1012);
    }

    // A drag to the far left stops at the plots' minimum; to the far right at the panel's minimum.
    main.layout.setItemPosition (1, 0);
    main.resized();
    EXPECT_EQ (plotsWidth(), 300);
    main.layout.setItemPosition (1, 5000);
    main.resized();
    EXPECT_TRUE (panelWidth() == 150 || plotsWidth() == static_cast<int> (0.9 * 1012 + 0.5));

    // A wider window moves the limits with it.
    main.setSize (1600, 900);
    expectWithinLimits (1588);
    EXPECT_EQ (main.designComponent.getHeight(), 888);
}

TEST_F (Layout, TinyWindowsNeverGetNegativeSizes)
{
    for (auto size : { juce::Point<int> (11, 11), juce::Point<int> (0, 0), juce::Point<int> (5, 400) })
    {
        main.setSize (size.x, size.y);
        for (auto* child : main.getChildren())
        {
            EXPECT_GE (child->getWidth(), 0);
            EXPECT_GE (child->getHeight(), 0);
        }
        EXPECT_EQ (main.designComponent.getHeight(), std::max (0, size.y - 12));
    }
}

TEST_F (Layout, PaintsTheWindowBackground)
{
    juce::Image image (juce::Image::ARGB, 1024, 768, true);
    juce::Graphics g (image);
    main.paintEntireComponent (g, true);
    // The 6-pixel border shows the light scheme's window background.
    EXPECT_EQ (image.getPixelAt (2, 2).getARGB(), colourPalette[windowBackground].getARGB());
    EXPECT_EQ (image.getPixelAt (1021, 765).getARGB(), colourPalette[windowBackground].getARGB());
}
