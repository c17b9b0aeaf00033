#pragma once
// The time labels under a chart's plot. The chart lays out each label's
// text anew (as rich text) whenever its axis's range changes, and a time
// zoom changes the range of all five charts' axes: that cost more than
// reducing and drawing all their lines. So the chart's own time labels stay
// laid out but unseen (hidden, and transparent should the chart show them
// again), and are laid out again only when the widest label's width
// changes, which is all the chart's layout depends on: the plot area stays
// where the chart puts it for the texts shown. This item draws the texts
// itself, standing on end where the chart places its labels, in the
// chart's label font and colour.

#include <QColor>
#include <QFont>
#include <QGraphicsItem>
#include <QGraphicsTextItem>
#include <QPointer>
#include <QString>

#include <vector>

class QChart;
class QValueAxis;

namespace kvb::ui {

class ChartTimeLabels : public QGraphicsItem {
public:
    // Takes over the labels of `axis`, the chart's bottom axis, keeping
    // their font and colour.
    ChartTimeLabels(QChart* chart, QValueAxis* axis);

    // The window [min, max] the labels show, and whether they show; lays
    // out the chart's own labels again when the widest label's width
    // changes.
    void show(bool shown, double min, double max);
    bool shown() const { return shown_; }
    double min() const { return min_; }
    double max() const { return max_; }
    const std::vector<QString>& texts() const { return texts_; }

    // Follows a relayout of the chart.
    void followPlotArea();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    // Hides the chart's own label items, found again first when `find`.
    void hideChartLabels(bool find);
    QChart* chart_;
    QValueAxis* axis_;
    QFont font_;
    QColor colour_;
    bool shown_ = false;
    double min_ = 0, max_ = 0;
    std::vector<QString> texts_;
    std::vector<double> widths_;                      // of the texts
    double laidWidest_ = -1;                          // of the chart's own labels as last laid out
    double margin_ = 0, boxHeight_ = 0, ascent_ = 0;  // of a label's text box
    std::vector<QPointer<QGraphicsTextItem>> chartLabels_;
    QRectF area_;  // the plot area
    QRectF bounds_;
};

}  // namespace kvb::ui
