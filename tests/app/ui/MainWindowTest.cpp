// The main window's control groups, device selection and menu commands on
// the simulated board.

#include "app/AppContext.h"
#include "app/ui/MainKvb71853.h"
#include "data/ui/FrmCharting.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"
#include "support/ui/WindowSystemInput.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using namespace kvb;

class MainWindow : public ::testing::Test, protected test::WindowDriver {
protected:
    void SetUp() override
    {
        context.transport.InitUsbHidConnection();
        main = std::make_unique<ui::MainKvb71853>(context);
        drive(main.get());
    }

    QAction* deviceItem(int type, int device)
    {
        return control<QAction>(QString(type == 0 ? "mnu53960DevNum_%1" : "mnu53961DevNum_%1")
                                    .arg(device));
    }

    test::TestServices t;
    test::SimulatedChain sim{t};
    std::shared_ptr<sim::SimBoard>& board = sim.board;
    std::unique_ptr<sim::SimChipChain>& chain = sim.chain;
    AppContext context{t.services, sim.usb};
    std::unique_ptr<ui::MainKvb71853> main;
};

TEST_F(MainWindow, LoadSetsTheDefaultsAndStartsTheConfigurationTimer)
{
    EXPECT_EQ(control<QTimer>("Timer2")->interval(), 500);
    EXPECT_TRUE(control<QTimer>("Timer4")->isActive());
    EXPECT_EQ(control<QTimer>("Timer4")->interval(), 350);
    EXPECT_FALSE(control<QAction>("mnuLoadConfig")->isEnabled());
    EXPECT_TRUE(deviceItem(0, 1)->isChecked());
    EXPECT_TRUE(control("fraDeviceNumber")->isHidden());
    EXPECT_FALSE(control("fraPollingControls")->isHidden());
    EXPECT_TRUE(control<QAction>("mnuShowActivityLogs")->isChecked());
    EXPECT_EQ(control<QRadioButton>("opt53960")->text(), "Status");
    // The file's TITLEBAR line names the program and its version.
    EXPECT_EQ(main->windowTitle().toStdString(), link::TitleBarCaption());
}

// The type-1 controls follow PartName2 as each configuration sets it: "NA"
// before the first one, "NONE" for a chain of KVB71853 only, an empty name
// for KVB53960 only and for a single device without a KVB53961.
TEST_F(MainWindow, TypeOneControlsFollowThePartNameOfTheConfiguration)
{
    const QStringList typeOneControls = {"opt53961",
                                         "led53961Com",
                                         "led53961Pres",
                                         "led53961Fault",
                                         "led53961Ack",
                                         "led53961Nack",
                                         "ledMainTabCellOV_12",
                                         "ledMainTabCellOV_23",
                                         "ledMainTabCellUV_12",
                                         "ledMainTabCellSetup_23",
                                         "ledMonitorTab53961OV_0",
                                         "ledMonitorTab53961UV_47"};
    const QStringList hexLog = {"txt53961HexLog", "cmdClear53961HexLog", "lbl53961HexLog"};
    auto expectShown = [&](const QStringList& names, bool shown, const char* state) {
        for (const QString& name : names)
            EXPECT_EQ(control(name)->isHidden(), !shown) << state << " " << name.toStdString();
    };
    auto expectCaptions = [&](const QString& caption, const char* state) {
        EXPECT_EQ(control<QRadioButton>("opt53961")->text(), caption) << state;
        EXPECT_EQ(control<QMenu>("mnuKVB53961")->title(), caption) << state;
    };

    // Before any configuration the type-1 name is "NA".
    expectShown(typeOneControls, true, "load");
    expectShown(hexLog, true, "load");
    expectCaptions("NA", "load");
    EXPECT_EQ(control<QLabel>("lbl53961HexLog")->text(), "NA");

    configure(true, 0, 1);  // daisy chain, "KVB71853 only": "NONE"
    ASSERT_EQ(context.link.PartName2, "NONE");
    expectShown(typeOneControls, false, "NONE");
    expectShown(hexLog, false, "NONE");

    configure(true, 1, 1);  // daisy chain, "KVB53960 only": ""
    ASSERT_EQ(context.link.PartName2, "");
    expectShown(typeOneControls, true, "daisy-chain KVB53960 only");
    expectShown(hexLog, false, "daisy-chain KVB53960 only");
    expectCaptions("", "daisy-chain KVB53960 only");

    configure(true, 2, 1);  // both types: "KVB53961"
    expectShown(typeOneControls, true, "both");
    expectShown(hexLog, true, "both");
    expectCaptions("KVB53961", "both");
    EXPECT_EQ(control<QLabel>("lbl53961HexLog")->text(), "KVB53961");

    configure(false, 0, 1);  // single device, "KVB71853 only": ""
    ASSERT_EQ(context.link.PartName2, "");
    expectShown(typeOneControls, true, "single KVB71853 only");
    expectShown(hexLog, false, "single KVB71853 only");
    expectCaptions("", "single KVB71853 only");
    // No type-1 device answers, so its option cannot be chosen.
    EXPECT_FALSE(control("opt53961")->isEnabled());
}

