#pragma once
// The one owner of the program's state: every module's object lives here,
// for the whole run, and the windows are handed this context.

#include "app/ChipCommands.h"
#include "app/UprBuffers.h"
#include "board/ByteGrid.h"
#include "board/ChipPipe.h"
#include "board/HidBackend.h"
#include "board/HidTransport.h"
#include "core/Services.h"
#include "data/ChartSamples.h"
#include "data/DataLogging.h"
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

    // Data files and charts.
    data::DataLogging logging;
    data::ChartSamples samples;

    // Chip link: frames, register access, identification, error logs.
    link::ChipLink link;

    // Fixed chip commands and the unprompted-response check; the window
    // wires their hooks (chart sample, tab layout, tab selection).
    ChipCommands commands;
    UprBuffers upr;
};

}  // namespace kvb
