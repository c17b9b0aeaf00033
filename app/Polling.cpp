#include "app/Polling.h"

#include "app/MainWindowLayout.h"
#include "core/AppInfo.h"
#include "core/LeadingNumber.h"
#include "core/ScopedFlag.h"
#include "core/UnexpectedError.h"

#include <algorithm>
#include <cmath>

namespace kvb {

namespace {

constexpr const char* kBoxNames[kPollActions] = {
    "chkPollScanAll", "chkScanMixed",  "chkScanVolts",  "chkScanTemps",  "chkScanWires",
    "chkReadVolts",   "chkReadTemps",  "chkReadFaults", "chkReadSetups",
};
constexpr const char* kCaptions[kPollActions] = {
    "Scan All",          "Scan Mixed",            "Scan Voltages",
    "Scan Temperatures", "Scan Wires",            "Read All Voltages",
    "Read All Temperatures", "Read All Faults",   "Read All Setups",
};

}  // namespace

const char* PollActionBoxName(PollAction action)
{
    return kBoxNames[static_cast<int>(action)];
}

const char* PollActionCaption(PollAction action)
{
    return kCaptions[static_cast<int>(action)];
}

bool PollOptions::any() const
{
    return std::any_of(actions.begin(), actions.end(), [](bool on) { return on; });
}

std::optional<int> PollIntervalFromBox(std::string_view text)
{
    const double rounded = std::nearbyint(LeadingNumber(text));
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        return std::nullopt;
    return static_cast<int>(std::clamp(rounded, double{kMinPollInterval}, double{kMaxPollInterval}));
}

void ChipPollWork::run(PollAction action)
{
    constexpr ChipCommand kRun[kPollActions] = {
        ChipCommand::ScanAllAll,   ChipCommand::ScanAllMixed, ChipCommand::ScanAllVolts,
        ChipCommand::ScanAllTemps, ChipCommand::ScanAllWires, ChipCommand::ReadAllVolts,
        ChipCommand::ReadAllTemps, ChipCommand::ReadAllFaults, ChipCommand::ReadAllSetup,
    };
    commands_.press(kRun[static_cast<size_t>(action)]);
}

Poller::Poller(link::ChipLink& link, PollWork& work, Services& services)
    : link_(link), work_(work), services_(services)
{
    link_.attachPolling(this);
}

Poller::~Poller()
{
    link_.attachPolling(nullptr);
}

void Poller::setPollingOn(bool on)
{
    if (pollingOn_ == on)
        return;
    pollingOn_ = on;
    if (view_)
        view_->enableBox(on);
    chkEnablePolling_Click(on);
}

void Poller::setTimerRunning(bool running)
{
    if (timerRunning_ == running)
        return;
    timerRunning_ = running;
    if (view_)
        view_->timer(running);
}

void Poller::stopPolling()
{
    setPollingOn(false);
    setTimerRunning(false);
}

void Poller::setInterval(int milliseconds)
{
    interval_ = milliseconds;
    if (view_)
        view_->interval(milliseconds);
}

void Poller::readUpr(int index)
{
    int16_t i = static_cast<int16_t>(index);
    work_.readUprBuffers(i);
}

void Poller::clearLogsWhenActive()
{
    if (options.any() && hooks.clearLogs)
        hooks.clearLogs();
}

void Poller::boxesChanged()
{
    if (hooks.boxesChanged)
        hooks.boxesChanged();
}

void Poller::RunStartSequence(int firstBuffer, int secondBuffer)
{
    ++startSequences_;
    // One action: a board lost on the way is reported once and ends it.
    const board::PipeLossWatch watch(link_.pipe());
    const std::function<void()> steps[] = {
        [this] { work_.scanAllInhibit(); },
        [this] { work_.clearAllFaults(); },
        [this, firstBuffer] { readUpr(firstBuffer); },
        [this, secondBuffer] { readUpr(secondBuffer); },
        [this] { work_.scanAllContinuous(); },
    };
    for (const auto& step : steps) {
        if (watch.lost())
            return;
        step();
    }
}

void Poller::chkEnablePolling_Click(bool ticked)
{
    RunHandler(services_.prompter, "chkEnablePolling_Click", [&] {
        if (!ticked) {
            setTimerRunning(false);
            lamp(LampId::Polling, kLampGrey);
            return;
        }
        clearLogsWhenActive();
        link_.setUprPollingEnabled(boxes.upr);
        if (boxes.startPoll)
            RunStartSequence(2, 3);
        setTimerRunning(true);
    });
}

void Poller::Timer2_Timer()
{
    if (ticking_ || link_.exchanging())
        return;
    {
        ScopedFlag running(ticking_);
        RunHandler(services_.prompter, "Timer2_Timer", [&] {
            tick();
        });
    }
    if (hooks.tickEnded)
        hooks.tickEnded();
}

bool Poller::uprReadsDue() const
{
    return link_.UprPollingEnabled && link_.DaisyChainMode;
}

bool Poller::wouldExchange() const
{
    if (!pollingOn_)
        return false;
    const bool uprReads = uprReadsDue() && (link_.DeviceCount1 > 0 || link_.DeviceCount2 > 0);
    return uprReads || options.any();
}

void Poller::tick()
{
    lamp(LampId::Polling, kLampYellow);
    services_.pump.yield();
    // Without a board every command would report on its own, once per tick:
    // when a chosen option would exchange, stop polling first, then tell the
    // user once. With nothing to exchange the tick only lights the lamp.
    if (!link_.EvbConnected() && wouldExchange()) {
        stopPolling();
        lamp(LampId::Polling, kLampGrey);
        services_.prompter.tell(link_.PartName1 + " EVB not connected!", kProgramTitle);
        link_.log.AddToEvbLog("Timer2_Timer: EVB not detected. Please check connections.");
        return;
    }
    // A board lost on the way has been reported once: the tick ends there.
    const board::PipeLossWatch watch(link_.pipe());
    if (pollingOn_ && uprReadsDue()) {
        if (link_.DeviceCount1 > 0)
            readUpr(0);
        if (link_.DeviceCount2 > 0 && !watch.lost())
            readUpr(1);
    }
    // A pending unprompted response unticks the box: the rest is skipped.
    if (pollingOn_) {
        clearLogsWhenActive();
        for (int i = 0; i < kPollActions; ++i) {
            // A command that stopped polling cancels the rest of the tick.
            if (options.actions[i] && timerRunning_ && !watch.lost())
                work_.run(static_cast<PollAction>(i));
        }
    }
    lamp(LampId::Polling, kLampGrey);
    services_.pump.yield();
}

void Poller::Form_Activate()
{
    if (link_.DaisyChainMode) {
        boxes.uprEnabled = true;
    } else {
        boxes.uprEnabled = false;
        boxes.upr = false;
    }
    boxes.actions = options;
    boxesChanged();
}

void Poller::cmdQuickSetup_Click()
{
    boxes.upr = false;
    boxes.startPoll = false;
    boxes.actions = PollOptions{};
    for (PollAction a : {PollAction::ScanAll, PollAction::ReadVolts, PollAction::ReadTemps,
                         PollAction::ReadFaults})
        boxes.actions[a] = true;
    boxesChanged();
}

void Poller::OKButton_Click()
{
    RunHandler(services_.prompter, "OKButton_Click", [&] {
        lamp(LampId::UprStatus, kLampGrey);
        lamp(LampId::Polling, kLampGrey);
        link_.setUprPollingEnabled(boxes.upr);
        options = boxes.actions;
        // Any scan or read-all replaces the auto-start sequence, which only
        // suits polling of the unprompted responses alone.
        if (options.any())
            boxes.startPoll = false;
        boxesChanged();
        const bool anyTicked = boxes.upr || options.any();
        const bool connected = link_.EvbConnected();
        // Ticking the enable box runs its start sequence when it was off; the
        // dialog then runs its own, which reads the type-0 buffer twice. A
        // board lost in the first has been reported: the second is left out.
        const board::PipeLossWatch watch(link_.pipe());
        if (anyTicked && connected)
            setPollingOn(true);
        if (boxes.startPoll && connected && !watch.lost())
            RunStartSequence(2, 2);
    });
}

void Poller::ShowStartPoll(bool shown, bool untick)
{
    boxes.startPollShown = shown;
    if (untick)
        boxes.startPoll = false;
    boxesChanged();
}

}  // namespace kvb