TEST_F(MainWindow, DaisyChainWithBothTypesShowsTheTypeOneControls)
{
    chain->setDevices(0, 2);
    chain->setDevices(1, 1);
    configure(true, 2, 2);
    EXPECT_EQ(context.link.DeviceCount1, 2);
    EXPECT_EQ(context.link.DeviceCount2, 1);
    auto* typeOne = control<QRadioButton>("opt53961");
    EXPECT_FALSE(typeOne->isHidden());
    EXPECT_EQ(typeOne->text(), "KVB53961");
    EXPECT_TRUE(typeOne->isEnabled());

    // Choosing the type-1 device in its menu switches type, tabs and combos.
    deviceItem(1, 1)->trigger();
    EXPECT_EQ(context.link.SelectedDeviceType, 1);
    EXPECT_TRUE(typeOne->isChecked());
    EXPECT_EQ(control<QComboBox>("cboDeviceNumber")->count(), 3);  // Device 0, 1, 15
    EXPECT_TRUE(deviceItem(1, 1)->isChecked());
    EXPECT_FALSE(deviceItem(0, 1)->isChecked());

    // Device 15 from the combo addresses all devices.
    test::Choose(control<QComboBox>("cboDeviceNumber"), 2);
    EXPECT_EQ(context.link.SelectedDevice, 15);
}

TEST_F(MainWindow, TheProgramsSimulatedChainConnectsWhatTheConfigurationNames)
{
    chain->fitDefaultDevices();
    configure(true, 2, 3);  // "KVB53960 and KVB53961"
    EXPECT_EQ(context.link.DeviceCount1, 3);
    EXPECT_EQ(context.link.DeviceCount2, 2);
    EXPECT_FALSE(control("opt53961")->isHidden());
    EXPECT_EQ(control<QPlainTextEdit>("txtLog")->toPlainText().indexOf("did not respond"), -1);

    // "KVB71853 only": the type-1 devices on the chain are left alone.
    const size_t before = chain->received.size();
    configure(true, 0, 3);
    EXPECT_EQ(context.link.DeviceCount1, 3);
    EXPECT_EQ(context.link.DeviceCount2, 0);
    EXPECT_TRUE(control("opt53961")->isHidden());
    for (size_t i = before; i < chain->received.size(); ++i)
        EXPECT_EQ(chain->received[i].select & 0x40, 0) << "frame " << i;
}

TEST_F(MainWindow, ChoosingADeviceShowsItsRegisters)
{
    chain->setDevices(0, 3);
    configure(true, 0, 3);
    selectTab("CELLS 1-8");
    context.link.image.at(0, 2, 65) = 0x1234;
    context.link.image.at(0, 3, 65) = 0x0567;
    auto* row0 = control<QLineEdit>("tbRegdata_0");
    EXPECT_EQ(row0->text(), "0000");

    // From the device menu: the combos follow and the rows show device 2.
    auto* devices = control<QComboBox>("cboDeviceNumber");
    deviceItem(0, 2)->trigger();
    EXPECT_EQ(devices->currentIndex(), 2);
    EXPECT_EQ(row0->text(), "1234");

    // A refresh that moves the combo selection (as after a balance dialog
    // chose another device) redraws the rows as well.
    context.link.selectDevice(3);
    context.cellBalancing.view()->refreshDeviceMenu();
    EXPECT_EQ(devices->currentIndex(), 3);
    EXPECT_EQ(row0->text(), "0567");
}

