#pragma once
// A chart alone in a view, as the chart window builds its charts: time
// labels standing on end under the plot, a value axis beside it; and how
// many pixels two pictures of it differ in. For the tests of the items that
// draw parts of a chart in its stead.

#include <QApplication>
#include <QImage>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

namespace kvb::test {

struct ChartInView {
    QChartView view;
    QChart* chart = new QChart();
    QValueAxis* x = new QValueAxis(chart);
    QValueAxis* y = new QValueAxis(chart);
    ChartInView()
    {
        x->setLabelsAngle(-90);
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
    }
    void show()
    {
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

inline int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int differ = 0;
    for (int row = 0; row < a.height(); ++row)
        for (int column = 0; column < a.width(); ++column)
            differ += a.pixel(column, row) != b.pixel(column, row);
    return differ;
}

}  // namespace kvb::test
