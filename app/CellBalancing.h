#pragma once
// The MAIN page's "Cell Balance Controls": balance mode, timeout, wait time
// and the enable bit of the selected device or of every type-0 device on a
// daisy chain, the twelve per-cell buttons of the manual and timed modes,
// and the two buttons that open the balance dialogs. The combo boxes list
// the entries of MainWindowLayout (index = code). Every setting but a cell
// button is a read-modify-write of a chip register; a cell button writes its
// bit into the value last known. The only state kept here is the guard
// against changes made by code.

#include "core/Services.h"
#include "link/ChipLink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvb {

// What the controls' owner (the main window and the MAIN page) provides.
// The window lives shorter than the balancing state: its balance controls
// attach themselves while they are open; without them nothing is shown.
class CellBalancingView {
public:
    virtual ~CellBalancingView() = default;
    virtual void disableCellButtons() = 0;  // DisableMainTabBalCtrlButtons
    virtual void enableCellButtons() = 0;   // EnableMainTabBalCtrlButtons
    virtual void refreshCellButtons() = 0;  // RefreshMainTabBalCtrlButtons
    // Puts the combos and the check box back to the selected device's
    // settings after a change that did not go through.
    virtual void showSettingsFromImage() = 0;
    // The balance dialogs, shown modally.
    virtual void showRegistersDialog() = 0;
    virtual void showSequenceDialog() = 0;
    virtual void refreshDeviceMenu() = 0;  // RefreshDeviceMenu
    virtual void relayoutTab() = 0;        // TabStrip1_Click
};

class CellBalancing {
public:
    // `balanceComboSync` is the MAIN page's flag: raised while a change of
    // several devices runs, so that the page's refresh leaves these
    // controls alone.
    CellBalancing(link::ChipLink& link, link::PollControl& polling, bool& balanceComboSync,
                  Services& services);

    // The window's balance controls, or none.
    void attachView(CellBalancingView* view) { view_ = view; }
    CellBalancingView* view() const { return view_; }
    // Raised by the view while it sets the controls by code: the handlers
    // then send nothing.
    bool ComboSync = false;

    // A list was opened or closed: polling waits while the user chooses.
    void cboBalance_DropDown();
    void cboBalance_CloseUp();

    void cboBalanceMode_Click(int index);
    void cboBalanceTimeout_Click(int index);
    void cboBalanceWait_Click(int index);
    void chkEnableCellBalance_Click(bool ticked);
    // Toggles cell index+1 in the selected device's balance status register
    // (the bank its setup register points at), without reading it first.
    // `shownOn` is the button's caption ("On"); the result is the button's
    // new state, or nothing when the chip did not take the write.
    std::optional<bool> cbMainTabBalCtrl_Click(int index, bool shownOn);
    void cbConfigureBalanceRegs_Click();
    void cbConfigureBalanceSequence_Click();

private:
    struct Change {
        const char* procedure;
        uint8_t address;
        const char* title;
        std::string prompt;
        bool askWithOneDevice;
    };
    // The devices a chain-wide change addresses (asks on a daisy chain).
    std::vector<int> devicesFor(const Change& change);
    // Runs the read-modify-write on every device, and `after` on each that
    // took it; a device that failed is left as it was and the next one
    // changed, until the board is lost. False when a device failed.
    template <typename Modify, typename After>
    bool changeDevices(const Change& change, const std::vector<int>& devices, Modify modify,
                       After after);
    using ViewStep = void (CellBalancingView::*)();
    void openDialog(ViewStep show);
    void call(ViewStep step)
    {
        if (view_)
            (view_->*step)();
    }

    link::ChipLink& link_;
    link::PollControl& polling_;
    bool& balanceComboSync_;
    Services& services_;
    bool dropDownHeld_ = false;
    CellBalancingView* view_ = nullptr;
};

}  // namespace kvb
