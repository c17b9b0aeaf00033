#include "app/MainWindowLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

LogAreaLayout LayOutLogArea(int height)
{
    LogAreaLayout layout;
    if (height > 11100) {
        int extra = height - 11085;
        layout.controlsTop = height - 1425;
        layout.logHeight = extra + 1155;
    }
    return layout;
}

int PollIntervalFromText(const std::string& text)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value))
        return 500;
    long rounded = std::lround(value);
    return static_cast<int>(std::clamp<long>(rounded, 50, 5000));
}

}  // namespace kvb
