#pragma once
// Polling: the poll tick that runs the chosen chip commands in a fixed order,
// the enable box's handling with its start sequence, and the state of the
// polling-options dialog. The tick does no chip work of its own: it calls
// the chip commands through its `PollWork`.

#include "app/ChipCommands.h"
#include "app/UprBuffers.h"
#include "core/Services.h"
#include "link/ChipLink.h"
#include "link/PollControl.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kvb {

// The actions a tick can run, in the order it runs them.
enum class PollAction : int {
    ScanAll, ScanMixed, ScanVolts, ScanTemps, ScanWires,
    ReadVolts, ReadTemps, ReadFaults, ReadSetups,
};
constexpr int kPollActions = 9;

// The dialog's check box of an action ("chkPollScanAll", ...) and its caption.
const char* PollActionBoxName(PollAction action);
const char* PollActionCaption(PollAction action);

// The nine action flags (PollScanAll .. PollReadSetups). The unprompted-
// response flag is the link's UprPollingEnabled.
struct PollOptions {
    std::array<bool, kPollActions> actions{};
    bool& operator[](PollAction a) { return actions[static_cast<size_t>(a)]; }
    bool operator[](PollAction a) const { return actions[static_cast<size_t>(a)]; }
    bool any() const;
};

// The check boxes of the polling-options dialog as the dialog shows them.
struct PollOptionBoxes {
    bool upr = false;             // chkPollUPR
    bool uprEnabled = true;       // chkPollUPR can be ticked (daisy chain)
    PollOptions actions;          // chkPollScanAll .. chkReadSetups
    bool startPoll = false;       // ChkStartPoll
    bool startPollShown = false;  // shown only after a daisy-chain connect
};

// The poll interval box's text as the poll timer's interval (50..5000 ms);
// nothing when the number does not fit 16 bits, in which case the change is
// reported and the timer keeps its interval.
std::optional<int> PollIntervalFromBox(std::string_view text);

// The chip work a tick and the start sequence run. The program's is
// `ChipPollWork`; the poller cannot be built without one.
class PollWork {
public:
    virtual ~PollWork() = default;
    // cbScanAllAll_Click .. cbReadAllSetup_Click.
    virtual void run(PollAction action) = 0;
    // ReadUPRBuffers: 0 or 1 checks that type's buffer, 2 or 3 only reads
    // (empties) it.
    virtual void readUprBuffers(int16_t& index) = 0;
    virtual void scanAllInhibit() = 0;     // cbScanAllInhibit_Click
    virtual void clearAllFaults() = 0;     // cbClearAllFaults_Click
    virtual void scanAllContinuous() = 0;  // cbScanAllContinuous_Click
};

// The poll's work done by the chip commands and the unprompted-response
// check.
class ChipPollWork final : public PollWork {
public:
    ChipPollWork(ChipCommands& commands, UprBuffers& upr) : commands_(commands), upr_(upr) {}
    void run(PollAction action) override;
    void readUprBuffers(int16_t& index) override { upr_.ReadUPRBuffers(index); }
    void scanAllInhibit() override { commands_.cbScanAllInhibit_Click(); }
    void clearAllFaults() override { commands_.cbClearAllFaults_Click(); }
    void scanAllContinuous() override { commands_.cbScanAllContinuous_Click(); }

private:
    ChipCommands& commands_;
    UprBuffers& upr_;
};

// What polling shows in the windows. Hooks, not an interface: each is set by
// the main window or its polling dialog, which live shorter than the poller,
// through their HookScope; an unset hook does nothing.
struct PollHooks {
    // Empties the link log and both hex logs.
    std::function<void()> clearLogs;
    // The dialog's boxes changed from code.
    std::function<void()> boxesChanged;
    // A tick has ended (also one that failed or found no board): views that
    // gather the tick's answers show them now.
    std::function<void()> tickEnded;
};

// What the main window shows of polling: the "ENABLE POLLING" box and the
// poll timer Timer2 follow the poller's state. The window's polling controls
// attach themselves while they live; without them nothing follows.
class PollingView {
public:
    virtual ~PollingView() = default;
    virtual void enableBox(bool ticked) = 0;
    virtual void timer(bool running) = 0;
    virtual void interval(int milliseconds) = 0;
};

// The poller owns whether polling is on (the "ENABLE POLLING" box) and
// whether the poll timer runs; the box and Timer2 follow it through
// `view`. The chip link stops and restarts the timer around its exchanges
// through the same state.
class Poller : public link::PollControl {
public:
    Poller(link::ChipLink& link, PollWork& work, Services& services);
    ~Poller() override;
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    PollOptions options;
    PollOptionBoxes boxes;
    PollHooks hooks;
    // The window's polling controls, or none.
    void attachView(PollingView* view) { view_ = view; }
    PollingView* view() const { return view_; }

    // --- Polling state ----------------------------------------------------
    bool pollingOn() const override { return pollingOn_; }
    bool timerRunning() const { return timerRunning_; }
    int interval() const { return interval_; }
    // The enable box takes a value, from a click or from code; its handling
    // (chkEnablePolling_Click) runs when the value changes.
    void setPollingOn(bool on);
    void setTimerRunning(bool running) override;
    void stopPolling() override;
    void setInterval(int milliseconds);

    // One tick of the poll timer. A tick never runs inside another tick nor
    // inside an exchange (timer events that an exchange's waits let
    // through): it returns at once and leaves the work to the next tick.
    void Timer2_Timer();
    bool ticking() const { return ticking_; }

    // Scan inhibit, clear faults, two reads of unprompted-response buffers
    // (ReadUPRBuffers' index: 2 empties type 0's, 3 type 1's), continuous
    // scan. The enable box runs it with 2 and 3, the dialog's OK with 2
    // and 2.
    void RunStartSequence(int firstBuffer, int secondBuffer);
    int startSequences() const { return startSequences_; }

    // The polling-options dialog.
    void Form_Activate();
    void cmdQuickSetup_Click();
    void OKButton_Click();
    // The connect handler hides the auto-start box while it connects and
    // shows it after a daisy-chain connect; a single-device connect also
    // unticks it.
    void ShowStartPoll(bool shown, bool untick = false);

private:
    // The enable box's handling, run by setPollingOn on every change.
    void chkEnablePolling_Click(bool ticked);
    void lamp(LampId id, int colour) { link_.lamps.set(id, colour); }
    // Whether a tick reads the unprompted-response buffers of the types
    // that have devices: the box is ticked and the board is a daisy chain.
    bool uprReadsDue() const;
    // Whether this tick would exchange anything with the chips.
    bool wouldExchange() const;
    void readUpr(int index);
    void clearLogsWhenActive();
    void boxesChanged();
    void tick();

    link::ChipLink& link_;
    PollWork& work_;
    Services& services_;
    PollingView* view_ = nullptr;
    bool pollingOn_ = false;
    bool timerRunning_ = false;
    int interval_ = 2000;
    bool ticking_ = false;
    int startSequences_ = 0;
};

}  // namespace kvb
