#pragma once
// Draws the reduced series of one chart inside its plot area. The chart's
// own line series stay in the chart for their names, colours and legend
// entries but hold no points: the item draws the few thousand reduced
// points itself, column by column into an image of the plot area, at a
// fraction of what the chart's per-point line geometry and a general line
// stroker cost. The item lies above the grid and below the axes; it maps
// its points with the plot area in force when it paints, so a relayout of
// the chart moves the lines with it.

#include "data/ChartDecimation.h"
#include "data/ChartRaster.h"

#include <QColor>
#include <QGraphicsItem>
#include <QImage>

#include <vector>

class QChart;

namespace kvb::ui {

class ChartTraceItem : public QGraphicsItem {
public:
    struct Line {
        QColor colour;
        bool shown = false;
        std::vector<data::ChartPoint> points;  // in axis units
    };
    struct Window {
        double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
        bool operator==(const Window&) const = default;
    };

    explicit ChartTraceItem(QChart* chart);

    std::vector<Line>& lines() { return lines_; }
    const Window& window() const { return window_; }
    // The axis ranges the points are drawn against.
    void setWindow(const Window& window) { window_ = window; }
    // Draws the lines anew at the next paint (after lines or window changed).
    void redraw();
    // Drawing ahead of the paint, for a device of that pixel ratio, in parts
    // that may be drawn at once on several threads: beginDrawing() readies
    // the picture if the lines are to be drawn anew and tells how many
    // parts there are to draw (none when the picture stands); drawPart()
    // then draws each part once (a band of columns), before the next paint.
    // Neither touches anything but the item's own lines and picture.
    int beginDrawing(qreal pixelRatio);
    void drawPart(int part);
    // The plot area moved or changed size.
    void followPlotArea();

    QRectF boundingRect() const override { return QRectF(pixelArea_); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:

    QChart* chart_;
    QRectF area_;       // the plot area
    QRect pixelArea_;   // the whole pixels it covers
    Window window_;
    std::vector<Line> lines_;
    QImage layer_;  // the lines over a transparent ground, as big as pixelArea_
    bool layerValid_ = false;
    data::PixelBuffer target_;  // layer_'s pixels
    int parts_ = 1;
    // Axis units to the picture's pixels.
    struct Scale {
        double sx = 1, sy = 1, left = 0, top = 0;
    };
    Scale toPixels_;
    // The lines to draw, and whether each runs from left to right.
    struct Drawn {
        const Line* line;
        bool ascending;
    };
    std::vector<Drawn> drawn_;
};

}  // namespace kvb::ui
