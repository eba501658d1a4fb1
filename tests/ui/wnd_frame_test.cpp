#include <gtest/gtest.h>

#include <QWidget>

#include <memory>

#include "ui/platform/wnd.h"

namespace {

// The outer rectangle a top-level window is given before it is shown, while the window
// manager's frame is still unknown, is applied again once the frame is known: the window
// then has that outer size, not that inner size. Only once: later sizes are the user's.
TEST(WndFrameTest, AnOuterRectangleGivenBeforeTheFrameIsKnownIsAppliedOnceItIs)
{
    auto widget = std::make_unique<QWidget>();
    win::CWnd window;
    window.Attach(widget.get(), 0, 0);
    window.MoveWindow(100, 50, 400, 300);
    EXPECT_EQ(widget->size(), QSize(400, 300)) << "no frame known yet";

    window.FrameKnown(4, 25, 4, 4);
    EXPECT_EQ(widget->pos(), QPoint(100, 50));
    EXPECT_EQ(widget->size(), QSize(392, 271));

    widget->resize(500, 350);
    window.FrameKnown(4, 25, 4, 4);
    EXPECT_EQ(widget->size(), QSize(500, 350));

    // Without a frame (no window manager) nothing is applied.
    win::CWnd bare;
    auto other = std::make_unique<QWidget>();
    bare.Attach(other.get(), 0, 0);
    bare.MoveWindow(10, 10, 200, 100);
    bare.FrameKnown(0, 0, 0, 0);
    EXPECT_EQ(other->size(), QSize(200, 100));
    window.Detach();
    bare.Detach();
}

} // namespace
