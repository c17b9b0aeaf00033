#include "app/ui/MainKvb71853.h"

#include "app/AppContext.h"
#include "app/DeviceMenu.h"
#include "app/MainWindowLayout.h"
#include "app/ui/BalanceUi.h"
#include "app/ui/DeviceCommandsFrame.h"
#include "app/ui/FrmManualConfig.h"
#include "app/ui/FrmPollOptions.h"
#include "app/ui/MainTabPage.h"
#include "app/ui/MonitorTabPage.h"
#include "app/ui/PollingControls.h"
#include "app/ui/RawMessageSenderView.h"
#include "app/ui/Lamp.h"
#include "app/ui/LampPanel.h"
#include "app/RegisterRowActions.h"
#include "app/ui/RegisterRowsView.h"
#include "app/ui/Widgets.h"
#include "core/ControlNames.h"
#include "core/ui/ScreenFit.h"
#include "link/ui/FrmErrorLog.h"
#include "core/ScopedFlag.h"
#include "data/ui/FrmCharting.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

#include <algorithm>

namespace kvb::ui {

namespace {

// The page area's design width in twips; the window places it in pixels.
constexpr int kWindowWidth = 16560;
// The default window size in pixels.
constexpr int kDefaultWidth = 1500;
constexpr int kDefaultHeight = 740;

// Left edges and widths of the MAIN page's frames.
constexpr std::array<int, 5> kMainFrameLeft{240, 8040, 8040, 8040, 11220};
constexpr std::array<int, 5> kMainFrameWidth{7700, 3120, 3120, 3120, 5400};
// Left edges of the MONITOR page's device frames: device 1 rightmost.
constexpr std::array<int, 4> kMonitorFrameLeft{12120, 8160, 4200, 240};
// The top edge of the control strip's first row of controls, in twips.
constexpr int kStripTop = 0;

void ShowFrame(QWidget* w, int left)
{
    w->setVisible(true);
    w->setEnabled(true);
    MoveLeftTwips(w, left);
}

void HideFrame(QWidget* w)
{
    w->setVisible(false);
    w->setEnabled(false);
    MoveLeftTwips(w, kHiddenLeft);
}

}  // namespace

MainKvb71853::MainKvb71853(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context)
{
    setObjectName("Main_KVB71853");
    setWindowTitle("Defined in tabdefs.csv: TITLEBAR");
    // Everything below the menu bar; on a screen too low for it, it scrolls
    // down inside the window.
    auto* central = new QWidget;
    central->setObjectName("centralWidget");
    content_ = central;

    buildMenus();
    buildPages(central);
    buildControlStrip(central);
    buildLogs(central);

    Timer1 = Named<QTimer>(this, "Timer1");
    Timer1->setInterval(100);
    Timer2 = Named<QTimer>(this, "Timer2");
    Timer3 = Named<QTimer>(this, "Timer3");
    Timer3->setInterval(100);
    Timer4 = Named<QTimer>(this, "Timer4");
    Timer4->setInterval(400);
    Timer4->setSingleShot(true);
    connect(Timer4, &QTimer::timeout, this, [this] {
        Timer4->stop();
        ShowManualConfig(false);
        context_.services.pump.yield();
    });

    wireLink();
    wireCommands();
    wireMenus();
    wirePages();
    fitPages();
    central->installEventFilter(this);
    auto* scroll = new ScrollingContent(central, this);
    setCentralWidget(scroll);
    OpenOnScreen(this, scroll);
    resize(kDefaultWidth, kDefaultHeight);
    FormLoad();
}

void MainKvb71853::fitPages()
{
    // A page's frame is never smaller than what its content needs.
    const auto growToContent = [](QGroupBox* frame) {
        frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
    };
    for (QGroupBox* frame : mainTabFrames)
        growToContent(frame);
    for (QGroupBox* frame : fraDeviceVoltagesFaults)
        growToContent(frame);
    // The MAIN page's middle column: each frame below the one above it.
    for (int i = 2; i <= 3; ++i) {
        const QWidget* above = mainTabFrames[i - 1];
        mainTabFrames[i]->move(mainTabFrames[i]->x(),
                               std::max(mainTabFrames[i]->y(), above->y() + above->height() + 4));
    }
    // The least area shows the widest page (the MAIN page's frames, the
    // MONITOR page's or the register rows) and the strip's lamps beside the
    // commands column, and the logs at their least height.
    int pageLeast = rowsScroll->x() + rowsView->minimumWidth();
    for (size_t i = 0; i < kMainFrameLeft.size(); ++i)
        pageLeast = std::max(pageLeast, Twips(kMainFrameLeft[i]) + mainTabFrames[i]->width());
    pageLeast = std::max(pageLeast, Twips(kMonitorFrameLeft[0]) + fraDeviceVoltagesFaults[0]->width());
    pageLeast = std::max(pageLeast, lampPanel->x() + lampPanel->sizeHint().width());
    const Extent least = LeastMainWindowArea(pageLeast, fraDaisyChainCommands->sizeHint().width());
    content_->setMinimumSize(least.width, least.height);
}

MainKvb71853::~MainKvb71853()
{
    // Nothing that outlives the window may call into it from here on.
    hooks_.clear();
    context_.logging.loggingChanged = nullptr;
}

void MainKvb71853::buildMenus()
{
    QMenuBar* bar = menuBar();
    mnuAbout = bar->addAction("About");
    mnuAbout->setObjectName("mnuAbout");
    connect(mnuAbout, &QAction::triggered, this, [this] {
        if (onShowAbout)
            onShowAbout();
    });
    buildFileMenu(bar);
    buildSpiMenu(bar);
    buildPollingMenu(bar);
    buildDeviceMenu(bar);
}

void MainKvb71853::buildFileMenu(QMenuBar* bar)
{
    QMenu* file = bar->addMenu("File");
    file->setObjectName("mnuFile");
    mnuLoadConfig = file->addAction("Load Configuration...");
    mnuLoadConfig->setObjectName("mnuLoadConfig");
    mnuSaveConfig = file->addAction("Save Configuration...");
    mnuSaveConfig->setObjectName("mnuSaveConfig");
    mnuLoadEE = file->addAction("Load EEPROM");
    mnuLoadEE->setObjectName("mnuLoadEE");
    mnuSaveEE = file->addAction("Save EEPROM");
    mnuSaveEE->setObjectName("mnuSaveEE");
    mnuExit = file->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, [this] { close(); });
}

