#include "panel/PanelIo.h"

#include "core/Hex.h"

namespace kvb::panel {

std::optional<uint8_t> HexByteField(board::BoardUser& user, const std::string& text,
                                    const std::string& boxName)
{
    if (auto value = ParseHex(text, 0xFF))
        return static_cast<uint8_t>(*value);
    user.hexByteRefused(boxName);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> WriteBoxBytes(board::BoardUser& user, const ByteGrid& grid,
                                                  int count)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count && i < ByteGrid::kRows; ++i) {
        auto value = HexByteField(user, grid.writeVal[static_cast<size_t>(i)],
                                  "Write box " + ByteToHex2(static_cast<uint8_t>(i)));
        if (!value)
            return std::nullopt;
        bytes.push_back(*value);
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> TransferWriteBytes(board::BoardUser& user, const ByteGrid& grid,
                                                       int count)
{
    if (grid.fileWriteData)
        return LoadRegistersFile(user, count, grid.registersFile);
    return WriteBoxBytes(user, grid, count);
}

std::optional<uint8_t> DecByteField(board::BoardUser& user, const std::string& text,
                                    const std::string& boxName, unsigned low, unsigned high)
{
    auto value = ParseDec(text, high);
    if (value && *value >= low)
        return static_cast<uint8_t>(*value);
    user.numberRefused(boxName, low, high);
    return std::nullopt;
}

bool SendUnchecked(board::HidTransport& transport, uint8_t code, uint8_t subCommand,
                   std::initializer_list<uint8_t> payload)
{
    const std::span<const uint8_t> bytes(payload.begin(), payload.size());
    return transport.writeRequest(board::BoardCommandRequest(code, subCommand, bytes));
}

}  // namespace kvb::panel
