#pragma once
// Hexadecimal text helpers shared by every module.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvb {

// Two upper-case hexadecimal digits, "0A" for 10.
std::string ByteToHex2(uint8_t value);

// 0-9, A-F or a-f.
bool IsHexDigit(char c);

// How ReadDigits reads a number's digits; each reader of hexadecimal (or
// octal, decimal) text states its own rules here.
struct DigitRules {
    unsigned base = 16;         // 8, 10 or 16; letters in either case
    bool trimBlanks = false;    // blanks around the text are ignored
    bool leadingOnly = false;   // only the digits at the front count: any other
                                // character ends them instead of refusing the text
    size_t maxLength = std::string_view::npos;  // longer text (after trimming) is refused
    unsigned long long max = 0xFFFFFFFF;        // a larger value is refused
};

struct DigitsRead {
    std::optional<unsigned long long> value;  // nothing when the text is refused
    size_t digits = 0;                        // how many digits were taken
    bool tooLarge = false;                    // refused because the value passed `max`
};

// Reads the digits of `text` by `rules`. Text without a digit is refused; so
// is a character that is not a digit, unless `leadingOnly`.
DigitsRead ReadDigits(std::string_view text, const DigitRules& rules = {});

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
