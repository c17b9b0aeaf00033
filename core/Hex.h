#pragma once
// Hexadecimal text helpers shared by every module.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvb {

// Two upper-case hexadecimal digits, "0A" for 10.
std::string ByteToHex2(uint8_t value);

// Text read as a hexadecimal number and truncated to 16 bits (two's
// complement, so "FFFF" is -1). Surrounding blanks are ignored; text that is
// not hexadecimal, or longer than the 16-bit range, gives 0.
int16_t HexStrToInt(std::string_view text);

// Strict parse: digits only (no prefix, blanks trimmed), value within max.
std::optional<unsigned> ParseHex(std::string_view text, unsigned max = 0xFFFF);
// Strict decimal parse: digits only, value within max.
std::optional<unsigned> ParseDec(std::string_view text, unsigned max = 0xFFFF);

// A number as the classic Str() prints it: a leading sign blank for
// non-negative numbers (" 3", "-3").
std::string SignedText(long long value);

}  // namespace kvb
