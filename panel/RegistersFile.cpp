#include "panel/RegistersFile.h"

#include "core/FieldReader.h"
#include "core/Hex.h"

#include <fstream>

namespace kvb::panel {

namespace {

// Characters of an item that matter: "generic" and one more (to tell it
// from a longer item), or "0x" and the two digits after it.
constexpr size_t kItemKept = 8;

}  // namespace

std::optional<std::vector<uint8_t>> ReadRegistersList(std::istream& in, int count)
{
    if (count < 0)
        return std::nullopt;
    // An empty line is no item; an empty field between commas is.
    FieldReader items(in, FieldReader::EmptyLines::Skipped);
    if (items.next(kItemKept) != "generic")
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(count), 0);
    for (uint8_t& byte : bytes) {
        const std::optional<std::string> item = items.next(kItemKept);
        if (!item)
            return std::nullopt;  // fewer items than bytes
        if (!item->starts_with("0x"))
            continue;  // not a byte item: keeps its place as 0
        // The one or two characters after "0x" must all be digits.
        const std::optional<unsigned long long> value = ReadDigits(item->substr(2, 2)).value;
        if (!value)
            return std::nullopt;
        byte = static_cast<uint8_t>(*value);
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> LoadRegistersFile(board::BoardUser& user, int count,
                                                      const std::string& path)
{
    std::optional<std::vector<uint8_t>> bytes;
    std::ifstream file(path, std::ios::binary);
    // A folder opens as a stream that reads nothing, and so is refused.
    if (file)
        bytes = ReadRegistersList(file, count);
    if (!bytes)
        user.registersFileRefused();
    return bytes;
}

}  // namespace kvb::panel