void MainKvb71853::buildSpiMenu(QMenuBar* bar)
{
    QMenu* spi = bar->addMenu("SPI Options");
    spi->setObjectName("mnuSpiOptions");
    mnuSetSpiSpeed = spi->addAction("SPI Clock Speed...");
    mnuSetSpiSpeed->setObjectName("mnuSetSpiSpeed");
    mnuSetSpiTimeout = spi->addAction("SPI Daisy Chain Timeout...");
    mnuSetSpiTimeout->setObjectName("mnuSetSpiTimeout");
}

void MainKvb71853::buildPollingMenu(QMenuBar* bar)
{
    QMenu* polling = bar->addMenu("Polling Options");
    polling->setObjectName("mnuPollingOptions");
    mnuShowActivityLogs = polling->addAction("Polling Optiion Show Activity Log");
    mnuShowActivityLogs->setObjectName("mnuShowActivityLogs");
    mnuUpdateGUIControls = polling->addAction("Polling Update GUI Contols");
    mnuUpdateGUIControls->setObjectName("mnuUpdateGUIControls");
    mnuUpdateChart = polling->addAction("Polling Update Charts");
    mnuUpdateChart->setObjectName("mnuUpdateChart");
    // Each check-mark item only inverts its own mark (QAction does it).
    for (QAction* a : {mnuShowActivityLogs, mnuUpdateGUIControls, mnuUpdateChart}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
}

void MainKvb71853::buildDeviceMenu(QMenuBar* bar)
{
    QMenu* device = bar->addMenu("Device");
    device->setObjectName("mnuDevice");
    mnuManualConfig = device->addAction("Manual Configuration...");
    mnuManualConfig->setObjectName("mnuManualConfig");
    mnuKVB53960 = device->addMenu("KVB539XX");
    mnuKVB53960->setObjectName("mnuKVB53960");
    mnuKVB53961 = device->addMenu("KVB53961");
    mnuKVB53961->setObjectName("mnuKVB53961");
    for (int i = 0; i < 16; ++i) {
        QString caption = QString("Device %1").arg(i);
        mnu53960DevNum[i] = mnuKVB53960->addAction(caption);
        mnu53960DevNum[i]->setObjectName(ElementName<QString>("mnu53960DevNum", i));
        mnu53960DevNum[i]->setCheckable(true);
        connect(mnu53960DevNum[i], &QAction::triggered, this, [this, i] { mnu53960DevNum_Click(i); });
        mnu53961DevNum[i] = mnuKVB53961->addAction(caption);
        mnu53961DevNum[i]->setObjectName(ElementName<QString>("mnu53961DevNum", i));
        mnu53961DevNum[i]->setCheckable(true);
        connect(mnu53961DevNum[i], &QAction::triggered, this, [this, i] { mnu53961DevNum_Click(i); });
    }
    // The type-1 device menu stays out of sight: the type-1 device is chosen
    // through its option button and the device combo.
    mnuKVB53961->menuAction()->setVisible(false);
    mnuKVB53961->setEnabled(false);
}

void MainKvb71853::buildPages(QWidget* central)
{
    TabStrip1 = Named<QTabBar>(central, "TabStrip1");
    TabStrip1->setExpanding(false);
    TabStrip1->setGeometry(8, kMainTabStripTop, kWindowWidth / 15, 26);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });

    pageArea = Named<QWidget>(central, "pageArea");
    // The pages are laid out in twips for an 8-point face; a larger default
    // face would not fit their frames.
    QFont pageFont = pageArea->font();
    pageFont.setPointSize(8);
    pageArea->setFont(pageFont);
    pageArea->setGeometry(0, kMainPageTop, Twips(kWindowWidth), kMainPageHeight);

    buildMainTabFrames();
    buildRawMessageSender();
    buildRegisterRows();
    buildDeviceVoltagesFaults();
}

