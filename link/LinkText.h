#pragma once
// Text forms of the link's traffic: hexadecimal fields of the log lines, the
// lines that show a frame's fields and the "Sent:"/"Rcvd:" byte dumps.

#include <cstdint>
#include <optional>
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

// A frame's fields as the link log shows a request or an answer: the prefix
// ("cmd,", "wrt,", "rcv,"), the part name, the device when the frame names
// one (the daisy chain's frames do), then category, address and data, the
// data `dataWidth` digits wide:
// "rcv,KVB71853,dev0x01,cat0x01,adr0x0C,dat0x1234".
std::string TrafficLine(std::string_view prefix, std::string_view part, std::optional<int> dev,
                        int cat, int adr, int dat, int dataWidth = 4);

// "Sent:" or "Rcvd:" and the bytes, eight to a line; continuation lines are
// indented under the first line's bytes and every line but an empty dump
// ends in CR LF.
std::string ByteDump(std::string_view label, std::span<const uint8_t> bytes);

}  // namespace kvb::link
