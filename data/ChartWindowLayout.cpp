#include "data/ChartWindowLayout.h"

#include <algorithm>

namespace kvb::data {

ChartWindowLayout LayoutChartWindow(int width, int height, bool showET, bool showIT,
                                    int buttonWidth, int buttonHeight)
{
    ChartWindowLayout l;
    l.width = std::max(width, kChartWindowMinWidth);
    l.height = std::max(height, kChartWindowMinHeight);
    const int chartWidth = l.width - kChartLeft - 240;
    // The three middle charts are kept low so that the cell chart has room
    // for its legend of 24 series at the minimum height. Each chart ends
    // where the next begins.
    constexpr int kStep = 1950;
    int y = kChartsTop;
    l.et = {showET, y, chartWidth, kStep};
    if (showET)
        y += kStep;
    l.icTemp = {showIT, y, chartWidth, kStep};
    if (showIT)
        y += kStep;
    l.pack = {true, y, chartWidth, kStep};
    y += kStep;
    l.cell = {true, y, chartWidth, std::max(l.height - y - buttonHeight - 120, 0)};
    l.hideButtonTop = y + l.cell.height + 60;
    l.hideButtonLeft = l.width - buttonWidth - 240;
    l.lowerInfoTop = l.hideButtonTop;
    l.fault = {true, 120, chartWidth, kChartsTop - 120};
    return l;
}

}  // namespace kvb::data
