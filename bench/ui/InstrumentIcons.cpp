#include "bench/ui/InstrumentIcons.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace kvb::ui {

namespace {

constexpr int kSize = 32;

// A yellow instrument button with a round output lamp, lit or dark.
QPixmap outputPicture(bool on)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 100, 0), 1.5));
    p.setBrush(QColor(250, 215, 40));
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 5, 5);
    p.setBrush(on ? QColor(220, 30, 30) : QColor(60, 60, 60));
    p.drawEllipse(QPointF(kSize / 2.0, kSize / 2.0), 7, 7);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 190, 190));
        p.drawEllipse(QPointF(kSize / 2.0 - 2, kSize / 2.0 - 2), 2, 2);
    }
    return pixmap;
}

// A relay contact between two terminals, closed (linked) or lifted (open).
QPixmap relayPicture(bool linked)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink = linked ? QColor(0, 120, 0) : QColor(90, 90, 90);
    p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF left(7, 20), right(25, 20);
    p.drawLine(QPointF(1, 20), left);
    p.drawLine(right, QPointF(kSize - 1, 20));
    if (linked)
        p.drawLine(left, right);
    else
        p.drawLine(left, QPointF(22, 9));
    p.setBrush(ink);
    p.drawEllipse(left, 2.5, 2.5);
    p.drawEllipse(right, 2.5, 2.5);
    return pixmap;
}

}  // namespace

QIcon instrumentIcon(bench::Picture picture, const std::string& programFolder)
{
    // Every image the file holds (an icon file may hold several sizes); none
    // when it is missing or holds no picture.
    QImageReader reader(
        QString::fromStdString(programFolder + "/" + bench::pictureFileName(picture)));
    QIcon fromFile;
    do {
        const QImage image = reader.read();
        if (!image.isNull())
            fromFile.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());
    if (!fromFile.isNull())
        return fromFile;

    switch (picture) {
    case bench::Picture::OutputOff: return QIcon(outputPicture(false));
    case bench::Picture::OutputOn: return QIcon(outputPicture(true));
    case bench::Picture::RelayLinked: return QIcon(relayPicture(true));
    case bench::Picture::RelayOpen: return QIcon(relayPicture(false));
    }
    return {};
}

}  // namespace kvb::ui
