#include "data/ChartWindowLayout.h"

#include <algorithm>

namespace kvb::data {

ChartWindowLayout LayoutChartWindow(int width, int height, int innerHeight, bool showET,
                                    bool showIT, int buttonWidth, int buttonHeight)
{
    ChartWindowLayout l;
    l.width = std::max(width, kChartWindowMinWidth);
    l.height = std::max(height, kChartWindowMinHeight);
    innerHeight += l.height - height;
    const int chartWidth = l.width - kChartLeft - 240;
    int y = 1920;
    l.et = {showET, 1920, chartWidth, 2295};
    if (showET)
        y = 4200;
    l.icTemp = {showIT, y, chartWidth, 2295};
    if (showIT)
        y += 2280;
    l.pack = {true, y, chartWidth, 2295};
    y += 2280;
    l.cell = {true, y, chartWidth, std::max(innerHeight - y - buttonHeight - 120, 0)};
    l.hideButtonTop = y + l.cell.height + 60;
    l.hideButtonLeft = l.width - buttonWidth - 240;
    l.lowerInfoTop = l.hideButtonTop;
    l.fault = {true, 120, chartWidth, 1815};
    return l;
}

}  // namespace kvb::data