TEST_F(MainWindow, SingleDeviceLinkHidesTheDeviceNumberButKeepsPolling)
{
    chain->setDevices(0, 1);
    configure(false, 0, 1);
    EXPECT_FALSE(context.link.DaisyChainMode);
    EXPECT_EQ(context.link.DeviceCount1, 1);
    EXPECT_TRUE(control("fraDeviceNumber")->isHidden());
    EXPECT_FALSE(control("fraPollingControls")->isHidden());
    EXPECT_TRUE(control("Frupr")->isHidden());
    EXPECT_FALSE(deviceItem(0, 0)->isEnabled());
    EXPECT_TRUE(deviceItem(0, 1)->isEnabled());
    EXPECT_FALSE(deviceItem(0, 15)->isEnabled());
    EXPECT_FALSE(context.link.UprPollingEnabled);
    // The raw sender's type options are hidden, not relabelled.
    auto* rawType = control<QRadioButton>("optRawDevicetype_0");
    EXPECT_TRUE(rawType->isHidden());
    EXPECT_EQ(rawType->text(), "KVB53960");
}

TEST_F(MainWindow, AConnectThatFindsNoDeviceSwitchesTheUnpromptedResponseCheckOff)
{
    chain->setDevices(0, 2);
    configure(true, 0, 2);
    EXPECT_TRUE(context.link.UprPollingEnabled);
    chain->setDevices(0, 0);
    context.connection.Connect();  // what Connect runs
    EXPECT_EQ(context.link.DeviceCount1, 0);
    EXPECT_FALSE(context.link.UprPollingEnabled);
    EXPECT_TRUE(control("fraDeviceNumber")->isHidden());
}

TEST_F(MainWindow, ASingleDeviceConnectAfterAChainShowsDeviceOne)
{
    chain->setDevices(0, 3);
    configure(true, 0, 3);
    selectTab("CELLS 1-8");
    context.link.image.at(0, 3, 65) = 0x0123;
    context.link.image.at(0, 1, 65) = 0x0456;
    deviceItem(0, 3)->trigger();
    auto* row0 = control<QLineEdit>("tbRegdata_0");
    ASSERT_EQ(row0->text(), "0123");

    chain->setDevices(0, 1);
    configure(false, 0, 1);
    EXPECT_EQ(context.link.SelectedDevice, 1);
    EXPECT_TRUE(deviceItem(0, 1)->isChecked());
    EXPECT_FALSE(deviceItem(0, 3)->isChecked());
    // The new register tables start empty; the rows show device 1's values.
    context.link.image.at(0, 3, 65) = 0x0123;
    context.link.image.at(0, 1, 65) = 0x0456;
    selectTab("MAIN");
    selectTab("CELLS 1-8");
    EXPECT_EQ(row0->text(), "0456");
}

TEST_F(MainWindow, TheDeviceMenuTicksTheDeviceLeftAfterTheCountDrops)
{
    // Device 3 on a chain of three; Disconnect; the chain comes back with two.
    chain->setDevices(0, 3);
    configure(true, 0, 3);
    deviceItem(0, 3)->trigger();
    ASSERT_TRUE(deviceItem(0, 3)->isChecked());
    control<QPushButton>("cmdDisconnect")->click();
    chain->setDevices(0, 2);
    configure(true, 0, 2);
    ASSERT_EQ(context.link.DeviceCount1, 2);
    auto* devices = control<QComboBox>("cboDeviceNumber");
    EXPECT_EQ(devices->currentText(), "Device 2");
    EXPECT_EQ(context.link.SelectedDevice, 2);
    EXPECT_TRUE(deviceItem(0, 2)->isChecked());
    EXPECT_FALSE(deviceItem(0, 3)->isChecked());
    EXPECT_FALSE(deviceItem(0, 3)->isEnabled());

    // Type 1 device 4, then back to type 0 with its two devices.
    chain->setDevices(1, 4);
    configure(true, 2, 2);
    ASSERT_EQ(context.link.DeviceCount2, 4);
    deviceItem(1, 4)->trigger();
    ASSERT_TRUE(deviceItem(1, 4)->isChecked());
    control<QRadioButton>("opt53960")->setChecked(true);
    EXPECT_EQ(context.link.SelectedDeviceType, 0);
    EXPECT_EQ(devices->currentText(), "Device 2");
    EXPECT_TRUE(deviceItem(0, 2)->isChecked());
    EXPECT_FALSE(deviceItem(0, 4)->isChecked());
    EXPECT_FALSE(deviceItem(1, 4)->isChecked());
}

