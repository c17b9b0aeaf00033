#include "app/AppContext.h"

#include "data/Conversions.h"

namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), boardUser(s), transport(backend, s, boardUser), grid(), pipe(transport),
      panel(transport, grid, pipe), logging(s), link(transport, pipe, grid, s),
      commands(link, pipe, s), upr(link, commands, s), polling(link, s), gpibLibrary(), instruments(s, gpibLibrary)
{
    // The pipe's own messages go to the link log; a lost pipe stops polling.
    pipe.log = [this](const std::string& line) { link.log.AddToEvbLog(line); };
    pipe.stopPolling = [this] { polling.stopPolling(); };
    // The link's traffic goes to the text log while it is open, and its
    // error bits to the chart sample being gathered.
    link.log.hooks.loggingActive = [this] { return logging.LoggingActive(); };
    link.log.hooks.logEvent = [this](const std::string& line) { logging.LogEvent(line); };
    link.log.hooks.addSampleFlags = [this](int16_t flag) { samples.OrComError(flag); };
    link.log.hooks.pauseOnNack = [this] { return panel.PauseOnNack; };
    // The charts read the link's register map and state.
    charts.bindDefinitions(link.definitions);
    charts.bindServices(services.clock, services.format);
    charts.isDaisyChain = [this] { return link.DaisyChainMode; };
    charts.isConnected = [this] { return transport.EvbConnected; };
    charts.typeZeroCount = [this] { return static_cast<int>(link.DeviceCount1); };
    // The poll tick runs the command handlers and the unprompted-response
    // check; the pages convert with the data module's conversions.
    WirePolling(polling.hooks, commands, upr);
    pages.conversions = {data::RegToCellVolts, data::RegToPackVolts, data::RegToICTempDegC,
                         data::RegToETVolts};
    // Polling stays stopped while the balance sequence dialog is open.
    link.hooks.holdPollTimer = [this] { return balanceSequence.shown; };
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
    // ... and closes the traffic log with its closing line.
    services.programEnd.onShutdown([this] { logging.LogStop(); });
}

}  // namespace kvb
