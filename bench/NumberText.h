#pragma once
// Numbers to and from the panel's text: the leading number of a text box or
// an instrument reply, and numbers written by a format pattern ("0" a digit
// always printed, "#" a digit printed when significant, "," thousands
// separators, "." the decimal point). The decimal point is always ".",
// whatever the locale, because these texts go to instruments.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvb::bench {

// The number at the start of `text` (after blanks): sign, digits, point,
// digits and an optional exponent ("E" or "e"). Empty when there is none.
std::optional<double> leadingNumber(std::string_view text);
// The number `text` holds when it holds nothing else (blanks aside).
std::optional<double> wholeNumber(std::string_view text);
// The leading number, 0 when there is none.
double numericValue(std::string_view text);
// The leading number rounded to a whole number (halves away from zero) when
// that fits a 16-bit integer; 0 when there is no number; nothing when the
// number is too large for 16 bits, one beyond a double's range included.
std::optional<int16_t> leadingInt16(std::string_view text);
// True when `text` holds a number and nothing else (blanks aside), however
// large the number is.
bool holdsNumber(std::string_view text);
// `value` written by `pattern`, rounded to the pattern's last decimal place.
std::string formatPattern(double value, std::string_view pattern);

}  // namespace kvb::bench
