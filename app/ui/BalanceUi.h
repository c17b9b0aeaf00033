#pragma once
// Binds the cell-balancing controls to the main window: fills the MAIN
// page's "Cell Balance Controls" frame (balance mode, timeout and wait
// lists, the enable box, "Registers..." and "Sequence..."), handles the
// MAIN page's twelve cell buttons, and owns the balance, SPI clock and SPI
// time-out dialogs (created on first use, kept until the window closes).
//
// The main window creates one after building its frames and calls:
// bindMainTabPage (the page's cell buttons and refreshes), fillDialogCombos
// and selectDialogComboEntry (as its device menus refill and select its
// combo), showDaisyChainGroups and
// enableDaisyChainGroups (from its link-mode group routines), the four file
// menu handlers and the two SPI menu handlers; it sets refreshDeviceMenu and
// relayoutTab.

#include "app/BalanceSequence.h"
#include "app/CellBalancing.h"
#include "app/StatusPages.h"
#include "data/DeviceConfigFiles.h"

#include <QObject>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

namespace kvb {
class AppContext;
}

namespace kvb::ui {

class FrmBalanceRegisters;
class FrmBalanceSequence;
class FrmSpiClockSpeed;
class FrmSpiTimeout;
class MainTabPage;

class BalanceUi : public QObject {
    Q_OBJECT
public:
    // `balanceFrame` is fraMainTabBalanceCtrls; `mainDeviceList` the main
    // window's cboDeviceNumber, kept in step with the dialogs' lists.
    BalanceUi(AppContext& context, QWidget* window, QGroupBox* balanceFrame,
              QComboBox* mainDeviceList);
    ~BalanceUi() override;

    // The main window's RefreshDeviceMenu and TabStrip1_Click, run after a
    // balance dialog closes.
    std::function<void()> refreshDeviceMenu;
    std::function<void()> relayoutTab;

    void bindMainTabPage(MainTabPage& page);
    // The combos and the check box show a device's settings; nothing is sent.
    void showBalanceSettings(const BalanceSettings& settings);

    void fillDialogCombos(const std::vector<std::string>& entries);
    void selectDialogComboEntry(int entry);
    void showDaisyChainGroups(bool shown);
    void enableDaisyChainGroups(bool enabled);

    void mnuLoadConfig_Click();
    void mnuLoadEE_Click();
    void mnuSaveConfig_Click();
    void mnuSaveEE_Click();
    // The SPI dialogs, modal; the menu decides whether the link allows them.
    void showSpiClockDialog();
    void showSpiTimeoutDialog();

    FrmBalanceSequence& sequenceDialog();
    FrmBalanceRegisters& registersDialog();

    QComboBox* cboBalanceMode = nullptr;
    QComboBox* cboBalanceTimeout = nullptr;
    QComboBox* cboBalanceWait = nullptr;
    QCheckBox* chkEnableCellBalance = nullptr;
    QPushButton* cbConfigureBalanceRegs = nullptr;
    QPushButton* cbConfigureBalanceSequence = nullptr;

private:
    void buildFrame(QGroupBox* frame);
    void cellButtonClicked(int index);
    void showSettingsFromImage();

    // The controls as the balancing state, the balance dialogs' device lists
    // and a configuration load show into them; attached while this object
    // lives.
    class BalancingViewOfWindow final : public CellBalancingView,
                                        public BalanceDeviceLists,
                                        public data::ConfigRowsView {
    public:
        explicit BalancingViewOfWindow(BalanceUi& ui) : ui_(ui) {}
        void disableCellButtons() override;
        void enableCellButtons() override;
        void refreshCellButtons() override;
        void showSettingsFromImage() override;
        void showRegistersDialog() override;
        void showSequenceDialog() override;
        void refreshDeviceMenu() override;
        void relayoutTab() override;
        void selectOtherDeviceLists(int entry) override;
        void refreshRows() override;

    private:
        BalanceUi& ui_;
    };
    BalancingViewOfWindow balancingView_{*this};

    AppContext& context_;
    QWidget* window_;
    QComboBox* mainDeviceList_;
    MainTabPage* page_ = nullptr;
    FrmBalanceSequence* sequence_ = nullptr;
    FrmBalanceRegisters* registers_ = nullptr;
    FrmSpiClockSpeed* spiClock_ = nullptr;
    FrmSpiTimeout* spiTimeout_ = nullptr;
    std::vector<std::string> comboEntries_;
    int comboEntry_ = -1;
    bool daisyShown_ = false;
    bool daisyEnabled_ = false;
};

}  // namespace kvb::ui