void MainKvb71853::buildMainTabFrames()
{
    const char* mainNames[5] = {"fraMainTabDeviceStatus", "fraMainTabBalanceCtrls",
                                "fraMainTabTemperatures", "fraMainTabThresholds",
                                "fraMainTabDaisyChainStatus"};
    const int mainTops[5] = {0, 0, 2360, 4420, 0};
    const int mainHeights[5] = {5900, 2300, 2000, 1900, 5900};
    for (int i = 0; i < 5; ++i) {
        mainTabFrames[i] = Named<QGroupBox>(pageArea, mainNames[i], "");
        PlaceTwips(mainTabFrames[i], kHiddenLeft, mainTops[i], kMainFrameWidth[i], mainHeights[i]);
        mainTabFrames[i]->setVisible(false);
    }
}

void MainKvb71853::buildRawMessageSender()
{
    fraRawMessageSender = Named<QGroupBox>(pageArea, "fraRawMessageSender",
                                           "Raw Message Sender and CRC4 Calculator");
    PlaceTwips(fraRawMessageSender, kHiddenLeft, 0, 11000, 3600);
    fraRawMessageSender->setVisible(false);
    buildRawMsgNotConnected();
    buildRawMsgDevType();
    buildRawMsgFields();
}

void MainKvb71853::buildRawMsgNotConnected()
{
    fraRawMsgNotConnected = Named<QGroupBox>(fraRawMessageSender, "fraRawMsgNotConnected", "");
    PlaceTwips(fraRawMsgNotConnected, 120, 240, 2460, 900);
    optRawMsgNotConnectedMode[0] = Named<QRadioButton>(
        fraRawMsgNotConnected, ElementName<QString>("optRawMsgNotConnectedMode", 0),
        "Daisy Chain Mode");
    PlaceTwips(optRawMsgNotConnectedMode[0], 120, 120, 2280, 300);
    optRawMsgNotConnectedMode[1] = Named<QRadioButton>(
        fraRawMsgNotConnected, ElementName<QString>("optRawMsgNotConnectedMode", 1),
        "Non Daisy Chain Mode");
    PlaceTwips(optRawMsgNotConnectedMode[1], 120, 480, 2280, 300);
    optRawMsgNotConnectedMode[0]->setChecked(true);
    // The options choose the framing only while no board is connected; a
    // board open without devices keeps the layout it has.
    for (auto* o : optRawMsgNotConnectedMode)
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !context_.link.EvbConnected())
                ShowEnableRawMessageSender();
        });
}

void MainKvb71853::buildRawMsgDevType()
{
    fraRawMsgDevType = Named<QGroupBox>(fraRawMessageSender, "fraRawMsgDevType", "");
    PlaceTwips(fraRawMsgDevType, 120, 240, 2460, 900);
    optRawDevicetype[0] = Named<QRadioButton>(
        fraRawMsgDevType, ElementName<QString>("optRawDevicetype", 0), "KVB53960");
    PlaceTwips(optRawDevicetype[0], 120, 120, 2280, 300);
    optRawDevicetype[1] = Named<QRadioButton>(
        fraRawMsgDevType, ElementName<QString>("optRawDevicetype", 1), "KVB53961");
    PlaceTwips(optRawDevicetype[1], 120, 480, 2280, 300);
    optRawDevicetype[0]->setChecked(true);
}

void MainKvb71853::buildRawMsgFields()
{
    // Each field stands under its label, a column apart, with a gap between
    // the labels.
    constexpr int kRawPitch = 1500;
    const char* rawLabels[5] = {"Device Address", "Data Type", "Data Address", "Data", "CRC4"};
    for (int i = 0; i < 5; ++i) {
        lblRawMsg[i] =
            Named<QLabel>(fraRawMessageSender, ElementName<QString>("lblRawMsg", i), rawLabels[i]);
        PlaceTwips(lblRawMsg[i], 3240 + i * kRawPitch, 300, kRawPitch - 60, 300);
        tbRawMsgHex[i] =
            Named<QLineEdit>(fraRawMessageSender, ElementName<QString>("tbRawMsgHex", i), "0");
        PlaceTwips(tbRawMsgHex[i], 3240 + i * kRawPitch, 660, 900, 330);
    }
    auto* hex = Named<QLabel>(fraRawMessageSender, ElementName<QString>("lblRawMsg", 5), "Hex");
    PlaceTwips(hex, 2700, 700, 500, 300);
    auto* encoded = Named<QLabel>(fraRawMessageSender, ElementName<QString>("lblRawMsg", 6),
                                  "Encoded Command (Hex)");
    PlaceTwips(encoded, 3240, 1200, 3000, 300);
    for (int i = 0; i < 4; ++i) {
        tbEncodedCommandHexByte[i] = Named<QLineEdit>(
            fraRawMessageSender, ElementName<QString>("tbEncodedCommandHexByte", i), "");
        showReadOnly(tbEncodedCommandHexByte[i]);
        PlaceTwips(tbEncodedCommandHexByte[i], 3240 + i * kRawPitch, 1560, 900, 330);
    }
    cbSendRawMsg = Named<QPushButton>(fraRawMessageSender, "cbSendRawMsg", "Send");
    PlaceTwips(cbSendRawMsg, 3240 + 4 * kRawPitch, 1500, 1000, 420);
}

