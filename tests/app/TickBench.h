#pragma once
// A poller wired to the chip commands and the unprompted-response check of a
// command bench, with the enable box ticked and the poll timer running.

#include "app/CommandBench.h"
#include "app/Polling.h"

namespace kvb::test {

struct TickBench : CommandBench {
    Poller poller{link, t.services};
    bool timer = true;

    TickBench()
    {
        WirePolling(poller.hooks, commands, upr);
        pollingTicked = true;
        link.hooks.setPollTimer = [this](bool on) { timer = on; };
        poller.hooks.pollTimerRunning = [this] { return timer; };
    }
};

}  // namespace kvb::test
