#include "board/BoardReports.h"

#include "core/Hex.h"

#include <algorithm>

namespace kvb::board {

namespace {

constexpr size_t kCodeByte = 1;
constexpr size_t kSubCommandByte = 2;
constexpr size_t kPayloadStart = 3;

Report numberedReport()
{
    Report report{};
    SetReportNumber(report);
    return report;
}

}  // namespace

Report BoardCommandRequest(uint8_t code, uint8_t subCommand, std::span<const uint8_t> payload)
{
    Report report = numberedReport();
    report[kCodeByte] = code;
    report[kSubCommandByte] = subCommand;
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - kPayloadStart),
                report.begin() + kPayloadStart);
    return report;
}

Report AdcConvertRequest(uint8_t readMode, uint8_t sampleMode)
{
    const uint8_t payload[] = {sampleMode};
    return BoardCommandRequest(HidAdcConvert, readMode, payload);
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

Report RawSpiWriteRequest(const RawSpiWrite& write)
{
    const size_t count = std::min(write.data.size(), kRawSpiDataRoom);
    Report report = numberedReport();
    report[kCodeByte] = HidSpiPipeDaisyChain;
    report[2] = 0;
    report[3] = write.readBack ? 1 : 0;
    report[4] = write.phaseChange ? 1 : 0;
    report[5] = write.phaseChangeByte;
    report[6] = static_cast<uint8_t>(count);
    std::copy_n(write.data.begin(), count, report.begin() + 7);
    return report;
}

Report PipeRequest(uint8_t command, uint8_t transaction, std::span<const uint8_t> txFrame,
                   size_t count)
{
    count = std::min(count, kPipeFrameRoom);
    Report report = numberedReport();
    report[kCodeByte] = command;
    report[2] = transaction;
    report[3] = static_cast<uint8_t>(count);
    report[4] = txFrame.empty() ? 0 : txFrame[0];
    const std::span<const uint8_t> frame = txFrame.empty() ? txFrame : txFrame.subspan(1);
    std::copy_n(frame.begin(), std::min(count, frame.size()), report.begin() + 5);
    return report;
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