void MainKvb71853::buildRegisterRows()
{
    // The rows take the page's width; a page too short for them scrolls
    // down, never sideways while the window is wide enough for one row.
    rowsView = new RegisterRowsView(context_.link.definitions, context_.link.image,
                                    context_.services.prompter, &context_.services.pump);
    rowsView->setObjectName("registerRows");
    rowsScroll = new ScrollingContent(rowsView, pageArea);
    rowsScroll->setGeometry(0, 0, Twips(kWindowWidth), kMainPageHeight);
    rowsScroll->setVisible(false);
}

void MainKvb71853::buildDeviceVoltagesFaults()
{
    for (int i = 0; i < 4; ++i) {
        fraDeviceVoltagesFaults[i] =
            Named<QGroupBox>(pageArea, ElementName<QString>("fraDeviceVoltagesFaults", i), "");
        PlaceTwips(fraDeviceVoltagesFaults[i], kHiddenLeft, 0, 3840, 5900);
        fraDeviceVoltagesFaults[i]->setVisible(false);
    }
}

void MainKvb71853::buildControlStrip(QWidget* central)
{
    // The strip's controls keep their places inside it; the window moves
    // the strip as a whole.
    controlStrip = Named<QWidget>(central, "controlStrip");
    buildConnectionControls();
    buildDeviceNumber();
    buildPollingControls();
    buildStripLamps();
    buildUpr();

    // The fixed chip commands, in a column at the right of the page and the
    // strip, with the hidden measure button beside them.
    QWidget* window = controlStrip->parentWidget();
    fraDaisyChainCommands = new DeviceCommandsFrame(context_.commands, window, window);
    fraDaisyChainCommands->resize(fraDaisyChainCommands->sizeHint());
}

void MainKvb71853::buildConnectionControls()
{
    QWidget* strip = controlStrip;
    cmdConnect = Named<QPushButton>(strip, "cmdConnect", "Connect");
    PlaceTwips(cmdConnect, 240, kStripTop, 1300, 400);
    cmdDisconnect = Named<QPushButton>(strip, "cmdDisconnect", "Disconnect");
    PlaceTwips(cmdDisconnect, 240, kStripTop + 460, 1300, 400);
    cbQuit = Named<QPushButton>(strip, "cbQuit", "Quit");
    PlaceTwips(cbQuit, 240, kStripTop + 920, 1300, 400);
    connect(cbQuit, &QPushButton::clicked, this, [this] { close(); });

    opt53960 = Named<QRadioButton>(strip, "opt53960", "KVB53960");
    PlaceTwips(opt53960, 1900, kStripTop, 1500, 300);
    opt53961 = Named<QRadioButton>(strip, "opt53961", "KVB53961");
    PlaceTwips(opt53961, 1900, kStripTop + 340, 1500, 300);
    connect(opt53960, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt53960_Click();
    });
    connect(opt53961, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt53961_Click();
    });
    // The two type options exclude each other (they are not the only
    // options under the window).
    auto* typeGroup = new QButtonGroup(this);
    typeGroup->addButton(opt53960);
    typeGroup->addButton(opt53961);
    cmdShowChart = Named<QPushButton>(strip, "cmdShowChart", "Show Chart");
    PlaceTwips(cmdShowChart, 1700, kStripTop + 920, 1600, 400);
}

void MainKvb71853::buildDeviceNumber()
{
    fraDeviceNumber = Named<QGroupBox>(controlStrip, "fraDeviceNumber", "");
    PlaceTwips(fraDeviceNumber, 3400, kStripTop, 2000, 900);
    auto* devLabel = Named<QLabel>(fraDeviceNumber, "lblDeviceNumber", "DEVICE NUMBER");
    PlaceTwips(devLabel, 120, 100, 1800, 280);
    cboDeviceNumber = Named<QComboBox>(fraDeviceNumber, "cboDeviceNumber");
    PlaceTwips(cboDeviceNumber, 120, 420, 1750, 360);
    connect(cboDeviceNumber, &QComboBox::activated, this, [this](int) { cboDeviceNumber_Click(); });
}

