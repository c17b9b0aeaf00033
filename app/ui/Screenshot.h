#pragma once
// Renders the main window, connected to the simulated chain, to a PNG file:
// a development aid for looking at the windows without a display.

#include <string>

namespace kvb {
class AppContext;
}

namespace kvb::ui {

// Powers up through the start-up form, accepts a daisy-chain configuration
// of `devices` type-0 devices, connects, selects `tab` (a tab caption; empty
// keeps the first) and saves a window to `file`: the main window, or with
// `window` "panel" the board panel, "chart" the chart window after twenty
// voltage reads. True when saved.
bool RenderMainWindow(AppContext& context, const std::string& file, int devices,
                      const std::string& tab, const std::string& window);

}  // namespace kvb::ui
