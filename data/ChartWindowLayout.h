#pragma once
// Where the chart window's charts and bottom controls go for a window size
// (all values in twips): the fault chart on top, then the optional ET and
// IC-temperature charts, the pack chart, and the cell chart taking the
// remaining height; hidden charts close up the gap.

namespace kvb::data {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kChartWindowMinWidth = 16250;
inline constexpr int kChartWindowMinHeight = 12000;
inline constexpr int kChartLeft = 3360;
// The top of the charts below the fault chart; the controls left of them
// line up with it.
inline constexpr int kChartsTop = 1920;

struct ChartPlace {
    bool visible = true;
    int top = 0, width = 0, height = 0;
};

struct ChartWindowLayout {
    int width = 0, height = 0;  // the window, after the minimum size
    ChartPlace fault, et, icTemp, pack, cell;
    int hideButtonTop = 0, hideButtonLeft = 0;
    int lowerInfoTop = 0;
};

// The layout for a window whose client area is `width` x `height`; the
// close button is `buttonWidth` x `buttonHeight`.
ChartWindowLayout LayoutChartWindow(int width, int height, bool showET, bool showIT,
                                    int buttonWidth, int buttonHeight);

}  // namespace kvb::data
