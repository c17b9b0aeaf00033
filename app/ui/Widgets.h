#pragma once
// Small helpers for building windows: placing controls in twips and naming
// control arrays.

#include "app/MainWindowLayout.h"

#include <QString>
#include <QWidget>

namespace kvb::ui {

// Places a widget at a position and size given in twips.
inline void PlaceTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Moves a widget's left edge, in twips, keeping its top.
inline void MoveLeftTwips(QWidget* w, int left)
{
    w->move(Twips(left), w->y());
}

// Creates a child widget of type T with an objectName.
template <typename T, typename... Args>
T* Named(QWidget* parent, const QString& name, Args&&... args)
{
    T* w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    return w;
}

}  // namespace kvb::ui
