#include "link/LinkText.h"

#include "core/Hex.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace kvb::link {

namespace {

std::string hexDigits(long long value)
{
    unsigned long long bits;
    if (value < 0 && value >= -32768)
        bits = static_cast<uint16_t>(value);
    else if (value < 0 && value >= INT32_MIN)
        bits = static_cast<uint32_t>(value);
    else
        bits = static_cast<unsigned long long>(value);
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[bits & 0x0F]);
        bits >>= 4;
    } while (bits != 0);
    return text;
}

}  // namespace

std::string HexPadded(long long value, int width)
{
    std::string text = "0000000" + hexDigits(value);
    if (width < 0)
        width = 0;
    size_t keep = std::min(text.size(), static_cast<size_t>(width));
    return text.substr(text.size() - keep);
}

std::string HexPrefixed(long long value, int width)
{
    return "0x" + HexPadded(value, width);
}

std::string HexPadded(std::string_view text, int width)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+')
        ++first;
    auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last)
        return "?";
    return HexPadded(value, width);
}

std::string HexPrefixed(std::string_view text, int width)
{
    std::string padded = HexPadded(text, width);
    return padded == "?" ? padded : "0x" + padded;
}

std::string TrafficLine(std::string_view prefix, std::string_view part, std::optional<int> dev,
                        int cat, int adr, int dat, int dataWidth)
{
    std::string line(prefix);
    line += part;
    if (dev)
        line += ",dev" + HexPrefixed(*dev, 2);
    return line + ",cat" + HexPrefixed(cat, 2) + ",adr" + HexPrefixed(adr, 2) + ",dat" +
           HexPrefixed(dat, dataWidth);
}

std::string ByteDump(std::string_view label, std::span<const uint8_t> bytes)
{
    std::string text(label);
    int onLine = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += ' ';
        text += ByteToHex2(bytes[i]);
        ++onLine;
        if (i + 1 == bytes.size()) {
            text += kCrLf;
        } else if (onLine == 8) {
            text += kCrLf;
            text += "     ";
            onLine = 0;
        }
    }
    return text;
}

}  // namespace kvb::link
