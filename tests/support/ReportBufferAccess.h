#pragma once
// The transport's report buffer, for tests that seed it or look at it: the
// bytes a request built over it keeps, and what an exchange left in it.

#include "board/HidTransport.h"

namespace kvb::board {

struct ReportBufferAccess {
    static Report& of(HidTransport& transport) { return transport.report_; }
};

}  // namespace kvb::board
