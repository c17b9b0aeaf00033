#include "app/AppContext.h"

namespace kvb {

AppContext::AppContext(Services& s, board::HidBackend& backend)
    : services(s), transport(backend, s), grid(), pipe(transport, grid),
      link(transport, pipe, grid, s)
{
    // The pipe's own messages go to the link log; a lost pipe stops polling.
    pipe.log = [this](const std::string& line) { link.AddToEvbLog(line); };
    pipe.stopPolling = [this] {
        if (link.hooks.untickPolling)
            link.hooks.untickPolling();
        if (link.hooks.setPollTimer)
            link.hooks.setPollTimer(false);
    };
    // Whatever ends the program closes the board first.
    services.programEnd.onShutdown([this] { transport.CloseHidHandles(); });
}

}  // namespace kvb
