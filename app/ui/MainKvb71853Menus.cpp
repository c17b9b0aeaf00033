// The main window's small menu and button commands: data logging, the chart
// window, configuration files and the SPI dialogs.

#include "app/AppContext.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/BalanceUi.h"
#include "core/AppInfo.h"
#include "data/ui/FrmCharting.h"

#include <QAction>
#include <QPushButton>

namespace kvb::ui {

void MainKvb71853::wireMenus()
{
    connect(cmdLogToFile, &QPushButton::clicked, this, [this] { cmdLogToFile_Click(); });
    // The caption follows the log's state, also when a failed write closes it.
    context_.logging.loggingChanged = [this](bool active) {
        cmdLogToFile->setText(active ? "Stop Data Logging" : "Start Data Logging");
    };
    connect(cmdShowChart, &QPushButton::clicked, this, [this] { cmdShowChart_Click(); });
    connect(mnuSetSpiSpeed, &QAction::triggered, this, [this] { mnuSetSpiSpeed_Click(); });
    connect(mnuSetSpiTimeout, &QAction::triggered, this, [this] { mnuSetSpiTimeout_Click(); });
    // The configuration files belong to the balance bindings, built with the pages.
    connect(mnuLoadConfig, &QAction::triggered, this,
            [this] { balanceUi_->mnuLoadConfig_Click(); });
    connect(mnuSaveConfig, &QAction::triggered, this,
            [this] { balanceUi_->mnuSaveConfig_Click(); });
    connect(mnuLoadEE, &QAction::triggered, this, [this] { balanceUi_->mnuLoadEE_Click(); });
    connect(mnuSaveEE, &QAction::triggered, this, [this] { balanceUi_->mnuSaveEE_Click(); });
}

void MainKvb71853::cmdLogToFile_Click()
{
    data::DataLogging& logging = context_.logging;
    if (!logging.LoggingActive())
        logging.LogStart();
    else
        logging.LogStop();
}

FrmCharting& MainKvb71853::chartWindow()
{
    if (!chartWindow_)
        chartWindow_ = std::make_unique<FrmCharting>(context_.charts, context_.logging,
                                                     context_.services.prompter);
    return *chartWindow_;
}

void MainKvb71853::cmdShowChart_Click()
{
    chartWindow().showChart();
}

void MainKvb71853::mnuSetSpiSpeed_Click()
{
    if (context_.connection.config.result.daisyChain) {
        context_.services.prompter.tell(
            "GUI does not support Daisy Chain Communication with different clock speeds",
            kProgramTitle);
        return;
    }
    balanceUi_->showSpiClockDialog();
}

void MainKvb71853::mnuSetSpiTimeout_Click()
{
    if (!context_.connection.config.result.daisyChain) {
        context_.services.prompter.tell(
            "GUI firmware does not support Non-Daisy Chain (Full Duplex / Synchronous ) "
            "Communication adjustable Timeout function",
            kProgramTitle);
        return;
    }
    balanceUi_->showSpiTimeoutDialog();
}

}  // namespace kvb::ui
