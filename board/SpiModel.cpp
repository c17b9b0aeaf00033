#include "board/SpiModel.h"

#include "board/RegistersFile.h"
#include "core/Hex.h"
#include "core/KeyFilters.h"

namespace kvb::board {

std::vector<SpiClockEntry> SpiClockList(unsigned systemClockMhz,
                                        const std::string& decimalSeparator)
{
    std::vector<SpiClockEntry> entries;
    const uint32_t base = static_cast<uint32_t>(systemClockMhz) * 1000u;
    for (int code = SpiModel::kClockCodes - 1; code >= 0; --code) {
        uint32_t kHz = base / (2u * static_cast<uint32_t>(code + 1));
        if (kHz <= 499)
            continue;
        std::string text = std::to_string(kHz / 1000);
        if (uint32_t fraction = kHz % 1000) {
            std::string digits = std::to_string(1000 + fraction).substr(1);
            while (digits.back() == '0')
                digits.pop_back();
            text += decimalSeparator + digits;
        }
        entries.push_back({text, static_cast<uint8_t>(code)});
    }
    return entries;
}

SpiModel::SpiModel(HidTransport& transport, ByteGrid& grid, ChipPipe& pipe,
                   PanelSignals& notices)
    : transport_(transport), grid_(grid), pipe_(pipe), notices_(notices)
{
}

void SpiModel::setOption(bool& option, bool value)
{
    if (option == value)
        return;
    option = value;
    setSPIconfig();
}

bool SpiModel::setSPIconfig()
{
    uint8_t bits = static_cast<uint8_t>((clockPolarity ? 1 : 0) + (clockPhase ? 2 : 0) +
                                        (slaveSelect ? 4 : 0));
    return SendUnchecked(transport_, HidSpiConfig, kSubSet, {bits});
}

bool SpiModel::getSPIclock()
{
    // An answer is taken whatever its error byte; a lost one leaves the
    // list as it was.
    if (!AnswerArrived(transport_.Query(HidSpiClock, {}, kSubGet)))
        return false;
    const Report& answer = transport_.ReportBuffer();
    const uint8_t current = answer[3];
    clockEntries = SpiClockList(answer[2], transport_.services().format.decimalSeparator());
    selectedClock = -1;
    for (size_t i = 0; i < clockEntries.size(); ++i)
        if (clockEntries[i].code == current)
            selectedClock = static_cast<int>(i);
    if (clockListChanged)
        clockListChanged();
    notices_.notify();
    if (selectedClock >= 0)
        writeClock();
    return true;
}

void SpiModel::selectClock(int index)
{
    if (index < 0 || index >= static_cast<int>(clockEntries.size()) || index == selectedClock)
        return;
    selectedClock = index;
    notices_.notify();
    writeClock();
}

bool SpiModel::writeClock()
{
    if (selectedClock < 0 || selectedClock >= static_cast<int>(clockEntries.size()))
        return false;
    return transport_.SetCommand(HidSpiClock, {clockEntries[selectedClock].code}, kSubSet);
}

bool SpiModel::spiWrite()
{
    Prompter& prompter = transport_.services().prompter;
    const int count = ClampCountText(grid_.numToWrite, 1, kMaxRawBytes);
    grid_.numToWrite = std::to_string(count);
    auto phaseByte = DecByteField(prompter, phaseChangeByte, "Clock Phase Change Byte", 0, 255);
    if (!phaseByte)
        return false;
    const std::optional<std::vector<uint8_t>> bytes = TransferWriteBytes(prompter, grid_, count);
    if (!bytes)
        return false;
    const std::vector<uint8_t>& data = *bytes;

    transport_.FlushHidInput();
    Report& report = transport_.ReportBuffer();
    transport_.ClearReportBuffer(0);
    transport_.SetReportIdByte();
    report[1] = HidSpiPipeDaisyChain;
    report[2] = 0;
    report[3] = readBack ? 1 : 0;
    report[4] = phaseChange ? 1 : 0;
    report[5] = *phaseByte;
    report[6] = static_cast<uint8_t>(count);
    std::copy(data.begin(), data.end(), report.begin() + 7);
    if (transport_.CheckStatus(transport_.writeReportBuffer()) != StatusDone || !readBack) {
        grid_.notify();
        return false;
    }

    transport_.ClearReportBuffer(0);
    if (transport_.ReadReport() == StatusTimedOut) {
        transport_.CheckStatus(false);
        grid_.fillRead(0, kRawReadBack - 1, "--");  // no answer: nothing to show
    } else {
        for (int i = 0; i < kRawReadBack; ++i)
            grid_.readVal[i] = ByteToHex2(transport_.ReportBuffer()[i]);
    }
    grid_.notify();
    return true;
}

PipeResult SpiModel::mcbSpi()
{
    const int count = ClampCountText(grid_.numToWrite, 1, ChipPipe::kMaxCount);
    grid_.numToWrite = std::to_string(count);
    // The count comes from the count box; the bytes after the select byte
    // are write boxes 0 .. count-1.
    std::optional<std::vector<uint8_t>> boxes =
        WriteBoxBytes(transport_.services().prompter, grid_, count);
    if (!boxes)
        return PipeResult{};
    std::vector<uint8_t> frame = std::move(*boxes);
    frame.insert(frame.begin(), pipe_.SelectByte);
    PipeResult result = pipe_.transfer(frame, count);
    notices_.notify();
    return result;
}

void SpiModel::testSequence()
{
    BusyScope busy(notices_);
    pipe_.SelectByte = 0;
    grid_.numToWrite = "3";
    const char* first[] = {"30", "80", "0", "0", "0"};
    for (int i = 0; i < 5; ++i)
        grid_.writeVal[i] = first[i];
    mcbSpi();

    // A pipe report written directly, its answer left for the next drain.
    Report direct{};
    const uint8_t head[] = {0x01, 0x15, 0x00, 0x05, 0x00};
    std::copy(std::begin(head), std::end(head), direct.begin());
    std::copy(std::begin(head), std::end(head), direct.begin() + 5);
    transport_.writeReport(direct);

    grid_.numToWrite = "5";
    const char* second[] = {"15", "00", "0A", "03", "00"};
    for (int i = 0; i < 5; ++i)
        grid_.writeVal[i] = second[i];
    mcbSpi();
}

}  // namespace kvb::board
