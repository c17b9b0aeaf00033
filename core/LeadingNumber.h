#pragma once
// The number a text starts with, as a box's numeric value is read: after
// blanks, a sign, digits with a decimal point, and an exponent ("E" or "e"
// with its own sign and digits; "1e" reads as 1). The decimal point is
// always ".", whatever the locale.

#include <cstddef>
#include <optional>
#include <string_view>

namespace kvb {

// The leading number of `text`, nothing when it starts with none. A number
// too large for a double reads as an infinity, one too small as 0. `end`,
// when given, receives the index just past the number.
std::optional<double> ReadLeadingNumber(std::string_view text, size_t* end = nullptr);

// The leading number, 0 when the text starts with none ("45abc" gives 45,
// "+45" 45, "1e2" 100, "4 5" 4).
double LeadingNumber(std::string_view text);

}  // namespace kvb
