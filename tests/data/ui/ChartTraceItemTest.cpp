#include "data/ChartRaster.h"
#include "data/ui/ChartTraceItem.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtCharts/QChart>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
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

// A paint on an image of the picture's own pixels copies the picture into
// it straight, spread over threads when large; what it shows is what the
// painter's own copy shows (on an image of another format), and it writes
// nothing outside the region being painted or the part of the plot exposed.
TEST(ChartTraceItem, ThePictureCopiedStraightIntoAnImageIsThePaintersCopy)
{
    QChart chart;
    chart.resize(2000, 1000);
    const QRectF plot(30.25, 20.5, 1900.5, 900.0);
    chart.setPlotArea(plot);
    ChartTraceItem item(&chart);
    item.followPlotArea();
    std::vector<double> x;
    for (int i = 0; i < 6000; ++i)
        x.push_back(90.0 + i * 0.05);
    ChartTrace trace;
    item.setWindow({100.0, 340.0, -1.0, 5.0}, 1.0);
    ASSERT_GT(item.firstColumn() % item.columns(), 0);  // the ring is turned
    trace.follow({x.data(), 6000, 0, 1}, item.grid(), item.firstColumn(), item.firstColumn() + item.columns(),
                 [](int i) { return 2.0 + 2.5 * std::sin(i * 0.01) + ((i * 7919) % 13) * 0.04; });
    item.lines().push_back({Qt::red, true, &trace});
    for (int part = 0, n = item.beginDrawing(); part < n; ++part)
        item.drawPart(part);
    // Steps taken on threads of their own, in reverse.
    int spreads = 0;
    item.setSpreader([&spreads](size_t count, const std::function<void(size_t)>& step) {
        ++spreads;
        std::vector<std::thread> threads;
        for (size_t k = count; k-- > 0;)
            threads.emplace_back([&step, k] { step(k); });
        for (std::thread& t : threads)
            t.join();
    });

    // Painted moved by whole pixels, into part of the plot (the option's
    // exposed rectangle) and inside a region of two rectangles (the
    // system's clip, as a widget's paint sets it): over a million pixels,
    // so that the copy is spread.
    const QPoint moved(7, 5);
    QStyleOptionGraphicsItem option;
    option.exposedRect = QRectF(200.5, 0, 1700, 880);
    const QRegion painted = QRegion(0, 0, 1300, 1000) + QRegion(1400, 300, 600, 700);
    auto paint = [&](QImage::Format format) {
        QImage image(2000, 1000, format);
        image.fill(Qt::magenta);
        image.paintEngine()->setSystemClip(painted);
        {
            QPainter painter(&image);
            painter.translate(moved);
            item.paint(&painter, &option, nullptr);
        }
        return image.convertToFormat(QImage::Format_RGB32);
    };
    const QImage straight = paint(QImage::Format_RGB32);
    EXPECT_EQ(spreads, 1);
    const QImage painters = paint(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(spreads, 1);  // the painter's copy is not the item's to spread
    int differ = 0, outside = 0, copied = 0;
    const QRect shown = plot.toAlignedRect().intersected(option.exposedRect.toAlignedRect()).translated(moved);
    for (int y = 0; y < straight.height(); ++y)
        for (int c = 0; c < straight.width(); ++c) {
            differ += straight.pixel(c, y) != painters.pixel(c, y);
            const bool allowed = painted.contains(QPoint(c, y)) && shown.contains(c, y);
            outside += !allowed && straight.pixel(c, y) != qRgb(255, 0, 255);
            copied += allowed && straight.pixel(c, y) != qRgb(255, 0, 255);
        }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(copied, 1024 * 1024);
}

}  // namespace
