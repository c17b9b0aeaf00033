#pragma once
// Fixed lists and layout arithmetic of the main window, apart from the
// widgets so they can be checked on their own.

#include "core/WindowFit.h"

#include <string>
#include <vector>

namespace kvb {

// Twips (1/1440 inch) to pixels at the usual 96 dots per inch.
constexpr int Twips(int twips) { return twips / 15; }
// Left edge of a frame hidden outside the window.
constexpr int kHiddenLeft = 30000;

std::vector<std::string> BalanceModeEntries();
// "Disabled", then n / 3 minutes for n = 1..127 ("0.33 Minute", ...,
// "1.00 Minute", "1.33 Minutes", ..., "42.33 Minutes").
std::vector<std::string> BalanceTimeoutEntries();
std::vector<std::string> BalanceWaitEntries();

// Where the main window's parts stand, in pixels of its central area: the
// tab strip and its page area at the top with the "Device Commands" column
// at their right, the connection and polling strip below the page, then the
// three logs and their buttons. The page area keeps its height (the eight
// register rows and the fixed pages fit it); every pixel of height beyond
// that goes to the logs, and the tab strip's width follows the window's.
struct MainWindowGeometry {
    int tabStripWidth = 0;
    int pageWidth = 0;
    int commandsLeft = 0;
    int stripTop = 0;
    int stripWidth = 0;
    int logTop = 0;
    int logHeight = 0;
    int logControlsTop = 0;
};
constexpr int kMainTabStripTop = 4;
constexpr int kMainPageTop = 32;
constexpr int kMainPageHeight = 440;
constexpr int kMainStripHeight = 90;
constexpr int kMainLogControlsHeight = 32;
constexpr int kMainMinLogHeight = 48;
MainWindowGeometry LayOutMainWindow(int width, int height, int commandsWidth);
// The least central area that shows every part whole: a page area
// `pageWidth` wide beside the commands column, and the logs at their least
// height.
Extent LeastMainWindowArea(int pageWidth, int commandsWidth);

constexpr int kMinPollInterval = 50;
constexpr int kMaxPollInterval = 5000;

// The poll interval box's text as the poll timer's interval in ms: the
// leading number rounded, kept within 50..5000 (text without a number reads
// as 0, so 50). The box's change handler uses PollIntervalFromBox, which also
// refuses numbers beyond 16 bits.
int PollIntervalFromText(const std::string& text);

}  // namespace kvb
