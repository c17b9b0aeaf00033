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
                                 FrmPollOptions& dialog, Prompter& prompter)
    : QObject(widgets.chkEnablePolling), w_(widgets), poller_(poller), dialog_(dialog),
      prompter_(prompter)
{
    setObjectName("PollingControls");
    QCheckBox* box = w_.chkEnablePolling;
    QTimer* timer = w_.Timer2;

    // The box and the timer show the poller's state; the box's own signal
    // hands a click to the poller, which ignores a value it already has.
    box->setChecked(poller_.pollingOn());
    timer->setInterval(poller_.interval());
    if (poller_.timerRunning())
        timer->start();
    poller_.attachView(this);
    hooks_.onClear([this] { poller_.attachView(nullptr); });

    connect(box, &QCheckBox::toggled, this, [this](bool on) { poller_.setPollingOn(on); });
    connect(timer, &QTimer::timeout, this, [this] { poller_.Timer2_Timer(); });
    connect(w_.tbPollingInterval, &QLineEdit::textChanged, this,
            [this] { tbPollingInterval_Change(); });
    connect(w_.updnPollingInterval, &QSpinBox::valueChanged, this,
            [this](int value) { w_.tbPollingInterval->setText(QString::number(value)); });
    connect(w_.cmdPollingSetup, &QPushButton::clicked, this, [this] { cmdPollingSetup_Click(); });
}

void PollingControls::enableBox(bool ticked)
{
    w_.chkEnablePolling->setChecked(ticked);
}

void PollingControls::timer(bool running)
{
    if (running)
        w_.Timer2->start();
    else
        w_.Timer2->stop();
}

void PollingControls::interval(int milliseconds)
{
    w_.Timer2->setInterval(milliseconds);
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
    poller_.setInterval(*interval);
}

void PollingControls::cmdPollingSetup_Click()
{
    dialog_.exec();
}

}  // namespace kvb::ui
