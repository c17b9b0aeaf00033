#pragma once
// The lines and ticks of a chart's axes. The chart draws them with a
// hairline pen a pixel at a time, whenever a repaint crosses them, and a
// zoom repaints the band under every plot: the lines along it took a
// quarter of the paint. So the chart's own lines stay laid out but unseen,
// and this item fills the same pixels: a hairline between points (x1, y)
// and (x2, y) covers the pixels of columns floor(x1) to floor(x2) in row
// floor(y), and an upright one likewise. Lines a device pixel wide only:
// other pens are left to the chart.

#include <QColor>
#include <QGraphicsItem>
#include <QLineF>

#include <vector>

class QChart;
class QValueAxis;

namespace kvb::ui {

class ChartAxisLines : public QGraphicsItem {
public:
    ChartAxisLines(QChart* chart, std::vector<QValueAxis*> axes);

    // Draws the axes' lines here when their pens are hairlines, and lets
    // the chart draw them otherwise.
    void takeOver(bool hairlines);
    bool takenOver() const { return takenOver_; }
    // Follows a relayout of the chart.
    void followPlotArea();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    struct Line {
        QLineF line;  // in this item's coordinates
        QColor colour;
    };
    QChart* chart_;
    std::vector<QValueAxis*> axes_;
    bool takenOver_ = false;
    std::vector<Line> lines_;
    QRectF bounds_;
};

}  // namespace kvb::ui
