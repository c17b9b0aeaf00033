#include "data/ui/ChartTimeLabels.h"

#include <QApplication>
#include <QImage>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;

namespace {

// A chart as the chart window builds one: time labels standing on end
// under the plot, a value axis beside it.
struct TimeChart {
    QChartView view;
    QChart* chart = new QChart();
    QValueAxis* x = new QValueAxis(chart);
    QValueAxis* y = new QValueAxis(chart);
    TimeChart()
    {
        QFont font = view.font();
        font.setPointSizeF(7);
        x->setLabelFormat("%0.2f");
        x->setLabelsAngle(-90);
        x->setLabelsFont(font);
        y->setLabelsFont(font);
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        y->setRange(0, 5);
        view.setChart(chart);
        view.resize(700, 220);
        view.show();
    }
    QImage picture()
    {
        QApplication::processEvents();
        return view.grab().toImage();
    }
};

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int differ = 0;
    for (int yy = 0; yy < a.height(); ++yy)
        for (int xx = 0; xx < a.width(); ++xx)
            differ += a.pixel(xx, yy) != b.pixel(xx, yy);
    return differ;
}

// The labels drawn by the item look exactly as the chart's own: the same
// texts, in the same places, with the plot where the chart puts it for
// them; through windows whose widest label keeps its width (the chart's own
// labels are not laid out again) and windows where it changes.
TEST(ChartTimeLabels, LookAsTheChartsOwnLabels)
{
    TimeChart own, drawn;
    auto* labels = new ui::ChartTimeLabels(drawn.chart, drawn.x);
    QObject::connect(drawn.chart, &QChart::plotAreaChanged, [labels] { labels->followPlotArea(); });
    struct Window {
        double min, max;
    };
    for (const Window w : {Window{33.19, 273.19}, Window{153.19, 273.19}, Window{3.5, 9.5},
                           Window{-10.125, 990.25}, Window{1000, 1240}}) {
        own.x->setRange(w.min, w.max);
        labels->show(true, w.min, w.max);
        const QImage expected = own.picture();
        const QImage got = drawn.picture();
        EXPECT_EQ(DifferingPixels(expected, got), 0) << w.min << " to " << w.max;
        EXPECT_EQ(drawn.chart->plotArea(), own.chart->plotArea()) << w.min << " to " << w.max;
    }
    ASSERT_EQ(labels->texts().size(), 5u);
    EXPECT_EQ(labels->texts()[0], "1000.00");
    EXPECT_EQ(labels->texts()[1], "1060.00");
    EXPECT_EQ(labels->texts()[4], "1240.00");

    // Hidden, as the chart hides its own.
    own.x->setLabelsVisible(false);
    drawn.x->setLabelsVisible(false);
    labels->show(false, 0, 1);
    EXPECT_EQ(DifferingPixels(own.picture(), drawn.picture()), 0);
    EXPECT_FALSE(labels->shown());
}

}  // namespace
