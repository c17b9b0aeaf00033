#pragma once
// A poller wired to the chip commands and the unprompted-response check of a
// command fixture, with polling switched on and the poll timer running.

#include "app/CommandFixture.h"
#include "app/Polling.h"

namespace kvb::test {

struct TickFixture : CommandFixture {
    Poller poller{link, t.services};

    TickFixture()
    {
        WirePolling(poller.hooks, commands, upr);
        poller.setPollingOn(true);
    }
};

}  // namespace kvb::test
