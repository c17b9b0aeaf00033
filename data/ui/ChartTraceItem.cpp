#include "data/ui/ChartTraceItem.h"

#include "data/ChartRaster.h"

#include <QPainter>
#include <QtCharts/QChart>

#include <algorithm>
#include <cmath>

namespace kvb::ui {

namespace {

// Above the chart's grid (2) and below its axes (3).
constexpr qreal kTraceZ = 2.5;
// Pixels, as thick as the chart theme draws its line series.
constexpr int kLineThickness = 2;

}  // namespace

ChartTraceItem::ChartTraceItem(QChart* chart) : QGraphicsItem(chart), chart_(chart)
{
    setZValue(kTraceZ);
    setAcceptedMouseButtons(Qt::NoButton);
    followPlotArea();
}

void ChartTraceItem::redraw()
{
    layerValid_ = false;
    update();
}

void ChartTraceItem::followPlotArea()
{
    const QRectF area = chart_->plotArea();
    if (area != area_) {
        prepareGeometryChange();
        area_ = area;
        pixelArea_ = area.toAlignedRect();
    }
    redraw();
}

int ChartTraceItem::beginDrawing(qreal pixelRatio)
{
    if (layerValid_ && layer_.devicePixelRatio() == pixelRatio)
        return 0;
    layerValid_ = true;
    const QSize size = pixelArea_.size() * pixelRatio;
    if (layer_.size() != size)
        layer_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    layer_.setDevicePixelRatio(pixelRatio);
    // Taken here, where the picture is not shared, as the parts may be
    // drawn on other threads.
    target_ = {reinterpret_cast<uint32_t*>(layer_.bits()), layer_.width(), layer_.height(),
               static_cast<int>(layer_.bytesPerLine() / 4)};
    const Window& w = window_;
    drawn_.clear();
    if (!area_.isEmpty() && w.xMax > w.xMin && w.yMax > w.yMin) {
        // Axis units to the layer's pixels.
        toPixels_.sx = area_.width() * pixelRatio / (w.xMax - w.xMin);
        toPixels_.sy = area_.height() * pixelRatio / (w.yMax - w.yMin);
        toPixels_.left = (area_.left() - pixelArea_.left()) * pixelRatio;
        toPixels_.top = (area_.top() - pixelArea_.top()) * pixelRatio;
        for (const Line& line : lines_)
            if (line.shown && !line.points.empty())
                drawn_.push_back({&line, std::is_sorted(line.points.begin(), line.points.end(),
                                                        [](const auto& a, const auto& b) { return a.x < b.x; })});
    }
    // Bands a few hundred pixels wide.
    parts_ = std::clamp(layer_.width() / 256, 1, 8);
    return parts_;
}

void ChartTraceItem::drawPart(int part)
{
    const data::PixelBuffer& t = target_;
    const int from = t.width * part / parts_, to = t.width * (part + 1) / parts_;
    if (from >= to)
        return;
    for (int r = 0; r < t.height; ++r)  // transparent
        std::fill_n(t.pixels + static_cast<ptrdiff_t>(r) * t.stride + from, to - from, 0u);
    const int thickness = std::max(static_cast<int>(std::lround(kLineThickness * layer_.devicePixelRatio())), 1);
    const Window& w = window_;
    const Scale& s = toPixels_;
    // The band's columns, a line's width on either side, in axis units.
    const double first = w.xMin + (from - thickness - s.left) / s.sx;
    const double last = w.xMin + (to + thickness - s.left) / s.sx;
    std::vector<data::ChartPoint> pixels;
    for (const Drawn& d : drawn_) {
        const std::vector<data::ChartPoint>& points = d.line->points;
        size_t begin = 0, end = points.size();
        if (d.ascending) {
            // From the last point before the band to the first past it.
            auto before = [](const data::ChartPoint& p, double x) { return p.x < x; };
            auto after = [](double x, const data::ChartPoint& p) { return x < p.x; };
            begin = static_cast<size_t>(std::lower_bound(points.begin(), points.end(), first, before) - points.begin());
            end = static_cast<size_t>(std::upper_bound(points.begin(), points.end(), last, after) - points.begin());
            begin = begin > 0 ? begin - 1 : 0;
            end = std::min(end + 1, points.size());
        }
        pixels.resize(end - begin);
        for (size_t k = begin; k < end; ++k)
            pixels[k - begin] = {s.left + (points[k].x - w.xMin) * s.sx, s.top + (w.yMax - points[k].y) * s.sy};
        data::DrawChartLineColumns(t, pixels.data(), pixels.size(), d.line->colour.rgba(), thickness, from, to);
    }
}

void ChartTraceItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (pixelArea_.isEmpty())
        return;
    const int parts = beginDrawing(painter->device() ? painter->device()->devicePixelRatio() : 1.0);
    for (int part = 0; part < parts; ++part)
        drawPart(part);
    painter->drawImage(pixelArea_.topLeft(), layer_);
}

}  // namespace kvb::ui
