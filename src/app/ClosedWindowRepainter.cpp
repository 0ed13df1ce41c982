#include "app/ClosedWindowRepainter.h"

#include <algorithm>

ClosedWindowRepainter::ClosedWindowRepainter (juce::Component& owner)
    : frames (&owner, [this] { checkWindows(); })
{
}

void ClosedWindowRepainter::checkWindows()
{
    std::vector<ShownWindow> now;
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* window = desktop.getComponent (i); window != nullptr && window->isShowing())
            now.push_back ({ window, window->getScreenBounds() });

    for (const auto& before : shown)
    {
        const auto unchanged = std::any_of (now.begin(), now.end(), [&before] (const ShownWindow& w) {
            return w.window.getComponent() == before.window.getComponent() && w.screenArea == before.screenArea;
        });

        if (unchanged)
            continue;

        for (auto& w : now)
            if (w.window.getComponent() != before.window.getComponent())
                w.window->repaint (w.window->getLocalArea (nullptr, before.screenArea));
    }

    shown = std::move (now);
}
