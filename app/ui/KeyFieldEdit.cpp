#include "app/ui/KeyFieldEdit.h"

#include <QKeyEvent>

namespace kvb::ui {

KeyFieldEdit::KeyFieldEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void KeyFieldEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
        QLineEdit::keyPressEvent(e);
        return;
    case Qt::Key_Backspace:
        emit keyTyped(8);
        return;
    case Qt::Key_Escape:
        emit keyTyped(27);
        return;
    default:
        break;
    }
    const QString text = e->text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 127)
        emit keyTyped(text[0].unicode());
    else
        e->ignore();
}

void KeyFieldEdit::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete)
        emit deleteReleased();
    QLineEdit::keyReleaseEvent(e);
}

}  // namespace kvb::ui
