#pragma once
// A poller wired to the chip commands and the unprompted-response check of a
// command fixture, with polling switched on and the poll timer running.

#include "app/CommandFixture.h"
#include "app/Polling.h"

namespace kvb::test {

struct TickFixture : CommandFixture {
    ChipPollWork work{commands, upr};
    Poller poller{link, work, t.services};

    TickFixture()
    {
        poller.setPollingOn(true);
    }
};

}  // namespace kvb::test
