#include "data/ui/ChartAxisLines.h"
#include "support/ui/ChartInView.h"

#include <QApplication>
#include <QImage>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

using namespace kvb;

namespace {

// With hairline axes, as the chart window draws them.
struct AxisChart : test::ChartInView {
    explicit AxisChart(bool takenOver)
    {
        auto* series = new QLineSeries(chart);  // the chart draws the axes of its series
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        for (QValueAxis* axis : {x, y}) {
            QPen hairline = axis->linePen();
            hairline.setWidthF(0);
            axis->setLinePen(hairline);
        }
        if (takenOver) {
            auto* lines = new ui::ChartAxisLines(chart, {x, y});
            QObject::connect(chart, &QChart::plotAreaChanged, [lines] { lines->followPlotArea(); });
            lines->takeOver(true);
            EXPECT_TRUE(lines->takenOver());
            EXPECT_FALSE(x->isLineVisible());
        }
        show();
    }
};

// The lines and ticks filled by the item look exactly as the chart draws
// them, through sizes and ranges that put them at fractions of a pixel, a
// relayout that adds ticks, and the grid (not an axis line) left alone.
TEST(ChartAxisLines, LookAsTheChartsOwnLines)
{
    AxisChart own(false), drawn(true);
    struct Case {
        double min, max;
        QSize size;
        int ticks;
    };
    for (const Case& k : {Case{0, 5, {700, 220}, 5}, Case{33.19, 273.19, {700, 220}, 5},
                          Case{-3.7, 1.1, {913, 187}, 5}, Case{0, 1, {1533, 441}, 3},
                          Case{0, 1000, {1519, 130}, 9}, Case{0, 1000, {641, 97}, 5}}) {
        for (AxisChart* c : {&own, &drawn}) {
            c->x->setRange(k.min, k.max);
            c->y->setRange(k.min * 2, k.max * 2);
            c->x->setTickCount(k.ticks);
            c->y->setTickCount(k.ticks);
            c->view.resize(k.size);
        }
        const QImage expected = own.picture(), got = drawn.picture();
        EXPECT_EQ(test::DifferingPixels(expected, got), 0)
            << k.min << " to " << k.max << " at " << k.size.width() << "x" << k.size.height()
            << ", " << k.ticks << " ticks";
        EXPECT_EQ(drawn.chart->plotArea(), own.chart->plotArea());
    }
}

// Lines a device pixel wide are left to the chart: only hairlines are
// filled here.
TEST(ChartAxisLines, WiderPensStayWithTheChart)
{
    AxisChart c(false);
    QPen wide = c.x->linePen();
    wide.setWidthF(1);
    c.x->setLinePen(wide);
    ui::ChartAxisLines lines(c.chart, {c.x, c.y});
    lines.takeOver(true);
    EXPECT_FALSE(lines.takenOver());
    EXPECT_TRUE(c.x->isLineVisible());
    EXPECT_TRUE(c.y->isLineVisible());
}

}  // namespace