TEST_F(MainWindow, TheWindowsHooksGoWithIt)
{
    main.reset();
    EXPECT_EQ(context.link.view(), nullptr);
    EXPECT_FALSE(context.link.lamps.changed);
    EXPECT_EQ(context.commands.view(), nullptr);
    EXPECT_FALSE(context.polling.hooks.clearLogs);
    EXPECT_EQ(context.polling.view(), nullptr);
    EXPECT_EQ(context.connection.view(), nullptr);
    // The context's own links stay: an error bit still reaches the chart sample.
    context.link.log.LogCrc4Error();
    EXPECT_EQ(context.samples.comErrors(context.samples.SampleCount) & link::FlagCrc4Error,
              link::FlagCrc4Error);

    // The link and the connection keep working without the window.
    context.link.log.AddToEvbLog("after the window");
    context.connection.Disconnect();
    EXPECT_EQ(context.link.lamps.colour(LampId::UsbConnected), kLampGrey);
}

TEST_F(MainWindow, TheBalanceControlsViewsGoWithIt)
{
    main.reset();
    // A device chosen in a balance dialog's list once the window has gone
    // selects it in the link and reaches into no list of the window.
    context.balanceSequence.cboDeviceNumber_Click(1, 3);
    EXPECT_EQ(context.link.SelectedDevice, 1);
    context.balanceRegisters.cboDeviceNumber_Click(2, 3);
    EXPECT_EQ(context.link.SelectedDevice, 15);
}

TEST_F(MainWindow, TabsSwitchTheirPageGroups)
{
    chain->setDevices(0, 3);
    configure(true, 0, 3);
    auto* firstDevice = control("fraDeviceVoltagesFaults_0");
    auto* statusFrame = control("fraMainTabDeviceStatus");
    auto* rowsArea = control("registerRowsScroll");
    selectTab("MONITOR");
    EXPECT_EQ(firstDevice->x(), 12120 / 15);
    EXPECT_EQ(control("fraDeviceVoltagesFaults_3")->x(), 240 / 15);
    EXPECT_TRUE(statusFrame->isHidden());
    selectTab("MAIN");
    EXPECT_FALSE(statusFrame->isHidden());
    EXPECT_EQ(firstDevice->x(), 30000 / 15);
    selectTab("COMMANDS");
    EXPECT_FALSE(control("fraRawMessageSender")->isHidden());
    EXPECT_TRUE(control("fraRawMsgNotConnected")->isHidden());
    EXPECT_FALSE(control("cbSendRawMsg")->isHidden());
    EXPECT_TRUE(rowsArea->isHidden());

    // A fixed page whose tab lists registers shows their rows as well.
    const int commandsTab = control<QTabBar>("TabStrip1")->currentIndex();
    context.link.definitions.tabRegisters[0][commandsTab][0] = 65;
    selectTab("MAIN");
    selectTab("COMMANDS");
    EXPECT_FALSE(rowsArea->isHidden());
    EXPECT_FALSE(control<QWidget>("fmRegCtrls_0")->isHidden());
    EXPECT_TRUE(control<QWidget>("fmRegCtrls_1")->isHidden());
}

// A tab switch lets pending events run once, before it lays the pages out.
TEST_F(MainWindow, ATabSwitchYieldsOnceBeforeTheLayout)
{
    chain->setDevices(0, 1);
    configure(true, 0, 1);
    selectTab("COMMANDS");
    auto* statusFrame = control("fraMainTabDeviceStatus");
    std::vector<bool> statusShownAtYield;
    t.pump.hook = [&] { statusShownAtYield.push_back(!statusFrame->isHidden()); };
    selectTab("MAIN");
    t.pump.hook = nullptr;
    EXPECT_EQ(statusShownAtYield, std::vector<bool>{false});
    EXPECT_FALSE(statusFrame->isHidden());
}

