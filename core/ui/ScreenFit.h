#pragma once
// How every window and dialog of the program opens on its screen (the rule
// itself is FitWindow's), and the scrolling area that keeps a tall window's
// content whole on a low screen.

#include <QScrollArea>

class QMessageBox;

namespace kvb::ui {

// A window's content in an area that scrolls it down when the window is
// lower than the content's least height, and never sideways: the area is
// never narrower than the content's least width. It asks for the content's
// own size.
class ScrollingContent : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollingContent(QWidget* content, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The least size of the content, and the width of the bar it scrolls
    // with.
    QSize contentLeast() const;
    int barWidth() const;
};

// Opens `window` on its screen when it is first shown: at the size it has
// then where the screen's available area holds that size with the window's
// frame, else at the available area, always inside the area; a window with
// a parent is centred on the parent. With `content` (the area that holds
// all of the window's content) the window keeps the content's least size,
// except that on a screen lower than that the window fits the screen and
// the content scrolls down. Once the window manager has framed the window,
// the window is brought inside the area again if its real frame puts it
// partly outside.
void OpenOnScreen(QWidget* window, ScrollingContent* content = nullptr);

// Widens a message box so that its title bar shows its title whole.
void WidenForTitle(QMessageBox& box);

}  // namespace kvb::ui
