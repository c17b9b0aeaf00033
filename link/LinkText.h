#pragma once
// Text forms of the link's traffic: hexadecimal fields of the log lines and
// the "Sent:"/"Rcvd:" byte dumps.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kvb::link {

// The line end of every log box.
inline constexpr const char* kCrLf = "\r\n";

// Upper-case hexadecimal, zero-padded to `width` and cut to the low digits
// when wider: HexPadded(0x3A5A, 2) is "5A", HexPadded(5, 4) "0005". Negative
// 16-bit values show their two's complement ("FFFF" for -1); widths above 7
// give at most the digits the value supplies beyond seven zeros.
std::string HexPadded(long long value, int width);
// "0x" and HexPadded.
std::string HexPrefixed(long long value, int width);
// Text forms: a decimal number is formatted as above, anything else is "?".
std::string HexPadded(std::string_view text, int width);
std::string HexPrefixed(std::string_view text, int width);

// "Sent:" or "Rcvd:" and the bytes, eight to a line; continuation lines are
// indented under the first line's bytes and every line but an empty dump
// ends in CR LF.
std::string ByteDump(std::string_view label, std::span<const uint8_t> bytes);

}  // namespace kvb::link
