#pragma once
// A window's controls as a user meets them: found by their objectName, the
// main window's tabs and manual configuration, and the modal dialog a
// command brings up, looked at from inside its own event loop and closed
// again.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
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
    if (!window)
        throw std::logic_error("no window to find " + name.toStdString() + " in");
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

// The main window's tab whose text is `name`, made the current one. A
// missing tab throws.
inline void SelectTab(const QObject* window, const QString& name)
{
    auto* tabs = Control<QTabBar>(window, "TabStrip1");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == name) {
            tabs->setCurrentIndex(i);
            return;
        }
    }
    throw std::logic_error("no tab named " + name.toStdString());
}

// The configuration the user makes in the main window's manual
// configuration dialog and accepts: a daisy chain or a single device, the
// devices entry (0 the first type only, 1 the second type only, 2 both) and
// the stack size, typed into its box.
inline void ConfigureManually(const QObject* window, bool daisyChain, int devicesEntry,
                              int stackSize)
{
    auto* dialog = Control<QDialog>(window, "frmManualConfig");
    Control<QRadioButton>(dialog, daisyChain ? "optDaisyChain_1" : "optDaisyChain_0")
        ->setChecked(true);
    Control<QRadioButton>(dialog, QString("optDevices_%1").arg(devicesEntry))->setChecked(true);
    auto* size = Control<QLineEdit>(dialog, "txtStackSize");
    size->setText(QString::number(stackSize));
    emit size->textEdited(size->text());
    dialog->accept();
}

// For a fixture that drives one window: that window's controls, tabs and
// manual configuration, once drive() has named the window.
class WindowDriver {
protected:
    void drive(const QObject* window) { driven_ = window; }

    template <typename T = QWidget>
    T* control(const QString& name) const
    {
        return Control<T>(driven_, name);
    }
    void selectTab(const QString& name) const { SelectTab(driven_, name); }
    void configure(bool daisyChain, int devicesEntry, int stackSize) const
    {
        ConfigureManually(driven_, daisyChain, devicesEntry, stackSize);
    }

private:
    const QObject* driven_ = nullptr;
};

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
