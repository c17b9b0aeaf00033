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
using kvb::data::ChartTrace;
using kvb::ui::ChartTraceItem;

// A picture drawn in bands, on several threads at once, with its ring
// turned by a moved window, is the picture of each traced line drawn whole
// over the plot area, line after line.
TEST(ChartTraceItem, BandsDrawnOnThreadsMakeTheWholePicture)
{
    QChart chart;
    chart.resize(1400, 400);
    const QRectF plot(30.25, 20.5, 1300.5, 300.0);  // not on whole pixels
    chart.setPlotArea(plot);
    ChartTraceItem item(&chart);
    item.followPlotArea();
    // A dense line as the charts draw, a sparse one whose segments cross
    // the bands' edges, and one with a gap of unknown values; all begin
    // and end outside the window.
    auto wave = [](int i, double f) { return 2.0 + 2.5 * std::sin(i * f) + ((i * 7919) % 13) * 0.04; };
    std::vector<double> dense, sparse, gap;
    for (int i = 0; i < 4000; ++i)
        dense.push_back(90.0 + i * 0.065);
    for (int i = 0; i < 40; ++i)
        sparse.push_back(95.0 + i * 6.9);
    ChartTrace traces[3];
    const ChartTraceItem::Window window{100.0, 340.0, -1.0, 5.0};
    item.setWindow(window, 1.0);
    // The window stands on whole columns, a little to the right of the one
    // asked for.
    const ChartTraceItem::Window shown = item.shownWindow();
    EXPECT_GE(shown.xMin, window.xMin);
    EXPECT_LT(shown.xMin, window.xMin + (window.xMax - window.xMin) / plot.width());
    EXPECT_NEAR(shown.xMax - shown.xMin, window.xMax - window.xMin, 1e-9);
    EXPECT_GT(item.firstColumn() % item.columns(), 0);  // the ring is turned
    const int64_t first = item.firstColumn(), end = first + item.columns();
    traces[0].follow({dense.data(), 4000, 0, 1}, item.grid(), first, end, [&](int i) { return wave(i, 0.05); });
    traces[1].follow({sparse.data(), 40, 0, 1}, item.grid(), first, end, [&](int i) { return wave(i, 1.1); });
    traces[2].follow({dense.data(), 4000, 0, 1}, item.grid(), first, end,
                     [&](int i) { return i > 1500 && i < 2500 ? NAN : wave(i, 0.7); });
    const QColor colours[] = {Qt::red, Qt::darkGreen, Qt::blue};
    for (int k = 0; k < 3; ++k)
        item.lines().push_back({colours[k], true, &traces[k]});

    const int parts = item.beginDrawing();
    ASSERT_GT(parts, 2);
    EXPECT_EQ(item.wholeDrawings(), 1);
    std::vector<std::thread> threads;
    for (int part = parts - 1; part >= 0; --part)
        threads.emplace_back([&item, part] { item.drawPart(part); });
    for (std::thread& t : threads)
        t.join();
    const QRect pixels = plot.toAlignedRect();
    QImage drawn(pixels.size(), QImage::Format_RGB32);
    drawn.fill(Qt::black);
    {
        QPainter painter(&drawn);
        painter.translate(-pixels.topLeft());
        item.paint(&painter, nullptr, nullptr);  // shows what the parts drew
    }

    // Over the plot's ground, here plain white, which the picture covers.
    QImage expected(pixels.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    const double sy = plot.height() / (window.yMax - window.yMin);
    for (int k = 0; k < 3; ++k) {
        std::vector<ChartPoint> mapped;
        traces[k].points(first, end, mapped);
        for (ChartPoint& p : mapped)
            p = {item.grid().at(p.x), plot.top() - pixels.top() + (window.yMax - p.y) * sy};
        kvb::data::DrawChartLine({reinterpret_cast<uint32_t*>(expected.bits()), expected.width(), expected.height(),
                                  static_cast<int>(expected.bytesPerLine() / 4), first},
                                 mapped.data(), mapped.size(), colours[k].rgba(), 2);
    }
    int differ = 0, inked = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            differ += drawn.pixel(x, y) != expected.pixel(x, y);
            inked += expected.pixel(x, y) != qRgb(255, 255, 255);
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(inked, 3 * 2 * 1200);  // three lines across the plot

    // Nothing changed: nothing to draw.
    item.setWindow(window, 1.0);
    EXPECT_EQ(item.beginDrawing(), 0);
}

}  // namespace
