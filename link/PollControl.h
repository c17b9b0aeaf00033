#pragma once
// Polling as the chip link sees it. The poller owns whether polling is
// switched on ("ENABLE POLLING") and whether its timer (Timer2) runs; the
// link stops the timer around each daisy-chain exchange, restarts it after,
// and stops polling for good when the link is switched off.

namespace kvb::link {

class PollControl {
public:
    virtual ~PollControl() = default;
    // The enable box is ticked.
    virtual bool pollingOn() const = 0;
    // Starts or stops the poll timer; the enable box keeps its state.
    virtual void setTimerRunning(bool running) = 0;
    // Unticks the enable box (its handling runs as for a click) and stops
    // the poll timer.
    virtual void stopPolling() = 0;
};

}  // namespace kvb::link
