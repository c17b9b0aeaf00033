#include "app/MainWindowLayout.h"

#include "core/KeyFilters.h"

#include <algorithm>
#include <cstdio>

namespace kvb {

std::vector<std::string> BalanceModeEntries()
{
    return {"Off", "Manual", "Timed", "Auto"};
}

std::vector<std::string> BalanceTimeoutEntries()
{
    std::vector<std::string> entries{"Disabled"};
    for (int n = 1; n <= 127; ++n) {
        double minutes = n / 3.0;
        char text[32];
        std::snprintf(text, sizeof text, "%.2f Minute%s", minutes, minutes > 1 ? "s" : "");
        entries.emplace_back(text);
    }
    return entries;
}

std::vector<std::string> BalanceWaitEntries()
{
    return {"0 seconds", "1 second",   "2 seconds",  "4 seconds",
            "8 seconds", "16 seconds", "32 seconds", "64 seconds"};
}

namespace {
constexpr int kMargin = 8;
constexpr int kStripTop = kMainPageTop + kMainPageHeight + 4;
constexpr int kLogTop = kStripTop + kMainStripHeight + 4;
// Below the logs: their buttons, with the gaps around them.
constexpr int kBelowLogs = kMainLogControlsHeight + 6;
}  // namespace

MainWindowGeometry LayOutMainWindow(int width, int height, int commandsWidth)
{
    MainWindowGeometry g;
    g.tabStripWidth = std::max(0, width - 29);  // 435 twips short of the window
    g.commandsLeft = width - kMargin - commandsWidth;
    g.pageWidth = std::max(0, g.commandsLeft - kMargin);
    g.stripTop = kStripTop;
    g.stripWidth = g.pageWidth;
    g.logTop = kLogTop;
    g.logHeight = std::max(kMainMinLogHeight, height - g.logTop - kBelowLogs);
    g.logControlsTop = g.logTop + g.logHeight + 2;
    return g;
}

Extent LeastMainWindowArea(int pageWidth, int commandsWidth)
{
    return {pageWidth + 2 * kMargin + commandsWidth, kLogTop + kMainMinLogHeight + kBelowLogs};
}

int PollIntervalFromText(const std::string& text)
{
    return ClampCountText(text, kMinPollInterval, kMaxPollInterval);
}

}  // namespace kvb
