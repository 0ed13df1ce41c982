// The notification that ends every calculation: order, duplicates, removal and deletion during the walk.
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
/** A workspace with three listeners, added in the order first, second, third. */
struct ThreeListeners : public ::testing::Test
{
    ThreeListeners()
    {
        for (auto* l : { &first, &second, &third })
            d.addListener (l);
    }

    DesignComponent d;
    std::vector<int> log;
    RecordingListener first { 1, log }, second { 2, log }, third { 3, log };
};

using DesignComponentListenerOrder = ThreeListeners;
} // namespace

TEST_F (DesignComponentListenerOrder, MostRecentlyAddedIsCalledFirstWithTheComponent)
{
    d.calculate (false);

    EXPECT_EQ (log, (std::vector<int> { 3, 2, 1 }));
    EXPECT_EQ (first.lastComponent, &d);
    EXPECT_EQ (third.lastComponent, &d);
}

TEST (DesignComponentListeners, AddingTwiceKeepsOneEntryAndARedrawNotifiesWithoutComputing)
{
    DesignComponent d;
    std::vector<int> log;
    RecordingListener listener (1, log);
    d.addListener (&listener);
    d.addListener (&listener);
    d.listeners.add (&listener);
    EXPECT_EQ (d.listeners.size(), 1);

    d.calculate (false);
    EXPECT_EQ (listener.calls, 1);
    EXPECT_TRUE (holdsUncomputedDefaults (d));

    d.calculate (true);
    EXPECT_EQ (listener.calls, 2);
    EXPECT_FALSE (holdsUncomputedDefaults (d));
}

TEST_F (DesignComponentListenerOrder, RemovalDuringTheWalkContinuesWithTheRest)
{
    // The third (called first) removes the second, which is then skipped; the first is still called.
    third.onCall = [&] (DesignComponent* c) { c->listeners.remove (&second); };
    d.calculate (false);

    EXPECT_EQ (log, (std::vector<int> { 3, 1 }));
}

TEST (DesignComponentListeners, DeletingTheComponentInACallbackStopsTheWalk)
{
    auto d = std::make_unique<DesignComponent>();
    std::vector<int> log;
    RecordingListener first (1, log), second (2, log);
    d->addListener (&first);
    d->addListener (&second);

    second.onCall = [&] (DesignComponent*) { d.reset(); };

    auto* raw = d.get();
    raw->calculate (true);

    EXPECT_EQ (d, nullptr);
    EXPECT_EQ (log, (std::vector<int> { 2 }));
    EXPECT_EQ (first.calls, 0);
}

TEST (DesignComponentListeners, DeletingTheComponentFromAUserHandlerIsSafe)
{
    // The same walk started by a combo box: the handler must not touch the component afterwards.
    auto d = std::make_unique<DesignComponent>();
    std::vector<int> log;
    RecordingListener listener (1, log);
    d->addListener (&listener);
    listener.onCall = [&] (DesignComponent*) { d.reset(); };

    d->comboBoxWindow->setSelectedId (2, juce::sendNotificationSync);

    EXPECT_EQ (d, nullptr);
    EXPECT_EQ (listener.calls, 1);
}
