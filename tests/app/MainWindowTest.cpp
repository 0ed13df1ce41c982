// The main window on the X display: input that Xlib has read already is handled within a frame or
// two, and a window where nothing happens sends the server nothing.
#include <gtest/gtest.h>

// Xlib's own declarations, after the test framework's, whose names its macros would clash with.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "app/NewProjectApplication.h"

namespace
{
/** The main window, shown until it has painted and gone idle, and a count of its frames. */
class ShownMainWindow : public ::testing::Test
{
protected:
    NewProjectApplication::MainWindow window { "MainWindowTest", juce::Colours::white };
    ::Display* display = juce::XWindowSystem::getInstance()->getDisplay();
    int frames = 0;
    juce::VBlankAttachment frameCounter { &window, [this] { ++frames; } };

    void SetUp() override { runFrames (30); }

    /** Runs the message loop until the window's display has shown `count` more frames. */
    void runFrames (int count)
    {
        const auto last = frames + count;
        for (int slice = 0; frames < last && slice < 100 * count; ++slice)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        ASSERT_GE (frames, last) << "the window shows no frames";
    }
};
} // namespace

TEST_F (ShownMainWindow, HandlesAMouseMoveThatARoundTripLeftInXlibsQueue)
{
    struct : juce::MouseListener
    {
        juce::Point<int> lastMove;
        void mouseMove (const juce::MouseEvent& e) override { lastMove = e.getScreenPosition(); }
    } recorder;
    const juce::Point<int> target { 17, 300 };

    // The server hands the window a pointer move, and a round trip reads it into Xlib's queue: from
    // now on nothing more arrives on the connection, as after the framework's own round trips.
    XEvent move {};
    move.xmotion.type = MotionNotify;
    move.xmotion.window = (::Window) window.getPeer()->getNativeHandle();
    move.xmotion.x = target.x;
    move.xmotion.y = target.y;
    move.xmotion.same_screen = True;
    XSendEvent (display, move.xmotion.window, False, NoEventMask, &move);
    XSync (display, False);
    ASSERT_GT (XEventsQueued (display, QueuedAlready), 0);

    window.addMouseListener (&recorder, true);
    runFrames (3);
    EXPECT_EQ (recorder.lastMove.toString(), (window.getScreenPosition() + target).toString());
    window.removeMouseListener (&recorder);
}

TEST_F (ShownMainWindow, SendsTheServerNoRequestPerIdleFrame)
{
    // The framework's own check of the active window asks once in 1.7 s at most; a request on every
    // frame would make 100.
    const auto firstRequest = XNextRequest (display);
    runFrames (100);
    EXPECT_LE (XNextRequest (display) - firstRequest, 10u) << "requests in 100 idle frames";
}