TEST_F(MainWindow, OfflineRawSenderModeChoosesTheLinkModeOnlyWithoutABoard)
{
    // The window opens on "COMMANDS" with "Daisy Chain Mode" chosen.
    auto* daisyMode = control<QRadioButton>("optRawMsgNotConnectedMode_0");
    auto* singleMode = control<QRadioButton>("optRawMsgNotConnectedMode_1");
    auto* deviceAddress = control("tbRawMsgHex_0");
    selectTab("COMMANDS");
    EXPECT_FALSE(control("fraRawMsgNotConnected")->isHidden());
    EXPECT_TRUE(control("cbSendRawMsg")->isHidden());
    EXPECT_TRUE(context.link.DaisyChainMode);
    singleMode->setChecked(true);
    EXPECT_FALSE(context.link.DaisyChainMode);
    EXPECT_TRUE(deviceAddress->isHidden());
    EXPECT_TRUE(control("tbRawMsgHex_4")->isHidden());
    daisyMode->setChecked(true);
    EXPECT_TRUE(context.link.DaisyChainMode);
    EXPECT_FALSE(deviceAddress->isHidden());

    // With a board the tab leaves the mode as the connection set it.
    chain->setDevices(0, 2);
    configure(true, 0, 2);
    selectTab("MAIN");
    {
        QSignalBlocker quiet(singleMode);
        singleMode->setChecked(true);
    }
    selectTab("COMMANDS");
    EXPECT_TRUE(context.link.DaisyChainMode);
    EXPECT_FALSE(deviceAddress->isHidden());

    // A board open but no device answering: the options show, and choosing
    // one leaves the layout without "Send".
    chain->setDevices(0, 0);
    context.connection.Connect();
    ASSERT_TRUE(context.link.EvbConnected());
    ASSERT_FALSE(control("fraRawMsgNotConnected")->isHidden());
    singleMode->setChecked(true);
    EXPECT_FALSE(control("fraRawMsgNotConnected")->isHidden());
    EXPECT_TRUE(control("cbSendRawMsg")->isHidden());
    EXPECT_TRUE(control("fraRawMsgDevType")->isHidden());
}

TEST_F(MainWindow, LogButtonCaptionFollowsTheLogAfterAWriteFailure)
{
    // A pipe whose reader goes away: the log opens, then its writes fail.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    auto* oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    t.files.saveAnswers = {"/proc/self/fd/" + std::to_string(fds[1])};
    auto* logButton = control<QPushButton>("cmdLogToFile");
    logButton->click();
    EXPECT_TRUE(context.logging.LoggingActive());
    EXPECT_EQ(logButton->text().toStdString(), "Stop Data Logging");
    ::close(fds[0]);
    ::close(fds[1]);

    // The connect's traffic is logged; the first failed line stops the log.
    chain->setDevices(0, 1);
    const size_t boxes = t.prompter.asked.size();
    configure(true, 0, 1);
    std::signal(SIGPIPE, oldPipeHandler);
    EXPECT_FALSE(context.logging.LoggingActive());
    EXPECT_EQ(logButton->text().toStdString(), "Start Data Logging");
    int failures = 0;
    for (size_t i = boxes; i < t.prompter.asked.size(); ++i)
        failures += t.prompter.asked[i].text.rfind("LogEvent failed due to the following:", 0) == 0;
    EXPECT_EQ(failures, 1);

    // The button starts a new log rather than stopping the closed one.
    const std::string path = ::testing::TempDir() + "caption_log.txt";
    t.files.saveAnswers = {path};
    logButton->click();
    EXPECT_TRUE(context.logging.LoggingActive());
    EXPECT_EQ(logButton->text().toStdString(), "Stop Data Logging");
    logButton->click();
    EXPECT_FALSE(context.logging.LoggingActive());
    EXPECT_EQ(logButton->text().toStdString(), "Start Data Logging");
    std::filesystem::remove(path);
}

