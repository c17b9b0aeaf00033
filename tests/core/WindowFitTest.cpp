#include "core/WindowFit.h"

#include <gtest/gtest.h>

using namespace kvb;

namespace {

// A window manager's frame: 1-pixel borders under a 24-pixel title bar.
constexpr FrameMargins kFrame{1, 24, 1, 1};
constexpr Area kSmall{0, 0, 1280, 720};
constexpr Area kLarge{0, 0, 1920, 1080};

WindowRequest Opening(Extent wanted, Area screen, Extent least = {}, int bar = 0)
{
    return {wanted, least, bar, screen, kFrame, screen};
}

}  // namespace

// The main window's own size on both screens: whole where it fits, the
// available area where it does not, its frame inside the screen either way.
TEST(FitWindow, OwnSizeWhereItFitsElseTheAvailableArea)
{
    WindowFit large = FitWindow(Opening({1500, 740}, kLarge));
    EXPECT_EQ(large.inside, (Area{210, 181, 1500, 740}));  // centred with its frame
    EXPECT_FALSE(large.scrolls);

    WindowFit small = FitWindow(Opening({1500, 740}, kSmall));
    EXPECT_EQ(small.inside, (Area{1, 24, 1278, 695}));
    EXPECT_FALSE(small.scrolls);

    // Exactly the room the frame leaves is kept; one pixel more is cut.
    EXPECT_EQ(FitWindow(Opening({1278, 695}, kSmall)).inside, (Area{1, 24, 1278, 695}));
    EXPECT_EQ(FitWindow(Opening({1279, 696}, kSmall)).inside, (Area{1, 24, 1278, 695}));
    EXPECT_EQ(FitWindow(Opening({1277, 694}, kSmall)).inside, (Area{1, 24, 1277, 694}));
}

// The available area leaves out panels: a window never opens under them.
TEST(FitWindow, StaysInsideAnAvailableAreaWithPanels)
{
    const Area belowPanel{0, 32, 1280, 688};
    WindowFit fit = FitWindow(Opening({1500, 740}, belowPanel));
    EXPECT_EQ(fit.inside, (Area{1, 56, 1278, 663}));

    // A dialog centred on a parent near the screen's right edge moves in.
    WindowRequest dialog = Opening({400, 300}, belowPanel);
    dialog.centreOn = {1000, 600, 400, 200};
    fit = FitWindow(dialog);
    EXPECT_EQ(fit.inside.left + fit.inside.width + kFrame.right, 1280);
    EXPECT_EQ(fit.inside.top + fit.inside.height + kFrame.bottom, 720);
    // and keeps its parent's centre where that fits.
    dialog.centreOn = {400, 200, 400, 300};
    EXPECT_EQ(FitWindow(dialog).inside, (Area{400, 212, 400, 300}));
}

// The chart window: its least size holds on a large screen; on a low one the
// window fits the screen, the charts scroll down, and the window keeps room
// for the scroll bar so that nothing is cut sideways.
TEST(FitWindow, ContentTallerThanTheScreenScrollsDown)
{
    const Extent chart{1083, 800};
    WindowFit large = FitWindow(Opening(chart, kLarge, chart, 15));
    EXPECT_FALSE(large.scrolls);
    EXPECT_EQ(large.least, chart);
    EXPECT_EQ(large.inside.width, 1083);
    EXPECT_EQ(large.inside.height, 800);

    WindowFit small = FitWindow(Opening(chart, kSmall, chart, 15));
    EXPECT_TRUE(small.scrolls);
    EXPECT_EQ(small.least, (Extent{1098, 695}));
    EXPECT_EQ(small.inside, (Area{91, 24, 1098, 695}));

    // Content exactly as high as the room does not scroll; a pixel higher does.
    EXPECT_FALSE(FitWindow(Opening(chart, kSmall, {1083, 695}, 15)).scrolls);
    EXPECT_TRUE(FitWindow(Opening(chart, kSmall, {1083, 696}, 15)).scrolls);
    // A window that cannot scroll keeps its content's least size.
    WindowFit fixed = FitWindow(Opening(chart, kSmall, chart, 0));
    EXPECT_FALSE(fixed.scrolls);
    EXPECT_EQ(fixed.inside.height, 800);
}

// A window asked smaller than its least size opens at the least size.
TEST(FitWindow, NeverBelowTheLeastSize)
{
    WindowFit fit = FitWindow(Opening({667, 667}, kLarge, {1083, 800}, 15));
    EXPECT_EQ(fit.inside.width, 1083);
    EXPECT_EQ(fit.inside.height, 800);
}
