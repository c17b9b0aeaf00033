#pragma once
// A value box that inserts nothing by itself: every typed character goes to
// its owner's key rules (keyTyped), which set the text and caret back. The
// Delete key deletes as usual and is reported when released; arrow keys,
// Home and End move the caret.

#include <QLineEdit>

namespace kvb::ui {

class KeyFieldEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit KeyFieldEdit(QWidget* parent = nullptr);

signals:
    void keyTyped(int key);  // character code; 8 Backspace, 27 Escape
    void deleteReleased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

}  // namespace kvb::ui
