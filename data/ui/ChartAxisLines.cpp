#include "data/ui/ChartAxisLines.h"

#include <QGraphicsItemGroup>
#include <QGraphicsLineItem>
#include <QPainter>
#include <QPen>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace kvb::ui {

namespace {

// The chart's axes stand above its grid, at this height.
constexpr qreal kAxisZ = 3;

bool IsHairline(const QPen& pen)
{
    return pen.style() == Qt::SolidLine && pen.widthF() == 0 && pen.isCosmetic() &&
           pen.brush().style() == Qt::SolidPattern;
}

}  // namespace

ChartAxisLines::ChartAxisLines(QChart* chart, std::vector<QValueAxis*> axes)
    : QGraphicsItem(chart), chart_(chart), axes_(std::move(axes))
{
    setZValue(kAxisZ);  // made after the chart's axes: above them, as their lines were
    setAcceptedMouseButtons(Qt::NoButton);
}

void ChartAxisLines::takeOver(bool hairlines)
{
    for (QValueAxis* axis : axes_)
        hairlines = hairlines && IsHairline(axis->linePen());
    if (hairlines == takenOver_)
        return;
    takenOver_ = hairlines;
    for (QValueAxis* axis : axes_)
        axis->setLineVisible(!takenOver_);
    followPlotArea();
}

void ChartAxisLines::followPlotArea()
{
    std::vector<Line> lines;
    if (takenOver_) {
        // The axes' line items are the chart's line items drawn with an
        // axis's line pen, in stacking order.
        std::vector<QPen> pens;
        for (QValueAxis* axis : axes_)
            pens.push_back(axis->linePen());
        for (QGraphicsItem* top : chart_->childItems()) {
            if (!dynamic_cast<QGraphicsItemGroup*>(top))
                continue;
            for (QGraphicsItem* item : top->childItems()) {
                auto* line = dynamic_cast<QGraphicsLineItem*>(item);
                if (!line || std::find(pens.begin(), pens.end(), line->pen()) == pens.end())
                    continue;
                const QLineF l(mapFromItem(line, line->line().p1()),
                               mapFromItem(line, line->line().p2()));
                if (l.x1() == l.x2() || l.y1() == l.y2())
                    lines.push_back({l, line->pen().color()});
            }
        }
    }
    QRectF bounds;
    for (const Line& l : lines)
        bounds |= QRectF(l.line.p1(), l.line.p2()).normalized().adjusted(-1, -1, 2, 2);
    if (bounds != bounds_) {
        prepareGeometryChange();
        bounds_ = bounds;
    }
    lines_ = std::move(lines);
    update();
}

QRectF ChartAxisLines::boundingRect() const
{
    return bounds_;
}

void ChartAxisLines::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (lines_.empty())
        return;
    // The pixels are found where the chart's pen finds them: on the device.
    const QTransform toDevice = painter->worldTransform();
    if (toDevice.type() > QTransform::TxTranslate) {
        for (const Line& l : lines_) {
            painter->setPen(QPen(l.colour, 0));
            painter->drawLine(l.line);
        }
        return;
    }
    painter->save();
    painter->resetTransform();
    for (const Line& l : lines_) {
        const QPointF a = toDevice.map(l.line.p1()), b = toDevice.map(l.line.p2());
        const auto floorOf = [](double v) { return static_cast<int>(std::floor(v)); };
        const QRect pixels(
            QPoint(floorOf(std::min(a.x(), b.x())), floorOf(std::min(a.y(), b.y()))),
            QPoint(floorOf(std::max(a.x(), b.x())), floorOf(std::max(a.y(), b.y()))));
        painter->fillRect(pixels, l.colour);
    }
    painter->restore();
}

}  // namespace kvb::ui
