#include "data/ui/ChartTraceItem.h"

#include "data/ChartRaster.h"

#include <QPainter>
#include <QtCharts/QChart>

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

void ChartTraceItem::drawLayer(qreal pixelRatio)
{
    const QSize size = pixelArea_.size() * pixelRatio;
    if (layer_.size() != size)
        layer_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    layer_.setDevicePixelRatio(pixelRatio);
    layer_.fill(Qt::transparent);
    const Window& w = window_;
    if (area_.isEmpty() || !(w.xMax > w.xMin) || !(w.yMax > w.yMin))
        return;
    // Axis units to the layer's pixels.
    const double sx = area_.width() * pixelRatio / (w.xMax - w.xMin);
    const double sy = area_.height() * pixelRatio / (w.yMax - w.yMin);
    const double left = (area_.left() - pixelArea_.left()) * pixelRatio;
    const double top = (area_.top() - pixelArea_.top()) * pixelRatio;
    const data::PixelBuffer target{reinterpret_cast<uint32_t*>(layer_.bits()), layer_.width(),
                                   layer_.height(), static_cast<int>(layer_.bytesPerLine() / 4)};
    for (const Line& line : lines_) {
        if (!line.shown || line.points.empty())
            continue;
        scratch_.resize(line.points.size());
        for (size_t k = 0; k < line.points.size(); ++k)
            scratch_[k] = {left + (line.points[k].x - w.xMin) * sx, top + (w.yMax - line.points[k].y) * sy};
        const int thickness = std::max(static_cast<int>(std::lround(kLineThickness * pixelRatio)), 1);
        data::DrawChartLine(target, scratch_.data(), scratch_.size(), line.colour.rgba(), thickness);
    }
}

void ChartTraceItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (pixelArea_.isEmpty())
        return;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    if (!layerValid_ || layer_.devicePixelRatio() != ratio) {
        drawLayer(ratio);
        layerValid_ = true;
    }
    painter->drawImage(pixelArea_.topLeft(), layer_);
}

}  // namespace kvb::ui
