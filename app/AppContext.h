#pragma once
// The one owner of the program's state: every module's object lives here,
// for the whole run, and the windows are handed this context.

#include "bench/GpibLibrary.h"
#include "bench/InstrumentPanel.h"
#include "board/ByteGrid.h"
#include "board/ChipPipe.h"
#include "board/HidBackend.h"
#include "board/HidTransport.h"
#include "core/Services.h"

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

    // Bench instruments: the system's GPIB library (loaded on first use)
    // and the instrument panel's state; main may switch the panel to the
    // simulated GPIB bus.
    bench::GpibLibrary gpibLibrary;
    bench::InstrumentPanel instruments;
};

}  // namespace kvb
