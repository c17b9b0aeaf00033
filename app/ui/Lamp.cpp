#include "app/ui/Lamp.h"

#include "link/StatusLamps.h"
#include "app/ui/BgrColour.h"

#include <QPainter>

namespace kvb::ui {

Lamp::Lamp(const QString& name, QWidget* parent) : QWidget(parent), colour_(kLampGrey)
{
    setObjectName(name);
    setMinimumSize(12, 12);
}

void Lamp::setColour(int bgr)
{
    if (bgr == colour_)
        return;
    colour_ = bgr;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF r((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(FromBgr(colour_));
    p.drawEllipse(r);
}

}  // namespace kvb::ui
