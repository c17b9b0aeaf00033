#pragma once
// The one owner of the program's state: every module's object lives here,
// for the whole run, and the windows are handed this context.

#include "app/BalanceRegisters.h"
#include "app/BalanceSequence.h"
#include "app/BoardPrompter.h"
#include "app/CellBalancing.h"
#include "app/ChipCommands.h"
#include "app/ConnectionController.h"
#include "app/ManualConfig.h"
#include "app/Polling.h"
#include "app/SpiDialogs.h"
#include "app/StatusPages.h"
#include "app/UprBuffers.h"
#include "bench/GpibLibrary.h"
#include "bench/InstrumentPanel.h"
#include "board/ChipPipe.h"
#include "board/HidBackend.h"
#include "board/HidTransport.h"
#include "core/Services.h"
#include "data/ChartModel.h"
#include "data/ChartSamples.h"
#include "data/DataLogging.h"
#include "data/DeviceConfigFiles.h"
#include "link/BalanceStatus.h"
#include "link/ChipLink.h"
#include "link/LinkHooks.h"
#include "panel/BoardPanel.h"
#include "panel/ByteGrid.h"

#include <cstdint>
#include <string>

namespace kvb {

// The context is also the chip link's host: the link's traffic goes to the
// text log while it is open, its error bits to the chart sample being
// gathered; it reads the panel's "Pause on Nack" box, and polling stays
// stopped while the balance sequence dialog is open. It is also the pipe's
// host: the pipe's own lines go to the link log, and a lost board stops
// polling. It tells the charts the link's mode and state.
class AppContext final : private link::LinkHost, private board::PipeHost, private data::ChartLinkState {
public:
    AppContext(Services& services, board::HidBackend& backend);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Services& services;

    // Board interface; its boxes and the program's end go through the
    // board's user.
    BoardPrompter boardUser;
    board::HidTransport transport;
    panel::ByteGrid grid;
    board::ChipPipe pipe;
    panel::BoardPanel panel;  // the board panel's state, one model per control group

    // Data files and charts; the files fall back on the documents folder.
    data::DocumentsFolder documents;
    data::DataLogging logging;
    data::ChartSamples samples;
    data::ChartModel charts{samples, *this};

    // Chip link: frames, register access, identification, error logs.
    link::ChipLink link;

    // The folder the program reads its own files from (the register-
    // definition file); the program's folder unless a test sets another.
    std::string programFolder = ".";

    // Fixed chip commands and the unprompted-response check; the window
    // wires their hooks (chart sample, tab layout, tab selection).
    ChipCommands commands;
    UprBuffers upr;
    ChipPollWork pollWork{commands, upr};

    // The poll tick and its options, running the commands and the
    // unprompted-response check above; the MAIN and MONITOR pages' shared
    // flag and unit conversions.
    Poller polling;
    ProgramConversions conversions;
    StatusPageState pages{conversions};

    // The session's start, the link configuration and the connect,
    // disconnect and configuration steps; the main window calls it and
    // follows it.
    ConnectionController connection{link, transport, pipe, panel.spi, charts, polling, services};

    // Cell balancing: the MAIN page's balance controls, both balance
    // dialogs (the sequence dialog edits the balance status banks the
    // register image keeps), the SPI clock and time-out dialogs, and the
    // device configuration files.
    CellBalancing cellBalancing{link, polling, pages.BalanceComboSync, services};
    BalanceSequence balanceSequence{link, link.image.banks, services};
    BalanceRegisters balanceRegisters{link, services};
    SpiClockDialog spiClock{link, panel.spi, services.pump};
    SpiTimeoutDialog spiTimeout{link, services.prompter};
    data::DeviceConfigFiles configFiles{link, logging, services, documents};

    // Bench instruments: the system's GPIB library (loaded on first use)
    // and the instrument panel's state; main may switch the panel to the
    // simulated GPIB bus.
    bench::GpibLibrary gpibLibrary;
    bench::InstrumentPanel instruments;

private:
    bool loggingActive() const override { return logging.LoggingActive(); }
    void logEvent(const std::string& line) override { logging.LogEvent(line); }
    void addSampleFlags(int16_t flags) override { samples.OrComError(flags); }
    bool pauseOnNack() const override { return panel.PauseOnNack; }
    bool holdPollTimer() const override { return balanceSequence.shown; }
    void logPipeLine(const std::string& line) override { link.log.AddToEvbLog(line); }
    void stopPolling() override { polling.stopPolling(); }
    // What the charts read of the link.
    bool isDaisyChain() const override { return link.DaisyChainMode; }
    bool isConnected() const override { return transport.EvbConnected; }
    int typeZeroCount() const override { return static_cast<int>(link.DeviceCount1); }
};

}  // namespace kvb
