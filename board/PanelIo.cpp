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
