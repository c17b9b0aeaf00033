#pragma once
// The fixed chip commands of the main window's "Device Commands" frame and
// the hidden "Send Meas" button: read-alls, scans, balance enable and
// inhibit, sleep, wake, measure and "Clear All Faults", each sent to every
// present device of both types, and the four senders that carry a command
// over the current link (quick: one frame per device; broadcast: one frame
// per device type to device 15).

#include "board/ChipPipe.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvb {

enum class ChipCommand : int {
    ReadAllVolts, ReadAllTemps, ReadAllFaults, ReadAllSetup,
    ScanAllVolts, ScanAllTemps, ScanAllMixed, ScanAllWires, ScanAllAll, ScanAllContinuous,
    ScanAllInhibit,
    BalEnableAll, BalInhibitAll,
    DaisyChainSleep, DaisyChainWake,
    SendMeasure,
    ClearAllFaults,
};
constexpr int kChipCommands = 17;

enum class Sender { Quick, Broadcast, None };

struct ChipCommandInfo {
    ChipCommand id;
    const char* control;  // objectName of the button
    const char* caption;
    uint8_t cat = 0;
    uint8_t adr = 0;
    int16_t dat = 0;
    Sender sender = Sender::Quick;
    bool inProgress = false;  // CommandInProgress raised around the send
    // Read-alls on the single-device link read this block one by one.
    int firstRegister = -1;
    int lastRegister = -1;
};

// The seventeen commands, in the order of ChipCommand.
const std::array<ChipCommandInfo, kChipCommands>& ChipCommandTable();
const ChipCommandInfo& CommandInfo(ChipCommand id);
// "cbScanAllVolts_Click": the name its log lines and error boxes carry.
std::string HandlerName(const ChipCommandInfo& info);

// The main window as the chip commands and the unprompted-response check
// show into it. The window lives shorter than the commands: it attaches
// itself while it is open; without it no chart sample is taken and no tab
// moves.
class CommandView {
public:
    virtual ~CommandView() = default;
    virtual bool updateChart() const = 0;  // mnuUpdateChart is checked
    virtual void addChartSample() = 0;     // AddNewVoltageDataToChartArray
    virtual void relayoutTab() = 0;        // TabStrip1_Click
    // Selects a tab of TabStrip1 by its 1-based position (laying it out).
    virtual void selectTab(int position) = 0;
};

class ChipCommands {
public:
    ChipCommands(link::ChipLink& link, board::ChipPipe& pipe, Services& services);

    // The main window, or none.
    void attachView(CommandView* view) { view_ = view; }
    CommandView* view() const { return view_; }

    // A button press, or the same handler run by code (poll tick, start
    // sequence, unprompted-response check).
    void press(ChipCommand id);

    void cbReadAllVolts_Click() { press(ChipCommand::ReadAllVolts); }
    void cbReadAllTemps_Click() { press(ChipCommand::ReadAllTemps); }
    void cbReadAllFaults_Click() { press(ChipCommand::ReadAllFaults); }
    void cbReadAllSetup_Click() { press(ChipCommand::ReadAllSetup); }
    void cbScanAllVolts_Click() { press(ChipCommand::ScanAllVolts); }
    void cbScanAllTemps_Click() { press(ChipCommand::ScanAllTemps); }
    void cbScanAllMixed_Click() { press(ChipCommand::ScanAllMixed); }
    void cbScanAllWires_Click() { press(ChipCommand::ScanAllWires); }
    void cbScanAllAll_Click() { press(ChipCommand::ScanAllAll); }
    void cbScanAllContinuous_Click() { press(ChipCommand::ScanAllContinuous); }
    void cbScanAllInhibit_Click() { press(ChipCommand::ScanAllInhibit); }
    void cbBalEnableAll_Click() { press(ChipCommand::BalEnableAll); }
    void cbBalInhibitAll_Click() { press(ChipCommand::BalInhibitAll); }
    void cbDaisyChainSleep_Click() { press(ChipCommand::DaisyChainSleep); }
    void cbDaisyChainWake_Click() { press(ChipCommand::DaisyChainWake); }
    void cmdSendMeasure_Click() { press(ChipCommand::SendMeasure); }
    void cbClearAllFaults_Click() { press(ChipCommand::ClearAllFaults); }

    // The senders; each refuses the other link mode.
    void DaisyChainQuickCommand(link::ChipMessage& message);
    void DaisyChainBroadcastCommand(link::ChipMessage& message);
    void NonDaisyChainQuickCommand(link::ChipMessage& message);
    void NonDaisyChainBroadcastCommand(link::ChipMessage& message);

private:
    // Whether a command may go out: false, with the refusal logged, while a
    // transfer is in flight further up the call stack, and false, with the
    // user told, when the board is not connected.
    bool connected(const std::string& name);
    bool linkModeIs(bool daisyChain, const std::string& name);
    void send(const ChipCommandInfo& info, link::ChipMessage& message);
    void readAll(const ChipCommandInfo& info);
    void clearAllFaults();
    void daisyChainSend(link::ChipMessage& message, bool broadcast, const std::string& name);
    void nonDaisyChainSend(link::ChipMessage& message, const std::string& name);
    bool commandExists(int type, const link::ChipMessage& message) const;

    link::ChipLink& link_;
    board::ChipPipe& pipe_;
    Services& services_;
    CommandView* view_ = nullptr;
};

}  // namespace kvb
