#include "app/Polling.h"

#include "core/ScopedFlag.h"

#include "app/MainWindowLayout.h"
#include "core/AppInfo.h"
#include "core/LeadingNumber.h"
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

void WirePolling(PollHooks& hooks, ChipCommands& commands, UprBuffers& upr)
{
    constexpr ChipCommand kRun[kPollActions] = {
        ChipCommand::ScanAllAll,   ChipCommand::ScanAllMixed, ChipCommand::ScanAllVolts,
        ChipCommand::ScanAllTemps, ChipCommand::ScanAllWires, ChipCommand::ReadAllVolts,
        ChipCommand::ReadAllTemps, ChipCommand::ReadAllFaults, ChipCommand::ReadAllSetup,
    };
    for (int i = 0; i < kPollActions; ++i)
        hooks.commands[i] = [&commands, id = kRun[i]] { commands.press(id); };
    hooks.readUprBuffers = [&upr](int16_t& index) { upr.ReadUPRBuffers(index); };
    hooks.scanAllInhibit = [&commands] { commands.cbScanAllInhibit_Click(); };
    hooks.clearAllFaults = [&commands] { commands.cbClearAllFaults_Click(); };
    hooks.scanAllContinuous = [&commands] { commands.cbScanAllContinuous_Click(); };
}

Poller::Poller(link::ChipLink& link, Services& services) : link_(link), services_(services) {}

bool Poller::pollingTicked() const
{
    return link_.hooks.pollingTicked && link_.hooks.pollingTicked();
}

bool Poller::timerRunning() const
{
    return hooks.pollTimerRunning && hooks.pollTimerRunning();
}

void Poller::readUpr(int index)
{
    int16_t i = static_cast<int16_t>(index);
    if (hooks.readUprBuffers)
        hooks.readUprBuffers(i);
}

void Poller::call(const std::function<void()>& handler)
{
    if (handler)
        handler();
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

void Poller::RunStartSequence()
{
    ++startSequences_;
    // One action: a board lost on the way is reported once and ends it.
    const board::PipeLossWatch watch(link_.pipe());
    const std::function<void()> steps[] = {
        hooks.scanAllInhibit,
        hooks.clearAllFaults,
        [this] { readUpr(2); },
        [this] { readUpr(3); },
        hooks.scanAllContinuous,
    };
    for (const auto& step : steps) {
        if (watch.lost())
            return;
        call(step);
    }
}

void Poller::chkEnablePolling_Click(bool ticked)
{
    RunHandler(services_.prompter, "chkEnablePolling_Click", [&] {
        if (!ticked) {
            if (link_.hooks.setPollTimer)
                link_.hooks.setPollTimer(false);
            lamp(LampId::Polling, kLampGrey);
            return;
        }
        clearLogsWhenActive();
        link_.UprPollingEnabled = boxes.upr;
        if (boxes.startPoll)
            RunStartSequence();
        if (link_.hooks.setPollTimer)
            link_.hooks.setPollTimer(true);
    });
}

void Poller::Timer2_Timer()
{
    if (ticking_)
        return;
    ScopedFlag running(ticking_);
    RunHandler(services_.prompter, "Timer2_Timer", [&] {
        tick();
    });
}

void Poller::tick()
{
    lamp(LampId::Polling, kLampYellow);
    services_.pump.yield();
    // Without a board every command would report on its own, once per tick:
    // stop polling first, then tell the user once.
    if (!link_.EvbConnected()) {
        const bool wasPolling = pollingTicked();
        if (link_.hooks.untickPolling)
            link_.hooks.untickPolling();
        if (link_.hooks.setPollTimer)
            link_.hooks.setPollTimer(false);
        lamp(LampId::Polling, kLampGrey);
        if (wasPolling) {
            services_.prompter.tell(link_.PartName1 + " EVB not connected!", kProgramTitle);
            link_.AddToEvbLog("Timer2_Timer: EVB not detected. Please check connections.");
        }
        return;
    }
    // A board lost on the way has been reported once: the tick ends there.
    const board::PipeLossWatch watch(link_.pipe());
    if (pollingTicked() && link_.UprPollingEnabled && link_.DaisyChainMode) {
        if (link_.DeviceCount1 > 0)
            readUpr(0);
        if (link_.DeviceCount2 > 0 && !watch.lost())
            readUpr(1);
    }
    // A pending unprompted response unticks the box: the rest is skipped.
    if (pollingTicked()) {
        clearLogsWhenActive();
        for (int i = 0; i < kPollActions; ++i) {
            // A command that stopped polling cancels the rest of the tick.
            if (options.actions[i] && timerRunning() && !watch.lost())
                call(hooks.commands[i]);
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
        link_.UprPollingEnabled = boxes.upr;
        options = boxes.actions;
        // Any scan or read-all replaces the auto-start sequence, which only
        // suits polling of the unprompted responses alone.
        if (options.any())
            boxes.startPoll = false;
        boxesChanged();
        const bool anyTicked = boxes.upr || options.any();
        const bool connected = link_.EvbConnected();
        // Ticking the enable box runs the start sequence when it was off; the
        // dialog runs it only when that did not happen, so it runs once.
        const int before = startSequences_;
        if (anyTicked && connected && hooks.tickPolling)
            hooks.tickPolling();
        if (boxes.startPoll && connected && startSequences_ == before)
            RunStartSequence();
    });
}

void Poller::ShowStartPoll(bool shown)
{
    boxes.startPollShown = shown;
    if (!shown)
        boxes.startPoll = false;
    boxesChanged();
}

}  // namespace kvb
