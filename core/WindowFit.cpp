#include "core/WindowFit.h"

#include <algorithm>

namespace kvb {

namespace {

// The start of a span of `length` centred on the span [from, from + room),
// moved into [low, high) where it fits, else to low.
int Place(int centreFrom, int centreRoom, int length, int low, int high)
{
    const int start = centreFrom + (centreRoom - length) / 2;
    if (length >= high - low)
        return low;
    return std::clamp(start, low, high - length);
}

}  // namespace

WindowFit FitWindow(const WindowRequest& r)
{
    const FrameMargins& f = r.frame;
    const int roomWidth = std::max(0, r.available.width - f.left - f.right);
    const int roomHeight = std::max(0, r.available.height - f.top - f.bottom);

    WindowFit fit;
    fit.scrolls = r.scrollBar > 0 && r.least.height > roomHeight;
    // A scrolling window keeps room for its bar beside the content's least
    // width, so nothing is ever reached by scrolling sideways.
    fit.least.width = r.least.width + (fit.scrolls ? r.scrollBar : 0);
    fit.least.height = fit.scrolls ? roomHeight : r.least.height;

    // The content's least size wins over the screen: a window that cannot
    // be made to fit shows its content whole rather than cut.
    const int width = std::max(std::min(r.wanted.width, roomWidth), fit.least.width);
    const int height = std::max(std::min(r.wanted.height, roomHeight), fit.least.height);

    const int outerWidth = width + f.left + f.right;
    const int outerHeight = height + f.top + f.bottom;
    const int outerLeft = Place(r.centreOn.left, r.centreOn.width, outerWidth, r.available.left,
                                r.available.left + r.available.width);
    const int outerTop = Place(r.centreOn.top, r.centreOn.height, outerHeight, r.available.top,
                               r.available.top + r.available.height);
    fit.inside = {outerLeft + f.left, outerTop + f.top, width, height};
    return fit;
}

}  // namespace kvb
