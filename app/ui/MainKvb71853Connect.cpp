// The main window's connection: configuration, connect, disconnect, the
// register-definition file, and the link's view of the window.

#include "app/AppContext.h"
#include "app/ui/FrmManualConfig.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/RegisterRowsView.h"
#include "app/RegisterRowActions.h"
#include "app/ui/DeviceCommandsFrame.h"
#include "app/ui/Lamp.h"
#include "app/ui/LampPanel.h"
#include "app/ui/MainTabPage.h"
#include "app/ui/MonitorTabPage.h"
#include "app/ui/PendingRefresh.h"
#include "app/ui/RawMessageSenderView.h"
#include "link/RegisterDefinitionFile.h"
#include "link/ui/FrmErrorLog.h"
#include "link/StatusLamps.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTimer>

namespace kvb::ui {

void MainKvb71853::wireLink()
{
    link::ChipLink& link = context_.link;
    // The pages refresh after every answer, and after every row change while
    // they are shown; during a poll tick the refreshes are gathered into one
    // that runs before the window can show anything.
    auto whileTicking = [this] { return context_.polling.ticking(); };
    mainPageRefresh_ = new PendingRefresh(
        this,
        [this] {
            if (mainTabPage_ && !mainTabFrames[0]->isHidden())
                mainTabPage_->UpdateMainTabDeviceStatusControls();
        },
        whileTicking);
    monitorPageRefresh_ = new PendingRefresh(
        this,
        [this] {
            if (monitorTabPage_ && !fraDeviceVoltagesFaults[0]->isHidden())
                monitorTabPage_->UpdateMonitorTabControls();
        },
        whileTicking);
    link.attachView(&linkView_);
    hooks_.onClear([&link] { link.attachView(nullptr); });
    hooks_.own(context_.polling.hooks.tickEnded) = [this] {
        mainPageRefresh_->flush();
        monitorPageRefresh_->flush();
    };
    connect(mnuShowActivityLogs, &QAction::toggled, this,
            [this](bool on) { context_.link.setShowActivityLogs(on); });
    connect(mnuUpdateGUIControls, &QAction::toggled, this,
            [this](bool on) { context_.link.setUpdateGuiControls(on); });

    rowsView->attachPages(&pagesView_);
    hooks_.onClear([this] { rowsView->attachPages(nullptr); });

    // The link's two log windows come up by themselves when a line arrives.
    frmComErrors_ =
        std::make_unique<FrmErrorLog>(link.log.comErrors, link.PartName1, "frmComErrors");
    frmFaultStatusLog_ =
        std::make_unique<FrmErrorLog>(link.log.faultStatus, link.PartName1, "frmFaultStatusLog");

    frmManualConfig = new FrmManualConfig(this);
    wireConnection();
    connect(frmManualConfig, &QDialog::accepted, this, [this] { ManualConfigAccepted(); });
    connect(frmManualConfig, &QDialog::rejected, this,
            [this] { context_.connection.CancelButton_Click(); });
    connect(cmdConnect, &QPushButton::clicked, this, [this] { cmdConnect_Click(); });
    connect(cmdDisconnect, &QPushButton::clicked, this, [this] { cmdDisconnect_Click(); });
    connect(mnuManualConfig, &QAction::triggered, this, [this] { mnuManualConfig_Click(); });
}

void MainKvb71853::wireCommands()
{
    link::ChipLink& link = context_.link;
    // Lamps follow the link's lamp state.
    hooks_.own(link.lamps.changed) = [this](LampId id, int colour) {
        if (lampPanel->apply(id, colour))
            return;
        if (id == LampId::UsbConnected)
            ledUSBConnected->setColour(colour);
        else if (id == LampId::Polling)
            ledPolling->setColour(colour);
        else if (id == LampId::UprStatus)
            ledUPRStatus->setColour(colour);
    };

    rowActions = std::make_unique<RegisterRowActions>(link, rowsView->rows(), context_.services);
    BindRegisterRowButtons(*rowsView, *rowActions);
    BindUprReadButtons(cmdUPRRead, context_.upr);

    ChipCommands& commands = context_.commands;
    commands.attachView(&commandView_);
    hooks_.onClear([&commands] { commands.attachView(nullptr); });
}

bool MainKvb71853::CommandViewOfWindow::updateChart() const
{
    return w_.mnuUpdateChart->isChecked();
}

void MainKvb71853::CommandViewOfWindow::addChartSample()
{
    w_.context_.charts.AddNewVoltageDataToChartArray(w_.context_.link.image,
                                                     w_.context_.services.clock);
}

void MainKvb71853::CommandViewOfWindow::relayoutTab()
{
    w_.TabStrip1_Click();
}

void MainKvb71853::CommandViewOfWindow::selectTab(int position)
{
    w_.TabStrip1->setCurrentIndex(position - 1);
}

bool MainKvb71853::PagesOfWindow::mainPageShown() const
{
    return !w_.mainTabFrames[0]->isHidden();
}

void MainKvb71853::PagesOfWindow::refreshMainPage()
{
    w_.mainPageRefresh_->request();
}

bool MainKvb71853::PagesOfWindow::monitorPageShown() const
{
    return !w_.fraDeviceVoltagesFaults[0]->isHidden();
}

void MainKvb71853::PagesOfWindow::refreshMonitorPage()
{
    w_.monitorPageRefresh_->request();
}

void MainKvb71853::LinkViewOfWindow::showRegisterValue(int reg, int16_t value)
{
    w_.showRegisterValue(reg, value);
}

void MainKvb71853::LinkViewOfWindow::refreshMainTab()
{
    if (!w_.mainTabFrames[0]->isHidden())
        w_.mainPageRefresh_->request();
}

void MainKvb71853::LinkViewOfWindow::refreshMonitorTab()
{
    if (!w_.fraDeviceVoltagesFaults[0]->isHidden())
        w_.monitorPageRefresh_->request();
}

void MainKvb71853::LinkViewOfWindow::appendLog(const std::string& text)
{
    w_.AddToEvbLog(QString::fromStdString(text), QString());
}

void MainKvb71853::LinkViewOfWindow::clearLog()
{
    w_.clearLogBox(0);
}

void MainKvb71853::LinkViewOfWindow::appendHexLog(int type, const std::string& text)
{
    w_.AppendHexLog(type, QString::fromStdString(text));
}

void MainKvb71853::showRegisterValue(int reg, int16_t value)
{
    if (rowsScroll->isHidden())
        return;
    for (int row : rowsView->rowsShowing(reg))
        rowsView->setRowValue(row, value);
}

// --- Register-definition file -------------------------------------------------

void MainKvb71853::applyTypeControls()
{
    link::TypeControlsPlan plan = link::PlanTypeControls(context_.link.PartName2);
    opt53960->setText(QString::fromStdString(plan.typeZeroOption));
    mnuKVB53960->setTitle(QString::fromStdString(plan.typeZeroLabel));
    lbl53960HexLog->setText(QString::fromStdString(plan.typeZeroLabel));
    // "NONE" hides every type-1 control; any other name, also "NA" before
    // the first configuration and the empty name of a configuration without
    // a type-1 device, shows them under that name.
    const bool typeOne = !plan.hideTypeOne;
    opt53961->setVisible(typeOne);
    if (typeOne) {
        const QString caption = QString::fromStdString(plan.typeOneCaption);
        opt53961->setText(caption);
        mnuKVB53961->setTitle(caption);
        lbl53961HexLog->setText(caption);
    }
    const bool hexLog = typeOne && plan.showTypeOneHexLog;
    txt53961HexLog->setVisible(hexLog);
    cmdClear53961HexLog->setVisible(hexLog);
    lbl53961HexLog->setVisible(hexLog);
    lampPanel->setSecondTypeShown(typeOne);
    const QString typeZeroLabel = QString::fromStdString(plan.typeZeroLabel);
    const QString typeOneLabel = QString::fromStdString(plan.typeOneCaption);
    mainTabPage_->setPartNames(typeZeroLabel, typeOne, typeOneLabel);
    monitorTabPage_->setPartNames(typeZeroLabel, typeOne, typeOneLabel);
    if (typeOne)
        lampPanel->setTypeCaption(1, QString::fromStdString(plan.typeOneCaption));
    lampPanel->setTypeCaption(0, QString::fromStdString(plan.typeZeroLabel));
}

void MainKvb71853::ParseTabsefsCreateTabs()
{
    link::ChipLink& link = context_.link;
    const std::string path = context_.programFolder + "/" + link::kTabdefsFileName;
    link::RegisterFileResult result =
        link::LoadTabdefs(context_.services, path, link.definitions, link.image,
                          [&link](const std::string& line) { link.log.AddToEvbLog(line); });
    if (!result.ok())
        return;
    if (result.titleBarSeen)
        setWindowTitle(QString::fromStdString(link::TitleBarCaption()));
    applyTypeControls();
    link.selectDeviceType(0);
    RebuildTabStrip(0);
    TabStrip1_Click();
}

// --- Configuration, connect and disconnect ------------------------------------

void MainKvb71853::wireConnection()
{
    ConnectionController& connection = context_.connection;
    connection.attachView(&connectionView_);
    hooks_.onClear([&connection] { connection.attachView(nullptr); });
}

void MainKvb71853::ConnectionViewOfWindow::showConfigDialog()
{
    w_.ShowManualConfig(false);
}

void MainKvb71853::ConnectionViewOfWindow::runConfigDialog()
{
    w_.ShowManualConfig(true);
}

void MainKvb71853::ConnectionViewOfWindow::showUprControls(bool shown)
{
    w_.cmdUPRRead[0]->setVisible(shown);
    w_.cmdUPRRead[1]->setVisible(shown);
    w_.Frupr->setVisible(shown);
}

void MainKvb71853::ConnectionViewOfWindow::searching()
{
    w_.mnuSetSpiSpeed->setEnabled(true);
    w_.mnuSetSpiTimeout->setEnabled(true);
}

void MainKvb71853::ConnectionViewOfWindow::linkMode(bool daisyChain)
{
    if (daisyChain) {
        w_.EnableDaisyChainControls();
        w_.ShowDaisyChainControls();
    } else {
        w_.DisableDaisyChainControls();
        w_.HideDaisyChainControls();
    }
}

void MainKvb71853::ConnectionViewOfWindow::connected(bool)
{
    w_.ConnectedState();
}

void MainKvb71853::ConnectionViewOfWindow::notConnected(bool withoutDevices)
{
    if (withoutDevices)
        w_.NotConnectedWithoutDevices();
    else
        w_.NotConnectedState();
}

void MainKvb71853::ConnectionViewOfWindow::configurationTaken(const ManualConfigResult& r)
{
    // A daisy chain relabels the raw sender's type options; a single
    // device hides them and keeps their captions.
    for (int i = 0; i < 2; ++i) {
        if (r.hideRawDeviceTypes)
            w_.optRawDevicetype[i]->setVisible(false);
        else
            w_.optRawDevicetype[i]->setText(QString::fromStdString(r.rawDeviceTypeCaptions[i]));
    }
}

void MainKvb71853::ConnectionViewOfWindow::rebuildRegisterTabs()
{
    w_.ParseTabsefsCreateTabs();
}

void MainKvb71853::ConnectionViewOfWindow::setCaption(const std::string& caption)
{
    w_.setWindowTitle(QString::fromStdString(caption));
}

void MainKvb71853::ShowManualConfig(bool modal)
{
    if (modal) {
        frmManualConfig->exec();
    } else {
        frmManualConfig->show();
        frmManualConfig->raise();
    }
}

void MainKvb71853::ManualConfigAccepted()
{
    context_.connection.OKButton_Click(frmManualConfig->choices());
}

void MainKvb71853::NotConnectedState()
{
    cmdConnect->setEnabled(true);
    cmdDisconnect->setEnabled(false);
    mnuSetSpiSpeed->setEnabled(true);
    mnuSetSpiTimeout->setEnabled(true);
    DisableDaisyChainControls();
    HideDaisyChainControls();
    fraRawMsgNotConnected->setVisible(true);
    fraRawMsgNotConnected->setEnabled(true);
    fraRawMsgDevType->setVisible(false);
    fraRawMsgDevType->setEnabled(false);
    cbSendRawMsg->setVisible(false);
    cbSendRawMsg->setEnabled(false);
    mnuLoadConfig->setEnabled(false);
    mnuSaveConfig->setEnabled(false);
    rawSender_->EncodeRawMessage();
}

void MainKvb71853::ConnectedState()
{
    const link::ChipLink& link = context_.link;
    cmdConnect->setEnabled(false);
    cmdDisconnect->setEnabled(true);
    opt53960->setEnabled(link.DeviceCount1 > 0);
    opt53961->setEnabled(link.DeviceCount2 > 0);
    fraRawMsgNotConnected->setVisible(false);
    fraRawMsgNotConnected->setEnabled(false);
    fraRawMsgDevType->setVisible(true);
    fraRawMsgDevType->setEnabled(true);
    cbSendRawMsg->setVisible(true);
    cbSendRawMsg->setEnabled(true);
    mnuLoadConfig->setEnabled(true);
    mnuSaveConfig->setEnabled(true);
    rawSender_->EncodeRawMessage();
    RefreshDeviceMenu();
    // On a daisy chain the combos redraw the rows; a single device's rows
    // are redrawn here for device 1.
    if (!link.DaisyChainMode)
        TabStrip1_Click();
}

void MainKvb71853::NotConnectedWithoutDevices()
{
    NotConnectedState();
    opt53960->setEnabled(false);
    opt53961->setEnabled(false);
    RefreshDeviceMenu();
}

void MainKvb71853::cmdConnect_Click()
{
    context_.connection.Connect();
}

void MainKvb71853::cmdDisconnect_Click()
{
    context_.connection.Disconnect();
}

void MainKvb71853::mnuManualConfig_Click()
{
    context_.connection.ConfigureFromMenu();
}

}  // namespace kvb::ui
