#include "app/MainWindowLayout.h"

#include "core/LeadingNumber.h"

#include <algorithm>
#include <cmath>
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

MainWindowGeometry LayOutMainWindow(int width, int height, int commandsWidth)
{
    constexpr int margin = 8;
    MainWindowGeometry g;
    g.tabStripWidth = std::max(0, width - 29);  // 435 twips short of the window
    g.commandsLeft = width - margin - commandsWidth;
    g.pageWidth = std::max(0, g.commandsLeft - margin);
    g.stripTop = kMainPageTop + kMainPageHeight + 4;
    g.stripWidth = g.pageWidth;
    g.logTop = g.stripTop + kMainStripHeight + 4;
    g.logHeight =
        std::max(kMainMinLogHeight, height - g.logTop - kMainLogControlsHeight - 6);
    g.logControlsTop = g.logTop + g.logHeight + 2;
    return g;
}

int PollIntervalFromText(const std::string& text)
{
    const double value = LeadingNumber(text);
    return static_cast<int>(std::clamp(std::nearbyint(value), double{kMinPollInterval},
                                       double{kMaxPollInterval}));
}

}  // namespace kvb