// A configuration, EE or chart file chosen over the running log is refused
// as a file in use: the log keeps what it holds and goes on growing.
TEST_F(MainWindow, FilesSavedOverTheRunningLogLeaveItWhole)
{
    const std::string path =
        ::testing::TempDir() + "running_log_" + std::to_string(::getpid()) + ".txt";
    const auto text = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    t.files.saveAnswers = {path};
    control<QPushButton>("cmdLogToFile")->click();
    ASSERT_TRUE(context.logging.LoggingActive());
    chain->setDevices(0, 1);
    configure(true, 0, 1);
    context.commands.cbReadAllVolts_Click();
    const std::string inUse = "The file \"" + path +
                              "\" is currently open or in use by another program.\r\n"
                              "You must first close this file before you can create the index.";
    ui::FrmCharting& chart = main->chartWindow();
    const std::vector<std::pair<const char*, std::function<void()>>> saves = {
        {"configuration", [&] { control<QAction>("mnuSaveConfig")->trigger(); }},
        {"EE", [&] { control<QAction>("mnuSaveEE")->trigger(); }},
        {"chart", [&] { test::Control<QPushButton>(&chart, "cmdChartExportCsv")->click(); }},
    };
    for (const auto& [name, save] : saves) {
        const std::string before = text();
        ASSERT_NE(before.find("Sent:"), std::string::npos) << name;
        const size_t boxes = t.prompter.asked.size();
        t.files.saveAnswers = {path};
        save();
        ASSERT_EQ(t.prompter.asked.size(), boxes + 1) << name;
        EXPECT_EQ(t.prompter.asked.back().text, inUse) << name;
        // Later traffic lands after what was there.
        context.commands.cbReadAllVolts_Click();
        const std::string after = text();
        EXPECT_EQ(after.substr(0, before.size()), before) << name;
        EXPECT_NE(after.find("Sent:", before.size()), std::string::npos) << name;
    }
    control<QPushButton>("cmdLogToFile")->click();
    EXPECT_NE(text().find("[Logging Stopped: "), std::string::npos);
    std::filesystem::remove(path);
}

TEST_F(MainWindow, MenuCommands)
{
    // Cancelled log file: caption and state unchanged.
    auto* logButton = control<QPushButton>("cmdLogToFile");
    logButton->click();
    EXPECT_EQ(logButton->text(), "Start Data Logging");
    EXPECT_FALSE(context.logging.LoggingActive());

    // The clock dialog is refused after a daisy-chain configuration; the
    // time-out dialog before one.
    auto* clockMenu = control<QAction>("mnuSetSpiSpeed");
    auto* timeoutMenu = control<QAction>("mnuSetSpiTimeout");
    auto dialogOf = [](QAction* menu) { return test::ModalShownBy([menu] { menu->trigger(); }); };
    EXPECT_EQ(dialogOf(timeoutMenu), "");
    EXPECT_EQ(dialogOf(clockMenu), "frmSpiClockSpeed");
    chain->setDevices(0, 1);
    configure(true, 0, 1);
    t.prompter.asked.clear();
    EXPECT_EQ(dialogOf(clockMenu), "");
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "GUI does not support Daisy Chain Communication with different clock speeds");
    EXPECT_EQ(dialogOf(timeoutMenu), "frmSpiTimeout");

    // Clearing one hex log leaves the others.
    auto* log = control<QPlainTextEdit>("txtLog");
    auto* typeZeroLog = control<QPlainTextEdit>("txt53960HexLog");
    auto* typeOneLog = control<QPlainTextEdit>("txt53961HexLog");
    QCoreApplication::processEvents();  // the lines logged so far are shown
    log->setPlainText("log");
    typeOneLog->setPlainText("type 1");
    control<QPushButton>("cmdClear53960HexLog")->click();
    EXPECT_EQ(log->toPlainText(), "log");
    EXPECT_EQ(typeOneLog->toPlainText(), "type 1");

    // Lines of a burst reach their boxes in order once the event loop runs;
    // a clear also drops the lines still on their way.
    link::LinkView& lines = *context.link.view();
    lines.appendLog("one\r\n");
    lines.appendHexLog(1, "A1 ");
    lines.appendLog("two\r\n");
    lines.appendHexLog(0, "B0 ");
    QCoreApplication::processEvents();
    EXPECT_EQ(log->toPlainText(), "logone\ntwo\n");
    EXPECT_EQ(typeOneLog->toPlainText(), "type 1A1 ");
    EXPECT_EQ(typeZeroLog->toPlainText(), "B0 ");
    lines.appendLog("three\r\n");
    control<QPushButton>("cmdClearLog")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(log->toPlainText(), "");
}

}  // namespace