void MainKvb71853::buildPollingControls()
{
    fraPollingControls = Named<QGroupBox>(controlStrip, "fraPollingControls", "");
    PlaceTwips(fraPollingControls, 5500, kStripTop, 4200, 1350);
    auto* pollLabel = Named<QLabel>(fraPollingControls, "lblPolling", "POLLING");
    PlaceTwips(pollLabel, 120, 80, 1200, 280);
    cmdPollingSetup = Named<QPushButton>(fraPollingControls, "cmdPollingSetup", "Polling Setup...");
    PlaceTwips(cmdPollingSetup, 120, 420, 1800, 400);
    auto* intervalLabel = Named<QLabel>(fraPollingControls, "lblPollingInterval", "INTERVAL (ms)");
    PlaceTwips(intervalLabel, 2040, 80, 1500, 280);
    tbPollingInterval = Named<QLineEdit>(fraPollingControls, "tbPollingInterval", "500");
    PlaceTwips(tbPollingInterval, 2040, 420, 1000, 360);
    updnPollingInterval = Named<QSpinBox>(fraPollingControls, "updnPollingInterval");
    updnPollingInterval->setRange(50, 5000);
    updnPollingInterval->setValue(500);
    updnPollingInterval->setButtonSymbols(QSpinBox::UpDownArrows);
    PlaceTwips(updnPollingInterval, 3060, 420, 300, 360);
    chkEnablePolling = Named<QCheckBox>(fraPollingControls, "chkEnablePolling", "ENABLE POLLING");
    PlaceTwips(chkEnablePolling, 120, 900, 2200, 330);
}

void MainKvb71853::buildStripLamps()
{
    ledUSBConnected = new Lamp("ledUSBConnected", controlStrip);
    PlaceTwips(ledUSBConnected, 1560, kStripTop + 60, 240, 240);
    lampPanel = new LampPanel(context_.link.lamps, controlStrip);
    lampPanel->setObjectName("lampPanel");
    lampPanel->move(Twips(12300), Twips(kStripTop));
    lampPanel->resize(lampPanel->sizeHint());
    ledPolling = new Lamp("ledPolling", fraPollingControls);
    PlaceTwips(ledPolling, 1400, 100, 240, 240);
}

void MainKvb71853::buildUpr()
{
    Frupr = Named<QGroupBox>(controlStrip, "Frupr", "UPR");
    PlaceTwips(Frupr, 9800, kStripTop, 2400, 1350);
    for (int i = 0; i < 2; ++i) {
        cmdUPRRead[i] = Named<QPushButton>(Frupr, ElementName<QString>("cmdUPRRead", i),
                                           QString("UPR%1 Read").arg(i));
        PlaceTwips(cmdUPRRead[i], 120, 300 + i * 460, 1500, 400);
    }
    ledUPRStatus = new Lamp("ledUPRStatus", Frupr);
    PlaceTwips(ledUPRStatus, 1800, 400, 240, 240);
    auto* uprLabel = Named<QLabel>(Frupr, "lblUprStatus", " Status");
    PlaceTwips(uprLabel, 1700, 700, 700, 280);
    Frupr->setVisible(false);
}

void MainKvb71853::buildLogs(QWidget* central)
{
    txtLog = Named<QPlainTextEdit>(central, "txtLog");
    txtLog->setReadOnly(true);
    txt53960HexLog = Named<QPlainTextEdit>(central, "txt53960HexLog");
    txt53960HexLog->setReadOnly(true);
    txt53961HexLog = Named<QPlainTextEdit>(central, "txt53961HexLog");
    txt53961HexLog->setReadOnly(true);

    for (auto* box : {txtLog, txt53960HexLog, txt53961HexLog}) {
        QFont mono("Monospace");
        mono.setStyleHint(QFont::TypeWriter);
        box->setFont(mono);
    }

    FrLogCtrls = Named<QGroupBox>(central, "FrLogCtrls", "");
    // The hex logs' captions stand beside their Clear buttons.
    lbl53960HexLog = Named<QLabel>(FrLogCtrls, "lbl53960HexLog", "KVB53960");
    lbl53961HexLog = Named<QLabel>(FrLogCtrls, "lbl53961HexLog", "KVB53961");
    cmdClearLog = Named<QPushButton>(FrLogCtrls, "cmdClearLog", "Clear Log");
    cmdClearLog->setGeometry(8, 4, 110, 24);
    cmdClear53960HexLog = Named<QPushButton>(FrLogCtrls, "cmdClear53960HexLog", "Clear");
    cmdClear53961HexLog = Named<QPushButton>(FrLogCtrls, "cmdClear53961HexLog", "Clear");
    cmdLogToFile = Named<QPushButton>(FrLogCtrls, "cmdLogToFile", "Start Data Logging");
    cmdLogToFile->setGeometry(126, 4, 150, 24);
    connect(cmdClearLog, &QPushButton::clicked, this, [this] { cmdClearLog_Click(); });
    connect(cmdClear53960HexLog, &QPushButton::clicked, this, [this] { cmdClear53960HexLog_Click(); });
    connect(cmdClear53961HexLog, &QPushButton::clicked, this, [this] { cmdClear53961HexLog_Click(); });
}

