#include "app/AppContext.h"

namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), transport(backend, s), grid(), pipe(transport, grid),
      gpibLibrary(), instruments(s, gpibLibrary)
{
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
}

}  // namespace kvb
