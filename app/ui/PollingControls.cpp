#include "app/ui/PollingControls.h"

#include "app/ui/FrmPollOptions.h"
#include "core/UnexpectedError.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <stdexcept>

namespace kvb::ui {

PollingControls::PollingControls(const PollingWidgets& widgets, Poller& poller,
                                 link::ChipLink& link, FrmPollOptions& dialog, Prompter& prompter)
    : QObject(widgets.chkEnablePolling), w_(widgets), poller_(poller), dialog_(dialog),
      prompter_(prompter)
{
    setObjectName("PollingControls");
    QCheckBox* box = w_.chkEnablePolling;
    QTimer* timer = w_.Timer2;

    link.hooks.pollingTicked = [box] { return box->isChecked(); };
    link.hooks.untickPolling = [box] { box->setChecked(false); };
    link.hooks.setPollTimer = [timer](bool on) {
        if (on)
            timer->start();
        else
            timer->stop();
    };
    poller_.hooks.pollTimerRunning = [timer] { return timer->isActive(); };
    poller_.hooks.tickPolling = [box] { box->setChecked(true); };

    connect(box, &QCheckBox::toggled, this, [this](bool on) { poller_.chkEnablePolling_Click(on); });
    connect(timer, &QTimer::timeout, this, [this] { poller_.Timer2_Timer(); });
    connect(w_.tbPollingInterval, &QLineEdit::textChanged, this,
            [this] { tbPollingInterval_Change(); });
    connect(w_.updnPollingInterval, &QSpinBox::valueChanged, this,
            [this](int value) { w_.tbPollingInterval->setText(QString::number(value)); });
    connect(w_.cmdPollingSetup, &QPushButton::clicked, this, [this] { cmdPollingSetup_Click(); });
}

void PollingControls::tbPollingInterval_Change()
{
    const std::optional<int> interval =
        PollIntervalFromBox(w_.tbPollingInterval->text().toStdString());
    if (!interval) {
        ReportUnexpectedError(prompter_, "tbPollingInterval_Change",
                              std::overflow_error("Overflow"));
        return;
    }
    w_.Timer2->setInterval(*interval);
}

void PollingControls::cmdPollingSetup_Click()
{
    dialog_.exec();
}

}  // namespace kvb::ui
