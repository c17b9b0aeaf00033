#include "board/RegistersFile.h"

#include "core/Hex.h"

#include <fstream>
#include <sstream>

namespace kvb::board {

namespace {

// Splits the list into items: commas and line breaks separate, blanks
// around an item are dropped, double quotes protect commas.
std::vector<std::string> splitItems(std::string_view text)
{
    std::vector<std::string> items;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string item;
        bool quoted = text[i] == '"';
        if (quoted) {
            ++i;
            while (i < n && text[i] != '"')
                item += text[i++];
            if (i < n)
                ++i;  // closing quote
            while (i < n && text[i] != ',' && text[i] != '\n')
                ++i;
        } else {
            while (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                item += text[i++];
            while (!item.empty() && (item.back() == ' ' || item.back() == '\t'))
                item.pop_back();
        }
        // A line break in CR LF form counts once.
        if (i < n && text[i] == '\r')
            ++i;
        bool comma = i < n && text[i] == ',';
        if (i < n)
            ++i;
        // An empty line is no item; an empty field between commas is.
        if (item.empty() && !quoted && !comma)
            continue;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::optional<std::vector<uint8_t>> ParseRegistersList(std::string_view text, int count)
{
    std::vector<std::string> items = splitItems(text);
    if (items.empty() || items[0] != "generic" || count < 0 ||
        static_cast<int>(items.size()) - 1 < count)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(count), 0);
    for (int k = 0; k < count; ++k) {
        const std::string& item = items[static_cast<size_t>(k) + 1];
        if (item.rfind("0x", 0) != 0)
            continue;  // not a byte item: keeps its place as 0
        // The one or two characters after "0x" must all be digits.
        const std::optional<unsigned long long> value = ReadDigits(item.substr(2, 2)).value;
        if (!value)
            return std::nullopt;
        bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(*value);
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> LoadRegistersFile(Prompter& prompter, int count,
                                                      const std::string& path)
{
    std::optional<std::vector<uint8_t>> bytes;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        bytes = ParseRegistersList(text.str(), count);
    }
    if (!bytes)
        prompter.tell("Register file does not exist or is invalid", "Error");
    return bytes;
}

}  // namespace kvb::board
