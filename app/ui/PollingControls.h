#pragma once
// Binds the main window's polling controls to the poller: the interval box
// and its up-down, the "ENABLE POLLING" box, the set-up button and the poll
// timer Timer2. The poller owns whether polling is on and whether the timer
// runs; the box and the timer follow it, and a click on the box is handed to
// it.

#include "app/Polling.h"
#include "core/HookScope.h"

#include <QObject>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace kvb::ui {

class FrmPollOptions;

struct PollingWidgets {
    QCheckBox* chkEnablePolling = nullptr;
    QLineEdit* tbPollingInterval = nullptr;
    QSpinBox* updnPollingInterval = nullptr;
    QPushButton* cmdPollingSetup = nullptr;
    QTimer* Timer2 = nullptr;
};

class PollingControls : public QObject, private PollingView {
    Q_OBJECT
public:
    PollingControls(const PollingWidgets& widgets, Poller& poller, FrmPollOptions& dialog,
                    Prompter& prompter);

    // The interval box changed: the timer takes the clamped interval; a
    // number beyond 16 bits is reported and the interval kept.
    void tbPollingInterval_Change();
    // Opens the polling-options dialog modally.
    void cmdPollingSetup_Click();

private:
    // The box and the timer follow the poller.
    void enableBox(bool ticked) override;
    void timer(bool running) override;
    void interval(int milliseconds) override;

    PollingWidgets w_;
    Poller& poller_;
    HookScope hooks_;
    FrmPollOptions& dialog_;
    Prompter& prompter_;
};

}  // namespace kvb::ui
