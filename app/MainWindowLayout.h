#pragma once
// Fixed lists and layout arithmetic of the main window, apart from the
// widgets so they can be checked on their own.

#include <string>
#include <string_view>
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

// The log area below the tabs, in twips, for a window height in twips.
struct LogAreaLayout {
    int logTop = 8505;
    int logHeight = 1155;
    int controlsTop = 9660;
};
LogAreaLayout LayOutLogArea(int windowHeightTwips);

// The number a text starts with (after blanks: sign, digits, decimal point,
// exponent), as a box's numeric value is read; 0 when it starts with none.
// A number too large for a double reads as an infinity.
double LeadingNumber(std::string_view text);

constexpr int kMinPollInterval = 50;
constexpr int kMaxPollInterval = 5000;

// The poll interval box's text as the poll timer's interval in ms: the
// leading number rounded, kept within 50..5000 (text without a number reads
// as 0, so 50). The box's change handler uses PollIntervalFromBox, which also
// refuses numbers beyond 16 bits.
int PollIntervalFromText(const std::string& text);

}  // namespace kvb