namespace {

TEST_F(MainWindow, LinkErrorsComeUpInTheirWindowAndNackCanPause)
{
    chain->setDevices(0, 3);
    configure(true, 0, 3);
    selectTab("CELLS 1-8");
    auto* errors = main->findChild<QWidget*>("frmComErrors", Qt::FindDirectChildrenOnly);
    EXPECT_EQ(errors, nullptr);  // a window of its own, not a child

    chain->faults.corruptCrc = 1;
    control<QPushButton>("cbRead_0")->click();
    EXPECT_EQ(context.link.log.comErrors.lineCount(), 1);
    EXPECT_TRUE(context.link.log.comErrors.visible());
    EXPECT_NE(context.link.log.comErrors.text().find("    CRC4 Error "), std::string::npos);

    // With "Pause on Nack" ticked a NACK stops with the log in a box.
    context.panel.PauseOnNack = true;
    chain->faults.nack = true;
    t.prompter.asked.clear();
    control<QPushButton>("cbRead_0")->click();
    ASSERT_FALSE(t.prompter.asked.empty());
    EXPECT_NE(t.prompter.asked.back().text.find("NACK Response"), std::string::npos);
}

// Each log window's caption follows the part name whenever the window comes
// up, also when no new line brings it up.
TEST_F(MainWindow, LogWindowsTakeThePartNameAsTheyComeUp)
{
    chain->setDevices(0, 1);
    configure(true, 0, 1);
    context.link.log.LogCrc4Error();
    context.link.log.LogFaultStatus("Cell Open Fault");
    auto window = [](const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                return w;
        throw std::logic_error("no window named " + name.toStdString());
    };
    QWidget* errors = window("frmComErrors");
    QWidget* faults = window("frmFaultStatusLog");
    EXPECT_EQ(errors->windowTitle().toStdString(), "KVB71853 Communication Errors");
    EXPECT_EQ(faults->windowTitle().toStdString(), "KVB71853 Fault Status Log");

    configure(true, 1, 1);
    ASSERT_EQ(context.link.PartName1, "KVB53960");
    for (QWidget* w : {errors, faults}) {
        QWindowSystemInterface::handleWindowActivated(w->windowHandle());
        test::RunEventLoopUntilIdle();
    }
    EXPECT_EQ(errors->windowTitle().toStdString(), "KVB53960 Communication Errors");
    EXPECT_EQ(faults->windowTitle().toStdString(), "KVB53960 Fault Status Log");
}

// Loading a configuration shows the loaded values in the rows on screen also
// where the answers do not refresh them (single-device link, or updates off).
TEST_F(MainWindow, LoadedConfigurationShowsInTheRows)
{
    const std::string path = ::testing::TempDir() + "limits_config.txt";
    std::ofstream(path, std::ios::binary)
        << "53960 OV Limit Register\r\nwrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x1F40\r\n";
    chain->setDevices(0, 1);
    configure(false, 0, 1);
    selectTab("LIMITS");
    auto* ovLimit = control<QLineEdit>("tbRegdata_0");
    EXPECT_EQ(ovLimit->text(), "0000");
    t.files.openAnswers = {path};
    auto* loadConfig = control<QAction>("mnuLoadConfig");
    loadConfig->trigger();
    EXPECT_EQ(chain->device(0, 1).regs[144], 0x1F40);
    EXPECT_EQ(ovLimit->text(), "1F40");

    // A daisy chain with "Polling Update GUI Contols" unticked.
    chain->setDevices(0, 2);
    configure(true, 0, 2);
    selectTab("LIMITS");
    control<QAction>("mnuUpdateGUIControls")->trigger();
    ASSERT_FALSE(context.link.options.UpdateGuiControls);
    std::ofstream(path, std::ios::binary) << "wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x0ABC\r\n";
    t.files.openAnswers = {path};
    loadConfig->trigger();
    EXPECT_EQ(chain->device(0, 1).regs[144], 0x0ABC);
    EXPECT_EQ(control<QLineEdit>("tbRegdata_0")->text(), "0ABC");
}

// Typing into a row's value box overtypes as the row editor does: the caret
// goes back to the start after each digit typed inside the text, and the
// row's Write sends what the box shows.
TEST_F(MainWindow, RowValueBoxOvertypesFromTheStartAndWritesWhatItShows)
{
    chain->setDevices(0, 1);
    configure(false, 0, 1);
    selectTab("LIMITS");
    auto* box = control<QLineEdit>("tbRegdata_0");
    control<QSpinBox>("updnRegData_0")->setValue(0x123);
    ASSERT_EQ(box->text(), "0123");
    box->setCursorPosition(1);
    // The key codes of Qt::Key_0 to Qt::Key_9 are the digits' characters.
    for (const char* digit : {"5", "2"}) {
        QKeyEvent press(QEvent::KeyPress, digit[0], Qt::NoModifier, digit);
        QCoreApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, digit);
        QCoreApplication::sendEvent(box, &release);
    }
    EXPECT_EQ(box->text(), "2523");
    EXPECT_EQ(box->cursorPosition(), 0);
    control<QPushButton>("cbWrite_0")->click();
    EXPECT_EQ(chain->device(0, 1).regs[144], 0x2523);
}

