#pragma once
// A poller wired to the chip commands and the unprompted-response check of a
// command bench, with polling switched on and the poll timer running.

#include "app/CommandBench.h"
#include "app/Polling.h"

namespace kvb::test {

struct TickBench : CommandBench {
    Poller poller{link, t.services};

    TickBench()
    {
        WirePolling(poller.hooks, commands, upr);
        poller.setPollingOn(true);
    }
};

}  // namespace kvb::test
