#pragma once
// The evaluation window: tabs of register rows and fixed pages, connection
// and device selection, polling controls, lamps and the three logs. A view:
// its handlers call the core objects of the context, and it shows what they
// tell it through the views and hooks it installs. Its controls are its own; others
// find them by their objectName.

#include "app/ChipCommands.h"
#include "app/ConnectionController.h"
#include "app/RegisterRows.h"
#include "core/HookScope.h"
#include "link/LinkHooks.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTabBar;
class QTimer;

namespace kvb {
class RegisterRowActions;
}

namespace kvb::ui {
class BalanceUi;
class FrmErrorLog;
class DeviceCommandsFrame;
class FrmCharting;
class FrmPollOptions;
class MainTabPage;
class MonitorTabPage;
class PendingRefresh;
class PollingControls;
class RawMessageSenderView;
class FrmManualConfig;
class Lamp;
class LampPanel;
class RegisterRowsView;
}

namespace kvb {
class AppContext;
}

namespace kvb::ui {

class MainKvb71853 : public QMainWindow {
    Q_OBJECT
public:
    explicit MainKvb71853(AppContext& context, QWidget* parent = nullptr);
    ~MainKvb71853() override;

    // The chart window, made on first use.
    FrmCharting& chartWindow();

    // The "About" menu, bound by the form that opens this window.
    std::function<void()> onShowAbout;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Link-mode control groups.
    void EnableDaisyChainControls();
    void DisableDaisyChainControls();
    void ShowDaisyChainControls();
    void HideDaisyChainControls();
    void ShowEnableMainTabFrames();
    void HideDisableMainTabFrames();
    void ShowEnableRawMessageSender();
    void HideDisableRawMessageSender();
    void ShowEnableMonitorTabFrames();
    void HideDisableMonitorTabFrames();
    void ShowEnableDatalogTabFrames() {}
    void HideDisableDatalogTabFrames() {}

    // Device and device-type selection.
    void mnu53960DevNum_Click(int index);
    void mnu53961DevNum_Click(int index);
    void opt53960_Click();
    void opt53961_Click();
    void cboDeviceNumber_Click();
    void RefreshDeviceMenu();

    // Tabs.
    void TabStrip1_Click();
    void RebuildTabStrip(int type);

    // Connection.
    void cmdConnect_Click();
    void cmdDisconnect_Click();
    void mnuManualConfig_Click();
    // The window's controls in the not-connected and connected states (the
    // connection sets the lamps, polling and the link state).
    void NotConnectedState();
    void ConnectedState();
    void NotConnectedWithoutDevices();
    // The configuration dialog's OK: takes the choices and connects.
    void ManualConfigAccepted();
    void ShowManualConfig(bool modal);
    void ParseTabsefsCreateTabs();

    // Menu commands.
    void cmdLogToFile_Click();
    void cmdShowChart_Click();
    void mnuSetSpiSpeed_Click();
    void mnuSetSpiTimeout_Click();
    void cmdClearLog_Click();
    void cmdClear53960HexLog_Click();
    void cmdClear53961HexLog_Click();

    // The three logs.
    void AddToEvbLog(const QString& text1, const QString& text2);
    void AppendHexLog(int type, const QString& text);

