#pragma once
// The editors of a register row that need more than a stock widget: the
// hexadecimal value box, which inserts nothing by itself and hands every key
// and every paste to the row's key rules, and the bare up-down control.

#include <QLineEdit>
#include <QSpinBox>

namespace kvb::ui {

class HexRowEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HexRowEdit(QWidget* parent = nullptr);

signals:
    // A typed character (its character code; 8 Backspace, 27 Escape).
    void keyTyped(int key);
    // The Delete key was released (the box deleted by itself).
    void deleteReleased();
    // Text pasted through the context menu, the mouse or an input method.
    void pasteRequested(const QString& text);
    // The box changed its text by itself in some other way (context-menu cut
    // or delete, undo).
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

// An up-down control: arrows only, 0..16383, step 1, not bound to the value
// box.
class UpDownControl : public QSpinBox {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);
};

}  // namespace kvb::ui
