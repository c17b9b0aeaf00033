#pragma once
// Where a window opens on a screen. A window opens at its own size where the
// screen's available area holds that size with the window manager's frame
// around it; where it does not, it takes the available area, and it always
// lies inside that area. A window whose content can scroll down keeps the
// content's least width; when the screen is lower than the content's least
// height, the window fits the screen and the content scrolls down in it.
// Sizes are in pixels; a window's size is its inside, without the frame.

namespace kvb {

struct Extent {
    int width = 0;
    int height = 0;
    bool operator==(const Extent&) const = default;
};

struct Area {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Area&) const = default;
};

// The frame a window manager draws around a window: title bar and borders.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const FrameMargins&) const = default;
};

struct WindowRequest {
    Extent wanted;      // the window's own size
    Extent least;       // the least size that shows all of its content
    int scrollBar = 0;  // width of the bar its content scrolls down with; 0: it cannot scroll
    Area available;     // the screen's available area
    FrameMargins frame;
    Area centreOn;      // the window's centre goes to this area's centre (then inside the screen)
};

struct WindowFit {
    Area inside;           // where the window opens, without its frame, in screen pixels
    Extent least;          // the window's least size from now on
    bool scrolls = false;  // the content is taller than the window may be on this screen
};

WindowFit FitWindow(const WindowRequest& request);

}  // namespace kvb
