#include "app/AppContext.h"

namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), transport(backend, s), grid(), pipe(transport, grid), logging(s)
{
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
    // ... and closes the traffic log with its closing line.
    services.programEnd.onShutdown([this] { logging.LogStop(); });
}

}  // namespace kvb
