#include "core/Hex.h"

#include <cctype>

namespace kvb {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Blanks trimmed, at most ten digits, every character a digit, within max.
std::optional<unsigned> parseDigits(std::string_view text, unsigned base, unsigned max)
{
    const DigitsRead read = ReadDigits(text, {.base = base, .trimBlanks = true, .maxLength = 10,
                                              .max = max});
    if (!read.value)
        return std::nullopt;
    return static_cast<unsigned>(*read.value);
}

}  // namespace

std::string ByteToHex2(uint8_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
}

bool IsHexDigit(char c)
{
    return digitValue(c) < 16;
}

DigitsRead ReadDigits(std::string_view text, const DigitRules& rules)
{
    DigitsRead read;
    if (rules.trimBlanks)
        text = trim(text);
    if (text.size() > rules.maxLength)
        return read;
    unsigned long long value = 0;
    for (char c : text) {
        const int digit = digitValue(c);
        if (digit >= static_cast<int>(rules.base)) {
            if (rules.leadingOnly)
                break;
            read.digits = 0;
            return read;
        }
        value = value * rules.base + static_cast<unsigned>(digit);
        ++read.digits;
        // Adding digits never makes the value smaller: stop before it wraps.
        if (value > rules.max) {
            read.tooLarge = true;
            return read;
        }
    }
    if (read.digits > 0)
        read.value = value;
    return read;
}

int16_t HexStrToInt(std::string_view text)
{
    auto value = parseDigits(text, 16, 0xFFFF);
    return value ? static_cast<int16_t>(static_cast<uint16_t>(*value)) : 0;
}

std::optional<unsigned> ParseHex(std::string_view text, unsigned max)
{
    return parseDigits(text, 16, max);
}

std::optional<unsigned> ParseDec(std::string_view text, unsigned max)
{
    return parseDigits(text, 10, max);
}

std::string SignedText(long long value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace kvb
