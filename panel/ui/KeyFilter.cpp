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

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();

    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        if (!editKeys_)
            return false;
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