bool MainKvb71853::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == content_ && event->type() == QEvent::Resize)
        layOutWindow();
    return QMainWindow::eventFilter(watched, event);
}

void MainKvb71853::layOutWindow()
{
    QWidget* central = content_;
    fraDaisyChainCommands->resize(fraDaisyChainCommands->sizeHint());
    const MainWindowGeometry g =
        LayOutMainWindow(central->width(), central->height(), fraDaisyChainCommands->width());
    TabStrip1->resize(g.tabStripWidth, TabStrip1->height());
    pageArea->resize(g.pageWidth, kMainPageHeight);
    rowsScroll->resize(g.pageWidth - rowsScroll->x(), kMainPageHeight);
    fraDaisyChainCommands->move(g.commandsLeft, kMainPageTop);
    controlStrip->setGeometry(0, g.stripTop, g.stripWidth, kMainStripHeight);
    lampPanel->resize(lampPanel->sizeHint());

    const int width = central->width();
    const int third = (width - 32) / 3;
    const int hexLeft = 8 + 2 * third + 8;
    const int hexWidth = (width - 8 - hexLeft - 8) / 2;
    txtLog->setGeometry(8, g.logTop, 2 * third, g.logHeight);
    txt53960HexLog->setGeometry(hexLeft, g.logTop, hexWidth, g.logHeight);
    txt53961HexLog->setGeometry(hexLeft + hexWidth + 8, g.logTop, hexWidth, g.logHeight);
    FrLogCtrls->setGeometry(8, g.logControlsTop, width - 16, kMainLogControlsHeight);
    cmdClear53960HexLog->setGeometry(hexLeft - 8, 4, 80, 24);
    lbl53960HexLog->setGeometry(hexLeft - 8 + 88, 4, hexWidth - 88, 24);
    cmdClear53961HexLog->setGeometry(hexLeft + hexWidth, 4, 80, 24);
    lbl53961HexLog->setGeometry(hexLeft + hexWidth + 88, 4, hexWidth - 88, 24);
}

// --- Load ------------------------------------------------------------------

void MainKvb71853::InitMenus()
{
    cboDeviceNumber->clear();
    for (int i = 0; i < 16; ++i)
        cboDeviceNumber->addItem(QString("Device %1").arg(i));
    mnuLoadConfig->setEnabled(false);
    mnuSaveConfig->setEnabled(false);
}

void MainKvb71853::FormLoad()
{
    context_.connection.startSession();

    opt53960->setChecked(true);
    opt53961->setChecked(false);
    cmdDisconnect->setEnabled(false);
    InitMenus();
    ParseTabsefsCreateTabs();
    if (context_.services.programEnd.ending())
        return;
    HideDaisyChainControls();
    mnu53960DevNum[1]->setChecked(true);
    context_.polling.setInterval(PollIntervalFromText(tbPollingInterval->text().toStdString()));
    Timer4->setInterval(350);
    Timer4->start();
}

// --- Close -----------------------------------------------------------------

void MainKvb71853::closeEvent(QCloseEvent* event)
{
    // The bench instruments are switched off only while they are in use,
    // which nothing in the evaluation window sets.
    if (InstrumentsInUse)
        context_.instruments.closeInstruments();
    context_.connection.endSession();
    // Ending the program stops the text log and closes the other windows.
    context_.services.programEnd.end();
    event->accept();
}

// --- Link-mode control groups ----------------------------------------------

void MainKvb71853::EnableDaisyChainControls()
{
    fraDeviceNumber->setEnabled(true);
    cboDeviceNumber->setEnabled(true);
    fraPollingControls->setEnabled(true);
    chkEnablePolling->setEnabled(true);
    balanceUi_->enableDaisyChainGroups(true);
}

void MainKvb71853::DisableDaisyChainControls()
{
    fraDeviceNumber->setEnabled(false);
    cboDeviceNumber->setEnabled(false);
    balanceUi_->enableDaisyChainGroups(false);
}

void MainKvb71853::ShowDaisyChainControls()
{
    fraDeviceNumber->setVisible(true);
    cboDeviceNumber->setVisible(true);
    fraPollingControls->setVisible(true);
    optRawDevicetype[0]->setVisible(true);
    optRawDevicetype[1]->setVisible(true);
    balanceUi_->showDaisyChainGroups(true);
}

void MainKvb71853::HideDaisyChainControls()
{
    fraDeviceNumber->setVisible(false);
    cboDeviceNumber->setVisible(false);
    optRawDevicetype[0]->setVisible(false);
    optRawDevicetype[1]->setVisible(false);
    balanceUi_->showDaisyChainGroups(false);
}

void MainKvb71853::ShowEnableMainTabFrames()
{
    for (size_t i = 0; i < mainTabFrames.size(); ++i)
        ShowFrame(mainTabFrames[i], kMainFrameLeft[i]);
}

void MainKvb71853::HideDisableMainTabFrames()
{
    for (auto* f : mainTabFrames)
        HideFrame(f);
}

