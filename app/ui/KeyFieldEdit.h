#pragma once
// A value box that inserts nothing by itself: every typed character, and
// every paste (context menu, middle click, input method), goes to its
// owner's key rules, which set the text and caret back. The Delete key
// deletes as usual and is reported when released; arrow keys, Home, End,
// copy and select-all work as usual. Whatever edit the box still makes by
// itself must leave a text its rules accept.

#include <QLineEdit>

#include <functional>
#include <string_view>

namespace kvb::ui {

class KeyFieldEdit : public QLineEdit {
    Q_OBJECT
public:
    // `accepts` tells the texts the box may hold; `maxDigits` is its width.
    KeyFieldEdit(std::function<bool(std::string_view)> accepts, int maxDigits,
                 QWidget* parent = nullptr);

signals:
    // A typed character (its character code; 8 Backspace, 27 Escape).
    void keyTyped(int key);
    // The Delete key was released (the box deleted by itself).
    void deleteReleased();
    // Text pasted through the context menu, the mouse or an input method.
    void pasteRequested(const QString& text);
    // The box changed its text by itself in some other way.
    void editedByItself();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool deleting_ = false;
};

}  // namespace kvb::ui
