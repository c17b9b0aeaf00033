#include "panel/SpiModel.h"

#include "core/Hex.h"
#include "core/KeyFilters.h"

namespace kvb::panel {

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

SpiModel::SpiModel(board::HidTransport& transport, ByteGrid& grid, board::ChipPipe& pipe,
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
    return SendUnchecked(transport_, board::HidSpiConfig, board::kSubSet, {bits});
}

bool SpiModel::getSPIclock()
{
    // An answer is taken whatever its error byte. A query the board never
    // answered goes on with the buffer it cleared: a system clock of 0, so
    // both lists end up empty and nothing is selected or sent. Only a
    // request that could not be written stops here.
    const board::Status status = transport_.Query(board::HidSpiClock, {}, board::kSubGet);
    if (status == board::Status::WriteFailed)
        return false;
    const board::SpiClockAnswer answer = board::ReadSpiClockAnswer(transport_.lastReport());
    clockEntries =
        SpiClockList(answer.systemClockMhz, transport_.services().format.decimalSeparator());
    selectedClock = -1;
    for (size_t i = 0; i < clockEntries.size(); ++i)
        if (clockEntries[i].code == answer.code)
            selectedClock = static_cast<int>(i);
    notices_.notify();
    // The panel's list takes its selection: the board gets its own code
    // back. Then the SPI clock dialog's list is filled and selected, and its
    // own selection handling sends the code once more.
    if (selectedClock >= 0)
        writeClock();
    if (clockListChanged)
        clockListChanged();
    return board::AnswerArrived(status);
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
    return transport_.SetCommand(board::HidSpiClock, {clockEntries[selectedClock].code},
                                 board::kSubSet);
}

bool SpiModel::spiWrite()
{
    board::BoardUser& user = transport_.user();
    const int count = ClampCountText(grid_.numToWrite, 1, kMaxRawBytes);
    grid_.numToWrite = std::to_string(count);
    auto phaseByte = DecByteField(user, phaseChangeByte, "Clock Phase Change Byte", 0, 255);
    if (!phaseByte)
        return false;
    const std::optional<std::vector<uint8_t>> bytes = TransferWriteBytes(user, grid_, count);
    if (!bytes)
        return false;

    transport_.FlushHidInput();
    // Built over the report buffer as the drain left it: the bytes past the
    // data keep what it held.
    const bool written = transport_.writeRawSpi({readBack, phaseChange, *phaseByte, *bytes});
    if (transport_.CheckStatus(written) != board::Status::Done || !readBack) {
        grid_.notify();
        return false;
    }

    if (transport_.awaitAnswer() == board::Status::TimedOut) {
        grid_.fillRead(0, kRawReadBack - 1, "--");  // no answer: nothing to show
    } else {
        board::ReportBytesAsHex(transport_.lastReport(), 0,
                                std::span(grid_.readVal).first(static_cast<size_t>(kRawReadBack)));
    }
    grid_.notify();
    return true;
}

board::PipeResult SpiModel::mcbSpi()
{
    const int count = ClampCountText(grid_.numToWrite, 1, board::ChipPipe::kMaxCount);
    grid_.numToWrite = std::to_string(count);
    // The count comes from the count box; the bytes after the select byte
    // are write boxes 0 .. count-1.
    std::optional<std::vector<uint8_t>> boxes = WriteBoxBytes(transport_.user(), grid_, count);
    if (!boxes)
        return board::PipeResult{};
    std::vector<uint8_t> frame = std::move(*boxes);
    frame.insert(frame.begin(), pipe_.selectByte());
    board::PipeResult result = pipe_.transfer(pipe_.request(frame, count));
    notices_.notify();
    return result;
}

void SpiModel::testSequence()
{
    BusyScope busy(notices_);
    pipe_.clearSelectByte();
    grid_.numToWrite = "3";
    const char* first[] = {"30", "80", "0", "0", "0"};
    for (int i = 0; i < 5; ++i)
        grid_.writeVal[i] = first[i];
    // A lost board has been told once; the rest of the sequence would only
    // tell it again.
    const board::PipeLossWatch loss(pipe_);
    mcbSpi();
    if (loss.lost())
        return;

    // A pipe report written directly over the report buffer, number 0 and
    // select byte 0, whose five frame bytes repeat the report's first five;
    // bytes past them keep what the buffer held. Whether it was written is
    // not looked at, and its answer is left for the next drain.
    const uint8_t frame[] = {0x00, 0x01, 0x15, 0x00, 0x05, 0x00};
    board::leaveUnchecked(transport_.writeUnawaitedPipeRequest(board::HidSpiPipe, 0, frame, 5));

    grid_.numToWrite = "5";
    const char* second[] = {"15", "00", "0A", "03", "00"};
    for (int i = 0; i < 5; ++i)
        grid_.writeVal[i] = second[i];
    mcbSpi();
}

}  // namespace kvb::panel
