#include "data/ChartRaster.h"
#include "data/ui/ChartTraceItem.h"

#include <QImage>
#include <QPainter>
#include <QtCharts/QChart>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

using kvb::data::ChartPoint;
using kvb::ui::ChartTraceItem;

// A picture drawn in bands, on several threads at once, is the picture of
// each line drawn whole over the plot area, line after line.
TEST(ChartTraceItem, BandsDrawnOnThreadsMakeTheWholePicture)
{
    QChart chart;
    chart.resize(1400, 400);
    const QRectF plot(30.25, 20.5, 1300.5, 300.0);  // not on whole pixels
    chart.setPlotArea(plot);
    ChartTraceItem item(&chart);
    item.followPlotArea();
    const ChartTraceItem::Window window{100.0, 340.0, -1.0, 5.0};
    item.setWindow(window);
    // A dense line as the charts draw, a sparse one whose segments cross
    // the bands' edges, and one that leaps back across half the plot; all
    // begin and end outside the window.
    auto wave = [](int i, double f) { return 2.0 + 2.5 * std::sin(i * f) + ((i * 7919) % 13) * 0.04; };
    ChartTraceItem::Line dense{Qt::red, true, {}}, sparse{Qt::darkGreen, true, {}}, back{Qt::blue, true, {}};
    for (int i = 0; i < 4000; ++i)
        dense.points.push_back({90.0 + i * 0.065, wave(i, 0.05)});
    for (int i = 0; i < 40; ++i)
        sparse.points.push_back({95.0 + i * 6.9, wave(i, 1.1)});
    for (int i = 0; i < 40; ++i)
        back.points.push_back({i < 20 ? 92.0 + i * 6.1 : 40.0 + i * 6.3, wave(i, 0.7)});
    item.lines() = {dense, sparse, back};

    const int parts = item.beginDrawing(1.0);
    ASSERT_GT(parts, 2);
    std::vector<std::thread> threads;
    for (int part = parts - 1; part >= 0; --part)
        threads.emplace_back([&item, part] { item.drawPart(part); });
    for (std::thread& t : threads)
        t.join();
    const QRect pixels = plot.toAlignedRect();
    QImage drawn(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.translate(-pixels.topLeft());
        item.paint(&painter, nullptr, nullptr);  // shows what the parts drew
    }

    QImage expected(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    const double sx = plot.width() / (window.xMax - window.xMin), sy = plot.height() / (window.yMax - window.yMin);
    for (const ChartTraceItem::Line& line : item.lines()) {
        std::vector<ChartPoint> mapped;
        for (const ChartPoint& p : line.points)
            mapped.push_back({plot.left() - pixels.left() + (p.x - window.xMin) * sx,
                              plot.top() - pixels.top() + (window.yMax - p.y) * sy});
        kvb::data::DrawChartLine({reinterpret_cast<uint32_t*>(expected.bits()), expected.width(), expected.height(),
                                  static_cast<int>(expected.bytesPerLine() / 4)},
                                 mapped.data(), mapped.size(), line.colour.rgba(), 2);
    }
    int differ = 0, inked = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            differ += drawn.pixel(x, y) != expected.pixel(x, y);
            inked += qAlpha(expected.pixel(x, y)) != 0;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(inked, 3 * 2 * 1300);  // three lines across the plot
}

}  // namespace
