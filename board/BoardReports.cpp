#include "board/BoardReports.h"

#include "core/Hex.h"

#include <algorithm>

namespace kvb::board {

namespace {

constexpr size_t kCodeByte = 1;
constexpr size_t kSubCommandByte = 2;
constexpr size_t kPayloadStart = 3;

}  // namespace

Report BoardCommandRequest(uint8_t code, uint8_t subCommand, std::span<const uint8_t> payload)
{
    Report report{};
    PutBoardCommand(report, code, subCommand, payload);
    return report;
}

void PutBoardCommand(Report& into, uint8_t code, uint8_t subCommand,
                     std::span<const uint8_t> payload)
{
    SetReportNumber(into);
    into[kCodeByte] = code;
    into[kSubCommandByte] = subCommand;
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - kPayloadStart),
                into.begin() + kPayloadStart);
}

void PutAdcConvertRequest(Report& into, uint8_t readMode, uint8_t sampleMode)
{
    const uint8_t payload[] = {sampleMode};
    PutBoardCommand(into, HidAdcConvert, readMode, payload);
}

Report GpioSpiSetupRequest(const GpioSpiSetupRecord& setup)
{
    return BoardCommandRequest(HidGpioSpiSetup, kSubSet, setup);
}

void PutI2cRequest(Report& into, uint8_t slave, uint8_t count,
                   std::span<const uint8_t> addressBytes, std::span<const uint8_t> data)
{
    SetReportNumber(into);
    into[kCodeByte] = HidI2cTransfer;
    into[2] = slave;
    into[3] = count;
    into[4] = static_cast<uint8_t>(addressBytes.size());
    auto next = std::copy(addressBytes.begin(), addressBytes.end(), into.begin() + 5);
    std::copy(data.begin(), data.end(), next);
}

void PutRawSpiWrite(Report& into, const RawSpiWrite& write)
{
    const size_t count = std::min(write.data.size(), kRawSpiDataRoom);
    SetReportNumber(into);
    into[kCodeByte] = HidSpiPipeDaisyChain;
    into[2] = 0;
    into[3] = write.readBack ? 1 : 0;
    into[4] = write.phaseChange ? 1 : 0;
    into[5] = write.phaseChangeByte;
    into[6] = static_cast<uint8_t>(count);
    std::copy_n(write.data.begin(), count, into.begin() + 7);
}

void PutPipeRequest(Report& into, uint8_t command, uint8_t transaction,
                    std::span<const uint8_t> txFrame, size_t count)
{
    count = std::min(count, kPipeFrameRoom);
    SetReportNumber(into);
    into[kCodeByte] = command;
    into[2] = transaction;
    into[3] = static_cast<uint8_t>(count);
    into[4] = txFrame.empty() ? 0 : txFrame[0];
    const std::span<const uint8_t> frame = txFrame.empty() ? txFrame : txFrame.subspan(1);
    const size_t fromFrame = std::min(count, frame.size());
    std::copy_n(frame.begin(), fromFrame, into.begin() + 5);
    // Positions of the count past the frame read boxes that hold no byte.
    std::fill_n(into.begin() + 5 + static_cast<std::ptrdiff_t>(fromFrame), count - fromFrame, 0);
}

int32_t AdcChipValue(uint8_t high, uint8_t middle, uint8_t low)
{
    int32_t raw = (static_cast<int32_t>(high) << 16) | (middle << 8) | low;
    return raw >= 0x800000 ? raw - 0x1000000 : raw;
}

uint8_t AdcChipRegisterValue(uint8_t byte2, uint8_t byte3)
{
    return static_cast<uint8_t>(((byte2 & 1) << 7) | (byte3 >> 1));
}

GpioSpiSetupRecord ReadGpioSpiSetup(const Report& answer)
{
    GpioSpiSetupRecord setup{};
    const std::span<const uint8_t> data = AnswerData(answer, setup.size());
    std::copy(data.begin(), data.end(), setup.begin());
    return setup;
}

void ReportBytesAsHex(const Report& report, size_t first, std::span<std::string> into)
{
    for (size_t i = 0; i < into.size() && first + i < report.size(); ++i)
        into[i] = ByteToHex2(report[first + i]);
}

}  // namespace kvb::board