    // Log text waits here until the event loop runs, so that each log box
    // takes all the lines of a burst of exchanges in one insertion.
    void queueLogText(int box, const QString& text);
    void showQueuedLogText();
    void clearLogBox(int box);
    // Empties a box together with the text on its way when the queued text
    // is shown: the box then takes its new text in one step.
    void clearLogBoxLater(int box);
    QPlainTextEdit* logBox(int box) const;
    std::array<QString, 3> queuedLogText_;  // txtLog, txt53960HexLog, txt53961HexLog
    bool logTextQueued_ = false;
    std::array<bool, 3> logClearQueued_{};
    void buildMenus();
    void buildFileMenu(QMenuBar* bar);
    void buildSpiMenu(QMenuBar* bar);
    void buildPollingMenu(QMenuBar* bar);
    void buildDeviceMenu(QMenuBar* bar);
    void buildPages(QWidget* central);
    void buildMainTabFrames();
    void buildRawMessageSender();
    void buildRawMsgNotConnected();
    void buildRawMsgDevType();
    void buildRawMsgFields();
    void buildRegisterRows();
    void buildDeviceVoltagesFaults();
    void buildControlStrip(QWidget* central);
    void buildConnectionControls();
    void buildDeviceNumber();
    void buildPollingControls();
    void buildStripLamps();
    void buildUpr();
    void buildLogs(QWidget* central);
    void layOutWindow();
    void fitPages();
    void InitMenus();
    void FormLoad();
    void selectDeviceFromMenu(int type, int index);
    void selectComboEntries(int entry);
    void wireLink();
    void wireConnection();
    void wireCommands();
    void wireMenus();
    void wirePages();
    std::unique_ptr<MainTabPage> mainTabPage_;
    std::unique_ptr<MonitorTabPage> monitorTabPage_;
    // The MAIN and MONITOR pages follow the answers of a poll tick once per
    // tick (and whenever the window can paint meanwhile).
    PendingRefresh* mainPageRefresh_ = nullptr;
    PendingRefresh* monitorPageRefresh_ = nullptr;
    std::unique_ptr<RawMessageSenderView> rawSender_;
    std::unique_ptr<PollingControls> pollingControls_;
    std::unique_ptr<BalanceUi> balanceUi_;
    std::unique_ptr<FrmErrorLog> frmComErrors_;
    std::unique_ptr<FrmErrorLog> frmFaultStatusLog_;
    std::unique_ptr<FrmCharting> chartWindow_;
    void applyTypeControls();
    void showRegisterValue(int reg, int16_t value);

    // The window as the link shows into it: register rows, pages, log boxes.
    class LinkViewOfWindow final : public link::LinkView {
    public:
        explicit LinkViewOfWindow(MainKvb71853& window) : w_(window) {}
        void showRegisterValue(int reg, int16_t value) override;
        void refreshMainTab() override;
        void refreshMonitorTab() override;
        void appendLog(const std::string& text) override;
        void clearLog() override;
        void appendHexLog(int type, const std::string& text) override;

    private:
        MainKvb71853& w_;
    };
    LinkViewOfWindow linkView_{*this};
    // The window as the chip commands show into it: the chart, the tabs.
    class CommandViewOfWindow final : public CommandView {
    public:
        explicit CommandViewOfWindow(MainKvb71853& window) : w_(window) {}
        bool updateChart() const override;
        void addChartSample() override;
        void relayoutTab() override;
        void selectTab(int position) override;

    private:
        MainKvb71853& w_;
    };
    CommandViewOfWindow commandView_{*this};
    // The window as the connection's steps show into it.
    class ConnectionViewOfWindow final : public ConnectionView {
    public:
        explicit ConnectionViewOfWindow(MainKvb71853& window) : w_(window) {}
        void showConfigDialog() override;
        void runConfigDialog() override;
        void showUprControls(bool shown) override;
        void searching() override;
        void linkMode(bool daisyChain) override;
        void connected(bool uprPolling) override;
        void notConnected(bool withoutDevices) override;
        void configurationTaken(const ManualConfigResult& result) override;
        void rebuildRegisterTabs() override;
        void setCaption(const std::string& caption) override;

    private:
        MainKvb71853& w_;
    };
    ConnectionViewOfWindow connectionView_{*this};
    // The MAIN and MONITOR pages as the register rows refresh them.
    class PagesOfWindow final : public PageRefresh {
    public:
        explicit PagesOfWindow(MainKvb71853& window) : w_(window) {}
        bool mainPageShown() const override;
        void refreshMainPage() override;
        bool monitorPageShown() const override;
        void refreshMonitorPage() override;

    private:
        MainKvb71853& w_;
    };
    PagesOfWindow pagesView_{*this};