// A register-definition file that cannot be read at start: the load is told
// through the error box, the program goes on with no register tabs, and a
// connection still works.
class MainWindowWithoutDefinitions : public MainWindow {
protected:
    void SetUp() override
    {
        const std::string folder = ::testing::TempDir() + "program_without_tabdefs";
        std::filesystem::create_directories(folder + "/" + link::kTabdefsFileName);
        context.programFolder = folder;
        MainWindow::SetUp();
    }
};

TEST_F(MainWindowWithoutDefinitions, StartsAndConnectsWithoutRegisterTabs)
{
    const std::string box = "Error in ParseTabsefsCreateTabs Err.Number = 75, Err.Description = "
                            "Path/File access error (" + context.programFolder + "/" +
                            link::kTabdefsFileName + " is a folder)";
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, box);
    EXPECT_EQ(t.programEnd.quits, 0);
    EXPECT_FALSE(t.programEnd.ending());
    auto* tabs = control<QTabBar>("TabStrip1");
    EXPECT_LE(tabs->count(), 1);  // no register tab of a file
    EXPECT_TRUE(control<QTimer>("Timer4")->isActive());

    chain->setDevices(0, 2);
    configure(true, 1, 2);
    EXPECT_EQ(t.prompter.asked.at(1).text, box);  // the dialog's load fails alike
    EXPECT_EQ(context.link.DeviceCount1, 2);
    EXPECT_LE(tabs->count(), 1);  // no register tab of a file
    context.commands.view()->relayoutTab();  // the tab laid out again
    deviceItem(0, 2)->trigger();
    EXPECT_EQ(context.link.SelectedDevice, 2);
    EXPECT_EQ(t.programEnd.quits, 0);
}

}  // namespace

TEST_F(MainWindow, ReadAllRegsStandsOnEveryRegisterTabAndSendsNothing)
{
    chain->setDevices(0, 2);
    configure(true, 0, 2);
    auto* readAll = control<QPushButton>("cbReadAllRegs");
    EXPECT_EQ(readAll->text(), "Read All Regs");
    for (const char* tab : {"CELLS 1-8", "SETUP", "CMDS 1", "EEPROM 00-07"}) {
        selectTab(tab);
        EXPECT_TRUE(readAll->isVisibleTo(main.get())) << tab;
    }
    selectTab("MAIN");
    EXPECT_FALSE(readAll->isVisibleTo(main.get()));

    selectTab("LIMITS");
    // The link log's lines are caught in place of the window's box.
    struct LogLines final : link::LinkView {
        std::vector<std::string> lines;
        void showRegisterValue(int, int16_t) override {}
        void refreshMainTab() override {}
        void refreshMonitorTab() override {}
        void appendLog(const std::string& line) override { lines.push_back(line); }
        void clearLog() override {}
        void appendHexLog(int, const std::string&) override {}
    } logLines;
    const std::vector<std::string>& logged = logLines.lines;
    context.link.attachView(&logLines);
    const size_t sent = chain->received.size();
    t.prompter.asked.clear();
    readAll->click();
    EXPECT_EQ(chain->received.size(), sent);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Not yet implemented");
    context.link.attachView(nullptr);  // the catcher goes with the test
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].rfind("Reading all device registers:", 0), 0u);
}
