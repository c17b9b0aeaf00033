#include "board/PanelIo.h"

#include "core/AppInfo.h"
#include "core/Hex.h"

#include <algorithm>

namespace kvb::board {

std::optional<uint8_t> HexByteField(Prompter& prompter, const std::string& text,
                                    const std::string& boxName)
{
    if (auto value = ParseHex(text, 0xFF))
        return static_cast<uint8_t>(*value);
    prompter.tell(boxName + ": enter a hexadecimal byte from 00 to FF.", kProgramTitle,
                  Icon::Warning);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> WriteBoxBytes(Prompter& prompter, const ByteGrid& grid,
                                                  int count)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count && i < ByteGrid::kRows; ++i) {
        auto value = HexByteField(prompter, grid.writeVal[static_cast<size_t>(i)],
                                  "Write box " + ByteToHex2(static_cast<uint8_t>(i)));
        if (!value)
            return std::nullopt;
        bytes.push_back(*value);
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> TransferWriteBytes(Prompter& prompter, const ByteGrid& grid,
                                                       int count)
{
    if (grid.fileWriteData)
        return LoadRegistersFile(prompter, count, grid.registersFile);
    return WriteBoxBytes(prompter, grid, count);
}

std::optional<uint8_t> DecByteField(Prompter& prompter, const std::string& text,
                                    const std::string& boxName, unsigned low, unsigned high)
{
    auto value = ParseDec(text, high);
    if (value && *value >= low)
        return static_cast<uint8_t>(*value);
    prompter.tell(boxName + ": enter a number from " + std::to_string(low) + " to " +
                      std::to_string(high) + ".",
                  kProgramTitle, Icon::Warning);
    return std::nullopt;
}

bool SendUnchecked(HidTransport& transport, uint8_t code, uint8_t subCommand,
                   std::initializer_list<uint8_t> payload)
{
    Report& report = transport.ReportBuffer();
    transport.ClearReportBuffer(0);
    transport.SetReportIdByte();
    report[1] = code;
    report[2] = subCommand;
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - 3), report.begin() + 3);
    return transport.writeReportBuffer();
}

}  // namespace kvb::board
