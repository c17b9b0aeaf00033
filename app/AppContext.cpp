#include "app/AppContext.h"

#include "data/Conversions.h"

namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), boardUser(s), transport(backend, s, boardUser), grid(), pipe(transport, *this),
      panel(transport, grid, pipe), logging(s, documents), link(transport, pipe, panel.pipeView, s, *this),
      commands(link, pipe, s), upr(link, commands, s), polling(link, pollWork, s), gpibLibrary(), instruments(s, gpibLibrary)
{
    // The charts read the link's register map.
    charts.bindDefinitions(link.definitions);
    charts.bindServices(services.clock, services.format);
    // The pages convert with the data module's conversions.
    pages.conversions = {data::RegToCellVolts, data::RegToPackVolts, data::RegToICTempDegC,
                         data::RegToETVolts};
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
    // ... and closes the traffic log with its closing line.
    services.programEnd.onShutdown([this] { logging.LogStop(); });
}

}  // namespace kvb