void MainKvb71853::HideDisableRawMessageSender()
{
    HideFrame(fraRawMessageSender);
}

void MainKvb71853::ShowEnableMonitorTabFrames()
{
    for (int i = 0; i < 4; ++i) {
        fraDeviceVoltagesFaults[i]->setEnabled(true);
        MoveLeftTwips(fraDeviceVoltagesFaults[i], kMonitorFrameLeft[i]);
    }
}

void MainKvb71853::HideDisableMonitorTabFrames()
{
    for (auto* f : fraDeviceVoltagesFaults)
        HideFrame(f);
}

// --- Logs ------------------------------------------------------------------

void MainKvb71853::AddToEvbLog(const QString& text1, const QString& text2)
{
    queueLogText(0, text1 + text2);
}

void MainKvb71853::AppendHexLog(int type, const QString& text)
{
    queueLogText(type != 0 ? 2 : 1, text);
}

QPlainTextEdit* MainKvb71853::logBox(int box) const
{
    return box == 0 ? txtLog : box == 1 ? txt53960HexLog : txt53961HexLog;
}

void MainKvb71853::queueLogText(int box, const QString& text)
{
    queuedLogText_[box] += text;
    if (!logTextQueued_) {
        logTextQueued_ = true;
        QTimer::singleShot(0, this, [this] { showQueuedLogText(); });
    }
}

void MainKvb71853::showQueuedLogText()
{
    logTextQueued_ = false;
    for (int b = 0; b < 3; ++b) {
        QPlainTextEdit* box = logBox(b);
        if (logClearQueued_[b]) {
            // Emptied since the last showing: the queued text is the box's
            // whole text.
            logClearQueued_[b] = false;
            box->setPlainText(queuedLogText_[b]);
        } else if (queuedLogText_[b].isEmpty()) {
            continue;
        } else {
            box->moveCursor(QTextCursor::End);
            box->insertPlainText(queuedLogText_[b]);
        }
        box->moveCursor(QTextCursor::End);
        queuedLogText_[b].clear();
    }
}

void MainKvb71853::clearLogBox(int box)
{
    queuedLogText_[box].clear();
    logClearQueued_[box] = false;
    logBox(box)->clear();
}

void MainKvb71853::clearLogBoxLater(int box)
{
    queuedLogText_[box].clear();
    logClearQueued_[box] = true;
    if (!logTextQueued_) {
        logTextQueued_ = true;
        QTimer::singleShot(0, this, [this] { showQueuedLogText(); });
    }
}

void MainKvb71853::cmdClearLog_Click()
{
    clearLogBox(0);
}

void MainKvb71853::cmdClear53960HexLog_Click()
{
    clearLogBox(1);
}

void MainKvb71853::cmdClear53961HexLog_Click()
{
    clearLogBox(2);
}

}  // namespace kvb::ui

