#include "app/ui/KeyFieldEdit.h"

#include "app/HexRowEditor.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>

#include <utility>

namespace kvb::ui {

namespace {

// Last line of defence: whatever edit the box makes by itself must leave a
// text the box's key rules would have produced.
class TextRuleValidator : public QValidator {
public:
    TextRuleValidator(std::function<bool(std::string_view)> accepts, QObject* parent)
        : QValidator(parent), accepts_(std::move(accepts))
    {
    }
    State validate(QString& input, int&) const override
    {
        const QByteArray text = input.toLatin1();
        return accepts_(std::string_view(text.data(), static_cast<size_t>(text.size())))
                   ? Acceptable
                   : Invalid;
    }

private:
    std::function<bool(std::string_view)> accepts_;
};

bool isNavigation(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::SelectAll);
    }
}

}  // namespace

KeyFieldEdit::KeyFieldEdit(std::function<bool(std::string_view)> accepts, int maxDigits,
                           QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new TextRuleValidator(std::move(accepts), this));
    setAcceptDrops(false);
    setMaxLength(maxDigits);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!deleting_)
            emit editedByItself();
    });
}

void KeyFieldEdit::keyPressEvent(QKeyEvent* e)
{
    if (isNavigation(e)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        deleting_ = true;
        QLineEdit::keyPressEvent(e);
        deleting_ = false;
        return;
    }
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
        e->ignore();
        return;
    }
    int key = 0;
    if (e->key() == Qt::Key_Backspace)
        key = kKeyBackspace;
    else if (e->key() == Qt::Key_Escape)
        key = kKeyEscape;
    else if (e->text().size() == 1)
        key = e->text().at(0).unicode();
    e->accept();
    if (key != 0)
        emit keyTyped(key);  // a keyboard paste arrives as a control character and is refused
}

void KeyFieldEdit::keyReleaseEvent(QKeyEvent* e)
{
    QLineEdit::keyReleaseEvent(e);
    if (e->key() == Qt::Key_Delete && !e->isAutoRepeat())
        emit deleteReleased();
}

void KeyFieldEdit::contextMenuEvent(QContextMenuEvent* e)
{
    // The box's own menu: its paste goes through the key rules.
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, &QLineEdit::copy);
    copy->setEnabled(hasSelectedText());
    QAction* paste = menu.addAction(
        tr("&Paste"), this, [this] { emit pasteRequested(QGuiApplication::clipboard()->text()); });
    paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &QLineEdit::selectAll);
    menu.exec(e->globalPos());
}

void KeyFieldEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::MiddleButton) {
        // The selection paste of X11 goes through the key rules as well.
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection())
            emit pasteRequested(clipboard->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void KeyFieldEdit::inputMethodEvent(QInputMethodEvent* e)
{
    if (!e->commitString().isEmpty())
        emit pasteRequested(e->commitString());
    e->accept();
}

}  // namespace kvb::ui
