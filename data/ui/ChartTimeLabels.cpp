#include "data/ui/ChartTimeLabels.h"

#include <QFontMetricsF>
#include <QGraphicsItemGroup>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QTextDocument>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace kvb::ui {

namespace {

// The chart's label layout: each label is a plain text box with a small
// margin round its text, its corner on whole pixels, turned on end about
// its centre, centred on its tick, with its top a padding below the plot's
// edge (the axis line's middle).
constexpr double kTextMargin = 0.5;
constexpr double kLabelPadding = 3.5;

}  // namespace

ChartTimeLabels::ChartTimeLabels(QChart* chart, QValueAxis* axis)
    : QGraphicsItem(chart), chart_(chart), axis_(axis), font_(axis->labelsFont()),
      colour_(axis->labelsBrush().color())
{
    // The box the chart's text layout gives a text: its margin and its
    // height, the same for every text of one line.
    QTextDocument document;
    document.setDefaultFont(font_);
    document.setDocumentMargin(kTextMargin);
    document.setPlainText("0");
    const QFontMetricsF metrics(font_);
    margin_ = (document.size().width() - metrics.horizontalAdvance("0")) / 2;
    boxHeight_ = document.size().height();
    ascent_ = metrics.ascent();
    // The chart's own labels keep their place and size but draw nothing:
    // they are hidden, and were a relayout to show them, transparent.
    axis_->setLabelsColor(Qt::transparent);
    setZValue(chart->zValue() + 10);
    followPlotArea();
}

void ChartTimeLabels::show(bool shown, double min, double max)
{
    if (!shown) {
        if (shown_) {
            shown_ = false;
            update();
        }
        return;
    }
    if (shown_ && min == min_ && max == max_)
        return;
    shown_ = true;
    min_ = min;
    max_ = max;
    const int ticks = axis_->tickCount() > 1 ? axis_->tickCount() : 0;
    const QByteArray format = axis_->labelFormat().toLatin1();
    const QFontMetricsF metrics(font_);
    texts_.resize(static_cast<size_t>(ticks));
    widths_.resize(texts_.size());
    for (size_t i = 0; i < texts_.size(); ++i) {
        // The chart's tick values, in its printf-style format.
        const double value = min + (static_cast<double>(i) * (max - min) / (ticks - 1));
        texts_[i] = QString::asprintf(format.constData(), value);
        widths_[i] = metrics.horizontalAdvance(texts_[i]);
    }
    // The chart's layout of its plot depends on its labels' widths only
    // through the widest (the labels' band under the plot is as high as
    // that label is wide; standing on end, they are all as wide as a line
    // is high): while it stands, its labels need not be laid out again.
    const double widest = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
    const bool laidOut = widest != laidWidest_;
    if (laidOut) {
        axis_->setRange(min, max);
        laidWidest_ = widest;
    }
    hideChartLabels(laidOut);
    update();
}

void ChartTimeLabels::hideChartLabels(bool find)
{
    if (find) {
        // The chart's label items: text items turned as its labels are, in
        // an axis's group of labels (an axis title is not in one).
        chartLabels_.clear();
        const QList<QGraphicsItem*> top = chart_->childItems();
        std::vector<QGraphicsItem*> items(top.begin(), top.end());
        while (!items.empty()) {
            QGraphicsItem* item = items.back();
            items.pop_back();
            for (QGraphicsItem* child : item->childItems())
                items.push_back(child);
            auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (text && text->rotation() == axis_->labelsAngle() &&
                dynamic_cast<QGraphicsItemGroup*>(text->parentItem()))
                chartLabels_.emplace_back(text);
        }
    }
    for (const QPointer<QGraphicsTextItem>& label : chartLabels_)
        if (label && label->isVisible())
            label->setVisible(false);
}

void ChartTimeLabels::followPlotArea()
{
    const QRectF area = chart_->plotArea();
    // A relayout shows the chart's own labels again.
    hideChartLabels(true);
    if (area == area_)
        return;
    prepareGeometryChange();
    area_ = area;
    // The band under the plot down to the chart's foot, as wide as the plot
    // and the halves of the end labels beside it (a repaint of the labels
    // leaves the legend alone).
    bounds_ = QRectF(area.left() - boxHeight_, area.bottom(), area.width() + 2 * boxHeight_,
                     chart_->size().height() - area.bottom());
    update();
}

QRectF ChartTimeLabels::boundingRect() const
{
    return bounds_;
}

void ChartTimeLabels::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (!shown_ || texts_.empty() || area_.isEmpty())
        return;
    painter->setFont(font_);
    painter->setPen(colour_);
    const double steps = static_cast<double>(texts_.size() - 1);
    for (size_t i = 0; i < texts_.size(); ++i) {
        const double width = widths_[i] + 2 * margin_, height = boxHeight_;
        const double tick = area_.left() + static_cast<double>(i) * area_.width() / steps;
        // Standing on end, the box is as high as the text is wide.
        const QPointF corner =
            QPointF(tick - width / 2, area_.bottom() - (height - width) / 2 + kLabelPadding)
                .toPoint();
        const QPointF centre(width / 2, height / 2);
        painter->save();
        painter->translate(corner + centre);
        painter->rotate(axis_->labelsAngle());
        painter->translate(-centre);
        painter->drawText(QPointF(margin_, margin_ + ascent_), texts_[i]);
        painter->restore();
    }
}

}  // namespace kvb::ui