namespace kvb::ui {

void MainKvb71853::ShowEnableRawMessageSender()
{
    link::ChipLink& link = context_.link;
    ShowFrame(fraRawMessageSender, 240);
    const bool connected = link.EvbConnected();
    fraRawMsgNotConnected->setVisible(!connected);
    fraRawMsgNotConnected->setEnabled(!connected);
    fraRawMsgDevType->setVisible(connected);
    fraRawMsgDevType->setEnabled(connected);
    cbSendRawMsg->setVisible(connected);
    cbSendRawMsg->setEnabled(connected);
    // Without a board the offline option chooses the link's framing.
    if (!connected)
        context_.connection.TakeOfflineFraming(optRawMsgNotConnectedMode[0]->isChecked());
    const bool daisy = link.DaisyChainMode;
    lblRawMsg[0]->setVisible(daisy);
    tbRawMsgHex[0]->setVisible(daisy);
    lblRawMsg[4]->setVisible(daisy);
    tbRawMsgHex[4]->setVisible(daisy);
    if (daisy) {
        lblRawMsg[0]->setEnabled(true);
        tbRawMsgHex[0]->setEnabled(true);
    } else {
        lblRawMsg[0]->setEnabled(false);
        tbRawMsgHex[0]->setEnabled(false);
    }
    // The offline options run this as the window builds them, before the
    // sender exists.
    if (rawSender_)
        rawSender_->EncodeRawMessage();
}

// --- Tabs ------------------------------------------------------------------

void MainKvb71853::RebuildTabStrip(int type)
{
    const link::RegisterDefinitions& defs = context_.link.definitions;
    ScopedFlag guard(tabsRebuilding_);
    while (TabStrip1->count() > 0)
        TabStrip1->removeTab(0);
    for (int k = 0; k <= defs.tabCount[type]; ++k)
        TabStrip1->addTab(QString::fromStdString(defs.tabNames[type][k]));
}

void MainKvb71853::TabStrip1_Click()
{
    if (tabsRebuilding_)
        return;
    const link::ChipLink& link = context_.link;
    const int tab = std::max(0, TabStrip1->currentIndex());
    // Pending events (a poll tick, repaints) run before the pages change.
    context_.services.pump.yield();
    const std::string name =
        QString::fromStdString(link.definitions.tabNames[link.SelectedDeviceType][tab])
            .toUpper()
            .toStdString();
    const bool isMain = name == "MAIN";
    const bool isCommands = name == "COMMANDS";
    const bool isMonitor = name == "MONITOR";
    const bool isChart = name == "CHART";

    if (isMain) {
        mainTabPage_->UpdateMainTabDeviceStatusControls();
        ShowEnableMainTabFrames();
    } else {
        HideDisableMainTabFrames();
    }
    if (isCommands)
        ShowEnableRawMessageSender();
    else
        HideDisableRawMessageSender();
    if (isMonitor) {
        monitorTabPage_->UpdateMonitorTabControls();
        ShowEnableMonitorTabFrames();
    } else {
        HideDisableMonitorTabFrames();
    }
    if (isChart)
        ShowEnableDatalogTabFrames();
    else
        HideDisableDatalogTabFrames();

    // Every tab fills the eight rows from its row table; a fixed page's tab
    // normally has none, which leaves them all hidden.
    const bool registerTab = !(isMain || isCommands || isMonitor || isChart);
    rowsView->showTab(link.SelectedDeviceType, tab, link.SelectedDevice);
    bool anyRow = false;
    for (int r = 0; r < link::kTabRows; ++r)
        anyRow = anyRow || rowsView->rows().row(r).shown;
    rowsScroll->setVisible(registerTab || anyRow);
}

// --- Device and device-type selection ----------------------------------------

void MainKvb71853::selectComboEntries(int entry)
{
    ScopedFlag guard(comboSync_);
    if (entry >= 0 && entry < cboDeviceNumber->count()) {
        cboDeviceNumber->setCurrentIndex(entry);
        // A selection made by code runs the combo's handling too: with the
        // guard raised it keeps SelectedDevice and only lays the tab on
        // screen out again, for the device now selected.
        cboDeviceNumber_Click();
    }
    balanceUi_->selectDialogComboEntry(entry);
}

void MainKvb71853::selectDeviceFromMenu(int type, int index)
{
    link::ChipLink& link = context_.link;
    link.selectDeviceType(static_cast<int16_t>(type));
    if (type == 0)
        opt53960->setChecked(true);
    else
        opt53961->setChecked(true);
    link.selectDevice(static_cast<int16_t>(index));
    const int entry = index != 15 ? index : cboDeviceNumber->count() - 1;
    selectComboEntries(entry);
    // Without a combo entry to select, the tab is laid out for the new
    // device directly.
    if (entry < 0 || entry >= cboDeviceNumber->count())
        TabStrip1_Click();
    RefreshDeviceMenu();
}

void MainKvb71853::mnu53960DevNum_Click(int index)
{
    selectDeviceFromMenu(0, index);
}

void MainKvb71853::mnu53961DevNum_Click(int index)
{
    selectDeviceFromMenu(1, index);
}

void MainKvb71853::opt53960_Click()
{
    context_.link.selectDeviceType(0);
    RebuildTabStrip(0);
    TabStrip1_Click();
    RefreshDeviceMenu();
}

void MainKvb71853::opt53961_Click()
{
    context_.link.selectDeviceType(1);
    RebuildTabStrip(1);
    TabStrip1_Click();
    RefreshDeviceMenu();
}

void MainKvb71853::cboDeviceNumber_Click()
{
    if (!comboSync_) {
        context_.link.selectDevice(static_cast<int16_t>(
            DeviceForComboEntry(cboDeviceNumber->currentIndex(), cboDeviceNumber->count())));
        RefreshDeviceMenu();
    }
    TabStrip1_Click();
}

void MainKvb71853::RefreshDeviceMenu()
{
    link::ChipLink& link = context_.link;
    DeviceMenuState state = kvb::RefreshDeviceMenu({link.SelectedDeviceType, link.SelectedDevice,
                                                     link.DeviceCount1, link.DeviceCount2,
                                                     link.DaisyChainMode});
    for (int i = 0; i < 16; ++i) {
        mnu53960DevNum[i]->setChecked(state.items[0][i].checked);
        mnu53960DevNum[i]->setEnabled(state.items[0][i].enabled);
        mnu53961DevNum[i]->setChecked(state.items[1][i].checked);
        mnu53961DevNum[i]->setEnabled(state.items[1][i].enabled);
    }
    if (!state.rebuildCombos)
        return;
    link.selectDevice(static_cast<int16_t>(state.selectedDevice));
    {
        ScopedFlag guard(comboSync_);
        cboDeviceNumber->clear();
        for (const std::string& entry : state.comboEntries)
            cboDeviceNumber->addItem(QString::fromStdString(entry));
    }
    balanceUi_->fillDialogCombos(state.comboEntries);
    if (state.comboSelection >= 0)
        selectComboEntries(state.comboSelection);
}

}  // namespace kvb::ui
