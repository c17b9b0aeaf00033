#include "app/AppContext.h"


namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), boardUser(s), transport(backend, s, boardUser), grid(), pipe(transport, *this),
      panel(transport, grid, pipe), logging(s, documents), link(transport, pipe, panel.pipeView, s, *this),
      commands(link, pipe, s), upr(link, commands, s), polling(link, pollWork, s), gpibLibrary(), instruments(s, gpibLibrary)
{
    // The charts read the link's register map.
    charts.bindDefinitions(link.definitions);
    charts.bindServices(services.clock, services.format);
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
    // ... and closes the traffic log with its closing line.
    services.programEnd.onShutdown([this] { logging.LogStop(); });
}

}  // namespace kvb
