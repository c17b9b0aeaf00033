#include "panel/ui/KeyFilter.h"

#include "core/KeyFilters.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace kvb::ui {

KeyFilter::KeyFilter(Kind kind, bool editKeys, QObject* parent)
    : QObject(parent), kind_(kind), editKeys_(editKeys)
{
}

bool KeyFilter::dropsControlCharacter(int key, Qt::KeyboardModifiers mods) const
{
    // Ctrl with a letter (Shift or not, Alt not) types that letter's control
    // character, 1 to 26. The key rules drop it unless it is backspace or
    // carriage return, and a dropped character takes the box's own select,
    // copy and paste with it; other keys with Ctrl act as in any box.
    if (kind_ == Kind::EditKeysOnly || !(mods & Qt::ControlModifier) ||
        (mods & (Qt::AltModifier | Qt::MetaModifier)) || key < Qt::Key_A || key > Qt::Key_Z)
        return false;
    const char control = static_cast<char>(key - Qt::Key_A + 1);
    return (kind_ == Kind::Hex ? HexKeyFilter(control) : DecKeyFilter(control)) == 0;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();

    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        if (!editKeys_)
            return dropsControlCharacter(key->key(), mods);
        EditKey edit = TextBoxEditKeys(key->key(), mods & Qt::ControlModifier,
                                       mods & Qt::ShiftModifier, mods & Qt::AltModifier);
        switch (edit) {
        case EditKey::SelectAll:
            box->selectAll();
            break;
        case EditKey::Copy:
            QApplication::clipboard()->clear();
            QApplication::clipboard()->setText(box->selectedText());
            break;
        case EditKey::Paste:
            // The whole text is replaced, unfiltered.
            box->setText(QApplication::clipboard()->text());
            emit box->textEdited(box->text());
            break;
        case EditKey::None:
            break;
        }
        return true;  // the box's own shortcuts do not act besides
    }

    // Tab moves between boxes; it is the window's key, not a typed character.
    const QString text = key->text();
    if (kind_ == Kind::EditKeysOnly || text.size() != 1 || key->key() == Qt::Key_Backspace ||
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
        key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    const char typed = text.at(0).toLatin1();
    const char passed = kind_ == Kind::Hex ? HexKeyFilter(typed) : DecKeyFilter(typed);
    if (passed == 0)
        return true;  // dropped
    if (passed != typed) {
        box->insert(QString(QChar(passed)));
        emit box->textEdited(box->text());
        return true;
    }
    return false;
}

}  // namespace kvb::ui
