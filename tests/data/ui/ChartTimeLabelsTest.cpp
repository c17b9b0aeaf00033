#include "data/ui/ChartTimeLabels.h"
#include "support/ui/ChartInView.h"

#include <QApplication>
#include <QImage>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;

namespace {

// With the window's label format and face.
struct TimeChart : test::ChartInView {
    TimeChart()
    {
        QFont font = view.font();
        font.setPointSizeF(7);
        x->setLabelFormat("%0.2f");
        x->setLabelsFont(font);
        y->setLabelsFont(font);
        y->setRange(0, 5);
        show();
    }
};

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
        EXPECT_EQ(test::DifferingPixels(expected, got), 0) << w.min << " to " << w.max;
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
    EXPECT_EQ(test::DifferingPixels(own.picture(), drawn.picture()), 0);
    EXPECT_FALSE(labels->shown());
}

}  // namespace
