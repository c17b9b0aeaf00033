#include "panel/McuAdcModel.h"

#include "core/Hex.h"
#include "core/KeyFilters.h"

namespace kvb::panel {

namespace {

std::vector<std::string> muxList(bool negative)
{
    std::vector<std::string> entries{
        "00 - P2.0", "01 - P2.1", "02 - P2.2", "03 - P2.3", "04 - P2.5", "05 - P2.6",
        "06 - P3.0", "07 - P3.1", "08 - P3.4", "09 - P3.5", "0A - P3.7", "0B - P4.0",
        "0C - P4.3", "0D - P4.4", "0E - P4.5", "0F - P4.6", "10 - RSVD", "11 - P0.3",
        "12 - P0.4", "13 - P1.1", "14 - P1.2"};
    entries.push_back(negative ? "1E - VREF" : "1E - Temp Sensor");
    entries.push_back(negative ? "1F - GND" : "1F - VDD");
    return entries;
}

}  // namespace

McuAdcModel::McuAdcModel(board::HidTransport& transport, PortModel& ports, PanelSignals& notices)
    : transport_(transport), ports_(ports), notices_(notices)
{
    clockLabels.fill("--");
    refLabels.fill("--");
    muxLabels.fill("--");
    modeLabels.fill("--");
    loopLabels.fill("--");
    sampleLabels.fill("--");
    enableLabels.fill("--");
}

const std::vector<std::string>& McuAdcModel::muxEntries(bool negative)
{
    static const std::vector<std::string> positiveList = muxList(false);
    static const std::vector<std::string> negativeList = muxList(true);
    return negative ? negativeList : positiveList;
}

uint8_t McuAdcModel::muxCode(int entry)
{
    const auto& entries = muxEntries(false);
    if (entry < 0 || entry >= static_cast<int>(entries.size()))
        return 0;
    return static_cast<uint8_t>(HexStrToInt(entries[entry].substr(0, 2)));
}

MuxPin McuAdcModel::muxPin(int entry)
{
    const auto& entries = muxEntries(false);
    if (entry < 0 || entry >= static_cast<int>(entries.size()))
        return {};
    // "0B - P4.0": the pin name follows "P" in the entry's text.
    const std::string& text = entries[entry];
    size_t p = text.find(" - P");
    if (p == std::string::npos || text.size() < p + 7)
        return {};
    return {text[p + 4] - '0', text[p + 6] - '0'};
}

const std::vector<std::string>& McuAdcModel::readModeEntries()
{
    static const std::vector<std::string> entries{"0: Single", "1: Continuous 1",
                                                  "2: Continuous 2"};
    return entries;
}

const std::vector<std::string>& McuAdcModel::sampleModeEntries()
{
    static const std::vector<std::string> entries{"0: 31 Sample", "1:  1 Sample"};
    return entries;
}

template <size_t N>
board::Status McuAdcModel::readInto(uint8_t code, std::array<std::string, N>& labels,
                                    bool overBuffer)
{
    const board::Status status = overBuffer ? transport_.QueryOverBuffer(code, board::kSubGet)
                                            : transport_.Query(code, {}, board::kSubGet);
    if (status == board::Status::WriteFailed)
        return status;  // nothing was asked: the labels keep what they showed
    // An answer shows all its bytes, the error byte in its own label; a
    // missing answer shows none.
    labels.fill("--");
    if (board::AnswerArrived(status))
        board::ReportBytesAsHex(transport_.lastReport(), 0, labels);
    notices_.notify();
    return status;
}

template <size_t N>
void McuAdcModel::readLabels(uint8_t code, std::array<std::string, N>& labels)
{
    // The labels tell everything, the error byte among them.
    board::leaveUnchecked(readInto(code, labels));
}

bool McuAdcModel::writeClock()
{
    auto value = HexByteField(transport_.user(), adosc, "ADOSC");
    return value && SendUnchecked(transport_, board::HidAdcClock, board::kSubSet, {*value});
}

void McuAdcModel::readClock()
{
    readLabels(board::HidAdcClock, clockLabels);
}

void McuAdcModel::writeRefControl()
{
    transport_.user().notOffered();
}

void McuAdcModel::readRefControl()
{
    readLabels(board::HidAdcRefControl, refLabels);
}

bool McuAdcModel::writeMux()
{
    BusyScope busy(notices_);
    ports_.clearAnalog();
    // Clear Analog writes ports 0 to 2 only; ports 3 and 4 hold multiplexer
    // pins too, so they are written here to leave every pin digital.
    for (int port : {3, 4})
        ports_.write(PortRow::InputMode, port);
    const uint8_t positive = muxCode(muxPositive);
    const uint8_t negative = muxCode(muxNegative);
    modeByte = {std::to_string(positive), std::to_string(negative)};
    for (int entry : {muxPositive, muxNegative}) {
        MuxPin pin = muxPin(entry);
        if (pin.port < 0)
            continue;
        ports_.setBox(PortRow::InputMode, pin.port, pin.bit, true);
        ports_.write(PortRow::InputMode, pin.port);
    }
    notices_.notify();
    return SendUnchecked(transport_, board::HidAdcMux, board::kSubSet, {positive, negative});
}

void McuAdcModel::readMux()
{
    readLabels(board::HidAdcMux, muxLabels);
}

bool McuAdcModel::writeAdcMode()
{
    return SendUnchecked(transport_, board::HidAdcMode, board::kSubSet,
                         {static_cast<uint8_t>(continuous ? 1 : 0)});
}

void McuAdcModel::readAdcMode()
{
    if (board::AnswerArrived(readInto(board::HidAdcMode, modeLabels))) {
        continuous = modeLabels[2] == "01";
        notices_.notify();
    }
}

void McuAdcModel::clampLoopCount()
{
    loopCount = std::to_string(ClampCountText(loopCount, 1, 255));
    notices_.notify();
}

bool McuAdcModel::writeLoopCount()
{
    clampLoopCount();
    return SendUnchecked(transport_, board::HidAdcLoopCount, board::kSubSet,
                         {static_cast<uint8_t>(std::stoi(loopCount))});
}

void McuAdcModel::readLoopCount()
{
    readLabels(board::HidAdcLoopCount, loopLabels);
}

bool McuAdcModel::writeSampleRate()
{
    board::BoardUser& user = transport_.user();
    std::array<uint8_t, 2> bytes{};
    for (int i = 0; i < 2; ++i) {
        if (sampleRate[i] == "--")
            continue;  // never set: sent as 0
        auto value =
            HexByteField(user, sampleRate[i], i == 0 ? "Sample Rate MSB" : "Sample Rate LSB");
        if (!value)
            return false;
        bytes[i] = *value;
    }
    transport_.FlushHidInput();
    return SendUnchecked(transport_, board::HidAdcSampleRate, board::kSubSet, {bytes[0], bytes[1]});
}

void McuAdcModel::readSampleRate()
{
    readLabels(board::HidAdcSampleRate, sampleLabels);
}

bool McuAdcModel::writeEnable()
{
    // The enable's requests are written over the report buffer as it
    // stands, not over a cleared one: bytes past the payload keep it.
    const uint8_t payload[] = {static_cast<uint8_t>(enable ? 1 : 0)};
    return transport_.writeBoardCommandOverBuffer(board::HidAdcEnable, board::kSubSet, payload);
}

void McuAdcModel::readEnable()
{
    const board::Status status = readInto(board::HidAdcEnable, enableLabels, true);
    if (status == board::Status::WriteFailed)
        return;
    enabledLamp =
        board::AnswerArrived(status) && enableLabels[2] == "01" ? Lamp::LightRed : Lamp::Black;
    notices_.notify();
}

void McuAdcModel::convert()
{
    bytesSucceeded = "--";
    count = "xxxx";
    notices_.notify();

    transport_.FlushHidInput();
    // Over the report buffer as the drain left it: bytes from 4 on keep it.
    const bool written = transport_.writeAdcConvertRequest(static_cast<uint8_t>(readMode),
                                                           static_cast<uint8_t>(sampleMode));
    bytesSucceeded = SignedText(written ? static_cast<long long>(board::kReportSize) : 0);
    notices_.notify();
    if (transport_.CheckStatus(written) != board::Status::Done)
        return;

    const board::Status status = transport_.awaitAnswer();
    if (board::AnswerArrived(status))
        count = SignedText(board::ConversionCount(transport_.lastReport()));
    else
        count = "--";  // no answer: no count
    notices_.notify();
}

}  // namespace kvb::panel
