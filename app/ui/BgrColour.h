#pragma once
// Colours are kept as 0x00BBGGRR values (red in the low byte); the widgets
// paint them as QColor.

#include <QColor>

namespace kvb::ui {

inline QColor FromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline int ToBgr(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

}  // namespace kvb::ui
