#pragma once
// A window's controls as a user meets them: found by their objectName, and
// the modal dialog a command brings up, looked at from inside its own event
// loop and closed again.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace kvb::test {

// The control of `window` named `name`. A missing one throws, which fails
// the test that asked for it.
template <typename T = QWidget>
T* Control(const QObject* window, const QString& name)
{
    T* found = window->findChild<T*>(name);
    if (!found)
        throw std::logic_error("no control named " + name.toStdString());
    return found;
}

// The user's choice of `entry` in a combo box: selected, then activated.
inline void Choose(QComboBox* combo, int entry)
{
    combo->setCurrentIndex(entry);
    emit combo->activated(entry);
}

// Runs `open`; when it shows a modal window, runs `inside` on it and closes
// it (rejects a dialog). True when one came up. The window is looked for
// until it is up, as the handler may let events run before it shows it; it
// is closed only from inside its own event loop, as one closed while it is
// still being shown would never end its loop.
inline bool WhileModal(const std::function<void()>& open,
                       const std::function<void(QWidget*)>& inside = {})
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    const int outerLoops = QThread::currentThread()->loopLevel();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || QThread::currentThread()->loopLevel() <= outerLoops)
            return;
        poll.stop();
        seen = true;
        if (inside)
            inside(dialog);
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
        else
            dialog->close();
    });
    poll.start();
    open();
    return seen;
}

// The objectName of the modal window `open` brought up, empty when none.
inline QString ModalShownBy(const std::function<void()>& open)
{
    QString name;
    WhileModal(open, [&name](QWidget* dialog) { name = dialog->objectName(); });
    return name;
}

}  // namespace kvb::test
