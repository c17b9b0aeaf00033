// The main window's fixed pages and polling: the MAIN and MONITOR pages,
// the raw message sender, the polling controls and their dialog.

#include "app/AppContext.h"
#include "app/ui/BalanceUi.h"
#include "app/ui/FrmPollOptions.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/MainTabPage.h"
#include "app/ui/MonitorTabPage.h"
#include "app/ui/PollingControls.h"
#include "app/ui/RawMessageSenderView.h"

#include <QGroupBox>
#include <QPlainTextEdit>

namespace kvb::ui {

void MainKvb71853::wirePages()
{
    link::ChipLink& link = context_.link;
    Prompter& prompter = context_.services.prompter;

    mainTabPage_ = std::make_unique<MainTabPage>(
        MainTabFrames{mainTabFrames[0], mainTabFrames[2], mainTabFrames[3], mainTabFrames[4]}, link,
        context_.pages, prompter);

    monitorTabPage_ =
        std::make_unique<MonitorTabPage>(fraDeviceVoltagesFaults, link, context_.pages, prompter);

    rawSender_ = std::make_unique<RawMessageSenderView>(fraRawMessageSender, link,
                                                        context_.services);

    // Cell balancing: the MAIN page's balance frame and cell buttons, the
    // two balance dialogs, the SPI dialogs and the configuration files.
    balanceUi_ = std::make_unique<BalanceUi>(context_, this, mainTabFrames[1], cboDeviceNumber);
    balanceUi_->bindMainTabPage(*mainTabPage_);
    balanceUi_->refreshDeviceMenu = [this] { RefreshDeviceMenu(); };
    balanceUi_->relayoutTab = [this] { TabStrip1_Click(); };

    frmPollOptions = new FrmPollOptions(context_.polling, link, this);
    pollingControls_ = std::make_unique<PollingControls>(
        PollingWidgets{chkEnablePolling, tbPollingInterval, updnPollingInterval, cmdPollingSetup,
                       Timer2},
        context_.polling, *frmPollOptions, prompter);
    // A tick empties the logs before its commands log their lines: the
    // boxes take the tick's lines in place of the old ones in one step.
    hooks_.own(context_.polling.hooks.clearLogs) = [this] {
        for (int box = 0; box < 3; ++box)
            clearLogBoxLater(box);
    };
}

}  // namespace kvb::ui
