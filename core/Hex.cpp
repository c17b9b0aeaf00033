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

std::optional<unsigned> parseDigits(std::string_view text, unsigned base, unsigned max)
{
    text = trim(text);
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    unsigned long long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
    }
    if (value > max)
        return std::nullopt;
    return static_cast<unsigned>(value);
}

}  // namespace

std::string ByteToHex2(uint8_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
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
