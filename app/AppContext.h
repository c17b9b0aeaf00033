#pragma once
// The one owner of the program's state: every module's object lives here,
// for the whole run, and the windows are handed this context.

#include "app/Polling.h"
#include "app/StatusPages.h"
#include "board/ByteGrid.h"
#include "board/ChipPipe.h"
#include "board/HidBackend.h"
#include "board/HidTransport.h"
#include "core/Services.h"
#include "link/ChipLink.h"

namespace kvb {

class AppContext {
public:
    AppContext(Services& services, board::HidBackend& backend);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Services& services;

    // Board interface.
    board::HidTransport transport;
    board::ByteGrid grid;
    board::ChipPipe pipe;

    // Chip link: frames, register access, identification, error logs.
    link::ChipLink link;

    // Main window: the poll tick and its options; the MAIN and MONITOR
    // pages' shared flag and conversions.
    Poller polling{link, services};
    StatusPageState pages;
};

}  // namespace kvb
