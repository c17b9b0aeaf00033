#pragma once
// Draws the reduced series of one chart inside its plot area. The chart's
// own line series stay in the chart for their names, colours and legend
// entries but hold no points: the item draws each series' traced columns
// itself, column by column into a picture of the plot area, at a fraction
// of what the chart's per-point line geometry and a general line stroker
// cost. The picture is opaque: it holds the plot's ground and grid under
// the lines, so that a paint copies it rather than blending it over the
// chart's own. The item lies below the axes; it maps its points with the
// plot area in force when it draws, so a relayout of the chart moves the
// lines with it.
//
// The time window is shown moved to whole pixel columns, and the picture is
// kept between paints as a ring in x: a window that moved by k columns
// shows the kept columns k further left and draws only the new ones, and a
// new sample draws only the columns its line changed. What is drawn is the
// same, pixel for pixel, as a drawing of the whole picture.

#include "data/ChartDecimation.h"
#include "data/ChartRaster.h"

#include <QColor>
#include <QGraphicsItem>
#include <QImage>

#include <functional>
#include <utility>
#include <vector>

class QChart;

namespace kvb::ui {

class ChartTraceItem : public QGraphicsItem {
public:
    struct Line {
        QColor colour;
        bool shown = false;
        const data::ChartTrace* trace = nullptr;  // followed for this item's columns
        bool operator==(const Line&) const = default;
    };
    struct Window {
        double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
        bool operator==(const Window&) const = default;
    };

    // The plot's ground: its colour, and the grid's colour and lines across
    // the plot's width and height (tick counts: lines at equal steps from
    // edge to edge; fewer than 2, none).
    struct Ground {
        QColor colour = Qt::white, grid = Qt::lightGray;
        int verticalLines = 0, horizontalLines = 0;
        bool operator==(const Ground&) const = default;
    };

    // Runs steps 0 .. count - 1 of a piece of work once each, on several
    // threads at once where that pays, and returns when all have run.
    using Spreader = std::function<void(size_t count, const std::function<void(size_t)>& step)>;

    explicit ChartTraceItem(QChart* chart);
    void setGround(const Ground& ground) { ground_ = ground; }
    // How a large paint spreads its copy of the picture (by default, all
    // on the painting thread).
    void setSpreader(Spreader spreader) { spreader_ = std::move(spreader); }
    // Whether the item's picture covers its plot area (it has been drawn),
    // so nothing need be painted under it.
    bool covers() const { return drawn_.valid && !layer_.isNull(); }

    std::vector<Line>& lines() { return lines_; }
    // The axis ranges to draw against, on a device of that pixel ratio.
    // The time window shown is the one asked for moved right by less than
    // a column, so that it stands on whole columns of its grid.
    void setWindow(const Window& window, qreal pixelRatio);
    const Window& window() const { return window_; }
    Window shownWindow() const { return shown_; }
    // The columns the picture shows: [firstColumn, firstColumn + columns)
    // of grid(); the traces are followed for these.
    const data::ColumnGrid& grid() const { return grid_; }
    int64_t firstColumn() const { return first_; }
    int columns() const { return layer_.width(); }
    // Draws the whole picture anew at the next drawing.
    void redraw();
    // Drawing ahead of the paint, in parts that may be drawn at once on
    // several threads: beginDrawing() works out which columns changed since
    // the last drawing, asks for their paint and tells how many parts there
    // are to draw (none when the picture stands); drawPart() then draws each
    // part once (a band of columns), before the next paint. Neither touches
    // anything but the item's own picture; drawPart() reads the traces.
    int beginDrawing();
    void drawPart(int part);
    // The columns the parts of the drawing begun cover.
    int64_t columnsToDraw() const;
    // The plot area moved or changed size.
    void followPlotArea();
    // Drawings of the whole picture and of changed columns only, so far.
    int wholeDrawings() const { return wholeDrawings_; }
    int partialDrawings() const { return partialDrawings_; }

    QRectF boundingRect() const override { return QRectF(pixelArea_); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    int ringColumn(int64_t column) const;
    // Copies the exposed part of the picture straight into the image the
    // painter paints on, where it is one of whole device pixels the picture
    // maps onto one to one; false, and nothing copied, otherwise.
    bool copyInto(QPainter* painter, const QRect& exposed) const;
    // Steps of beginDrawing(): the ground's rows and the spans to lay it
    // over; whether nothing of the picture can be kept; the bands of
    // columns to draw (and from where the right part drawn begins); the
    // parts those bands are drawn in.
    void layGround();
    bool mustDrawWhole() const;
    std::vector<std::pair<int64_t, int64_t>> changedColumns(bool whole, const std::vector<int>& oldGridColumns,
                                                            int64_t& from) const;
    void splitIntoParts(std::vector<std::pair<int64_t, int64_t>> ranges);
    void clearColumns(int64_t from, int64_t to);
    // The picture's columns and rows of the grid's lines.
    std::vector<int> gridColumns() const;
    std::vector<int> gridRows() const;

    QChart* chart_;
    QRectF area_;      // the plot area
    QRect pixelArea_;  // the whole pixels it covers
    Window window_, shown_;
    qreal ratio_ = 1;
    std::vector<Line> lines_;
    Ground ground_;
    std::vector<uint32_t> rowGround_;  // each row's colour, grid rows included
    std::vector<uint32_t> plainRow_, gridRow_;  // a row of the ground and of a grid line
    std::vector<int> gridColumns_;
    uint32_t gridColour_ = 0;
    QImage layer_;  // the lines over the ground, a ring in x
    // Of each column of the ring, the rows [lo, hi] that may differ from
    // spanGround_ (its rows' colours): a redraw lays the ground again only
    // there, not over the whole picture. Empty: the picture is new.
    std::vector<int> spanLo_, spanHi_;
    std::vector<uint32_t> spanGround_;
    data::PixelBuffer target_;  // layer_'s pixels
    data::ColumnGrid grid_;
    int64_t first_ = 0;
    double sy_ = 1, top_ = 0;  // value units to the picture's rows
    int thickness_ = 2;
    // What the picture shows now; a drawing that changes any of it but the
    // first column draws whole.
    struct Drawn {
        bool valid = false;
        data::ColumnGrid grid;
        int64_t first = 0;
        double yMin = 0, yMax = 0;
        QSize size;
        qreal ratio = 0;
        std::vector<Line> lines;
        Ground ground;
    };
    Drawn drawn_;
    std::vector<std::pair<int64_t, int64_t>> parts_;  // column bands to draw
    int wholeDrawings_ = 0, partialDrawings_ = 0;
    Spreader spreader_;
};

}  // namespace kvb::ui
