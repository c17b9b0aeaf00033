#include "app/CellBalancing.h"

#include "app/BalanceAccess.h"
#include "core/ScopedFlag.h"
#include "core/UnexpectedError.h"
#include "link/BalanceStatus.h"

namespace kvb {

namespace {

using namespace balance_reg;

constexpr int16_t kEnableBit = 0x200;

}  // namespace

CellBalancing::CellBalancing(link::ChipLink& link, link::PollControl& polling,
                             bool& balanceComboSync, Services& services)
    : link_(link), polling_(polling), balanceComboSync_(balanceComboSync), services_(services)
{
}

void CellBalancing::cboBalance_DropDown()
{
    if (dropDownHeld_)
        return;
    dropDownHeld_ = true;
    link_.PauseUprPolling();
}

void CellBalancing::cboBalance_CloseUp()
{
    if (!dropDownHeld_)
        return;
    dropDownHeld_ = false;
    link_.ResumeUprPolling();
}

std::vector<int> CellBalancing::devicesFor(const Change& change)
{
    if (!link_.DaisyChainMode)
        return {1};
    if (!change.askWithOneDevice && link_.DeviceCount1 <= 1)
        return {1};
    const bool all = services_.prompter.ask(change.prompt, change.title, Buttons::YesNo,
                                            Icon::Question) == Answer::Yes;
    return BalanceTargetsOrTell(link_, services_.prompter, change.procedure, all);
}

template <typename Modify, typename After>
bool CellBalancing::changeDevices(const Change& change, const std::vector<int>& devices,
                                  Modify modify, After after)
{
    ScopedFlag chainWide(balanceComboSync_);
    const board::PipeLossWatch watch(link_.pipe());
    bool all = true;
    for (int d : devices) {
        // A lost board has been reported once; the next device would only
        // report it again.
        if (BalanceBoardGone(link_, watch))
            return false;
        if (!ReadModifyWrite(link_, d, change.address, modify)) {
            LogNoAnswer(link_, change.procedure, d);
            all = false;
            continue;
        }
        after(d);
    }
    return all;
}

void CellBalancing::chkEnableCellBalance_Click(bool ticked)
{
    if (ComboSync)
        return;
    const char* name = "chkEnableCellBalance_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!BalanceDevicesOrTell(link_, services_.prompter, name))
            return;
        link::PollingPause pause(link_);
        const Change change{name, SetupAddress, "Configure CB Mode",
                            std::string(ticked ? "Enable" : "Disable") +
                                " Cell Balancing on all connected " + link_.PartName1 +
                                " devices?",
                            false};
        const std::vector<int> devices = devicesFor(change);
        const bool done = changeDevices(
            change, devices,
            [ticked](int16_t old) { return (old & 0x1FF) | (ticked ? kEnableBit : 0); },
            [](int) {});
        if (!done || devices.empty())
            call(&CellBalancingView::showSettingsFromImage);
        // Balancing on starts the poll timer, whether or not polling is
        // ticked.
        if (ticked && !devices.empty())
            polling_.setTimerRunning(true);
    });
}

void CellBalancing::cboBalanceMode_Click(int index)
{
    if (ComboSync)
        return;
    const char* name = "cboBalanceMode_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!BalanceDevicesOrTell(link_, services_.prompter, name))
            return;
        link::PollingPause pause(link_);
        const int mode = index & 3;
        const bool cellButtons = mode == 1 || mode == 2;
        const Change change{name, SetupAddress, "Configure CB Mode",
                            "Set Cell Balance Mode on all connected " + link_.PartName1 +
                                " devices?",
                            false};
        const std::vector<int> devices = devicesFor(change);
        const bool done = changeDevices(
            change, devices,
            [mode, cellButtons](int16_t old) {
                int v = old & 0x3FC;
                if (cellButtons)
                    v &= 0x21F;  // the cell buttons work on bank 0
                return v | mode;
            },
            [this, cellButtons](int d) {
                // Register 148 now addresses bank 0: the image takes the
                // cells' bits for the buttons.
                if (cellButtons)
                    ReadBalanceReg(link_, d, StatusAddress);
            });
        if (!done || devices.empty())
            call(&CellBalancingView::showSettingsFromImage);
        // The cell buttons follow the mode chosen once it was sent, also when
        // a device did not take it.
        if (devices.empty()) {
            call(&CellBalancingView::refreshCellButtons);
        } else if (cellButtons) {
            call(&CellBalancingView::enableCellButtons);
            call(&CellBalancingView::refreshCellButtons);
        } else {
            call(&CellBalancingView::disableCellButtons);
        }
    });
}

