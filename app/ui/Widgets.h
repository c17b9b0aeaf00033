#pragma once
// Placing the main window's controls in twips; the controls themselves are
// built with the shared kit.

#include "app/MainWindowLayout.h"
#include "core/ui/Widgets.h"

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

}  // namespace kvb::ui