    AppContext& context_;
    // The hooks this window installs into the link, the commands, polling
    // and the connection; cleared when the window goes.
    HookScope hooks_;
    QWidget* content_ = nullptr;  // everything below the menu bar
    bool InstrumentsInUse = false;
    bool comboSync_ = false;
    bool tabsRebuilding_ = false;

    // The window's controls. Names are the objectNames.
    QTabBar* TabStrip1 = nullptr;
    QWidget* pageArea = nullptr;
    QWidget* controlStrip = nullptr;
    RegisterRowsView* rowsView = nullptr;
    std::unique_ptr<RegisterRowActions> rowActions;
    DeviceCommandsFrame* fraDaisyChainCommands = nullptr;
    LampPanel* lampPanel = nullptr;
    Lamp* ledUSBConnected = nullptr;
    Lamp* ledPolling = nullptr;
    Lamp* ledUPRStatus = nullptr;
    QScrollArea* rowsScroll = nullptr;
    FrmManualConfig* frmManualConfig = nullptr;
    FrmPollOptions* frmPollOptions = nullptr;

    std::array<QGroupBox*, 5> mainTabFrames{};  // device status, balance, temps, thresholds, chain
    QGroupBox* fraRawMessageSender = nullptr;
    QGroupBox* fraRawMsgNotConnected = nullptr;
    std::array<QRadioButton*, 2> optRawMsgNotConnectedMode{};
    QGroupBox* fraRawMsgDevType = nullptr;
    std::array<QRadioButton*, 2> optRawDevicetype{};
    QPushButton* cbSendRawMsg = nullptr;
    std::array<QLabel*, 5> lblRawMsg{};
    std::array<QLineEdit*, 5> tbRawMsgHex{};
    std::array<QLineEdit*, 4> tbEncodedCommandHexByte{};
    std::array<QGroupBox*, 4> fraDeviceVoltagesFaults{};

    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdDisconnect = nullptr;
    QPushButton* cbQuit = nullptr;
    QPushButton* cmdShowChart = nullptr;
    QRadioButton* opt53960 = nullptr;
    QRadioButton* opt53961 = nullptr;
    QGroupBox* fraDeviceNumber = nullptr;
    QComboBox* cboDeviceNumber = nullptr;
    QGroupBox* fraPollingControls = nullptr;
    QPushButton* cmdPollingSetup = nullptr;
    QLineEdit* tbPollingInterval = nullptr;
    QSpinBox* updnPollingInterval = nullptr;
    QCheckBox* chkEnablePolling = nullptr;
    QGroupBox* Frupr = nullptr;
    std::array<QPushButton*, 2> cmdUPRRead{};

    QPlainTextEdit* txtLog = nullptr;
    QPlainTextEdit* txt53960HexLog = nullptr;
    QPlainTextEdit* txt53961HexLog = nullptr;
    QLabel* lbl53960HexLog = nullptr;
    QLabel* lbl53961HexLog = nullptr;
    QGroupBox* FrLogCtrls = nullptr;
    QPushButton* cmdClearLog = nullptr;
    QPushButton* cmdClear53960HexLog = nullptr;
    QPushButton* cmdClear53961HexLog = nullptr;
    QPushButton* cmdLogToFile = nullptr;

    QMenu* mnuKVB53960 = nullptr;
    QMenu* mnuKVB53961 = nullptr;
    std::array<QAction*, 16> mnu53960DevNum{};
    std::array<QAction*, 16> mnu53961DevNum{};
    QAction* mnuLoadConfig = nullptr;
    QAction* mnuSaveConfig = nullptr;
    QAction* mnuLoadEE = nullptr;
    QAction* mnuSaveEE = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuSetSpiSpeed = nullptr;
    QAction* mnuSetSpiTimeout = nullptr;
    QAction* mnuShowActivityLogs = nullptr;
    QAction* mnuUpdateGUIControls = nullptr;
    QAction* mnuUpdateChart = nullptr;
    QAction* mnuManualConfig = nullptr;
    QAction* mnuAbout = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
};

}  // namespace kvb::ui