void CellBalancing::cboBalanceTimeout_Click(int index)
{
    if (ComboSync)
        return;
    const char* name = "cboBalanceTimeout_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!BalanceDevicesOrTell(link_, services_.prompter, name))
            return;
        link::PollingPause pause(link_);
        const Change change{name, TimeAddress, "Configure CB Timeout",
                            "Set Cell Balance Timeout on all connected " + link_.PartName1 +
                                " devices?",
                            true};
        const std::vector<int> devices = devicesFor(change);
        const int code = index & 0x7F;
        if (!changeDevices(
                change, devices, [code](int16_t old) { return (old & 0x7F) | (code * 128); },
                [](int) {}) ||
            devices.empty())
            call(&CellBalancingView::showSettingsFromImage);
    });
}

void CellBalancing::cboBalanceWait_Click(int index)
{
    if (ComboSync)
        return;
    const char* name = "cboBalanceWait_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!BalanceDevicesOrTell(link_, services_.prompter, name))
            return;
        link::PollingPause pause(link_);
        const Change change{name, SetupAddress, "Configure CB Wait Time",
                            "Set Cell Balance Wait Time on all connected " + link_.PartName1 +
                                " devices?",
                            true};
        const std::vector<int> devices = devicesFor(change);
        const int code = index & 7;
        if (!changeDevices(
                change, devices, [code](int16_t old) { return (old & 0x3E3) | (code * 4); },
                [](int) {}) ||
            devices.empty())
            call(&CellBalancingView::showSettingsFromImage);
    });
}

std::optional<bool> CellBalancing::cbMainTabBalCtrl_Click(int index, bool shownOn)
{
    const char* name = "cbMainTabBalCtrl_Click";
    const auto press = [&]() -> std::optional<bool> {
        if (index < 0 || index >= kBalanceCells)
            return std::nullopt;
        const std::vector<int> devices =
            BalanceClickTargets(link_, services_.prompter, name, false);
        if (devices.empty())
            return std::nullopt;
        const int d = devices.front();
        link::PollingPause pause(link_);
        // The cell's bit changes in the value last known of the status
        // register, which is written to whatever bank the setup register's
        // pointer selects now.
        const int bit = 1 << index;
        const int old = link_.image.at(0, d, Status);
        const auto v = static_cast<int16_t>(shownOn ? old & ~bit : old | bit);
        // The link files the write under the bank the chip's pointer selects.
        if (!WriteBalanceReg(link_, d, StatusAddress, v))
            return std::nullopt;
        return !shownOn;
    };
    return RunHandler(services_.prompter, name, std::optional<bool>{}, press);
}

void CellBalancing::openDialog(ViewStep show)
{
    link::PollingPause pause(link_);
    call(show);
    // The dialogs may have chosen another device.
    call(&CellBalancingView::refreshDeviceMenu);
    call(&CellBalancingView::relayoutTab);
}

void CellBalancing::cbConfigureBalanceRegs_Click()
{
    RunHandler(services_.prompter, "cbConfigureBalanceRegs_Click", [&] {
        openDialog(&CellBalancingView::showRegistersDialog);
    });
}

void CellBalancing::cbConfigureBalanceSequence_Click()
{
    RunHandler(services_.prompter, "cbConfigureBalanceSequence_Click", [&] {
        openDialog(&CellBalancingView::showSequenceDialog);
    });
}

}  // namespace kvb
