#include "panel/AdcChipModel.h"

#include "core/Hex.h"

#include <cstdio>

namespace kvb::panel {

double AdcChipMillivolts(int32_t value)
{
    constexpr double kFullScaleVolts = 2.5;
    constexpr double kGain = 1.0;
    constexpr double kCounts = 8388607.0;
    return kFullScaleVolts / kGain / kCounts * value * 1000.0;
}

std::string FormatMillivolts(double millivolts)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", millivolts);
    return text;
}

AdcChipModel::AdcChipModel(board::HidTransport& transport, PortModel& ports, PanelSignals& notices)
    : transport_(transport), ports_(ports), notices_(notices)
{
    received.fill("--");
}

void AdcChipModel::initAdcIo()
{
    BusyScope busy(notices_);
    // RESET open collector, CS and CLK push-pull, MISO released, MOSI push-pull.
    const bool pushPull[5] = {false, true, true, false, true};
    for (int bit = 0; bit < 5; ++bit)
        ports_.setBox(PortRow::OutputMode, 1, bit, pushPull[bit]);
    // Levels in this order: RESET, CS, MISO high, then CLK, MOSI low.
    const std::pair<int, bool> levels[] = {{0, true}, {1, true}, {3, true}, {2, false}, {4, false}};
    for (auto [bit, high] : levels)
        ports_.setBox(PortRow::Data, 1, bit, high);

    EventPump& pump = transport_.services().pump;
    ports_.write(PortRow::OutputMode, 1);
    pump.yield();
    ports_.read(PortRow::OutputMode, 1);
    pump.yield();
    ports_.write(PortRow::Data, 1);
    pump.yield();
    ports_.read(PortRow::Data, 1);
    pump.yield();
}

std::optional<board::Status> AdcChipModel::exchange(uint8_t subCommand)
{
    std::array<uint8_t, 3> bytes{};
    if (!requestBytes(bytes))
        return std::nullopt;
    return transport_.Query(board::HidAdcChipRegister, {bytes[0], bytes[1], bytes[2]}, subCommand);
}

bool AdcChipModel::requestBytes(std::array<uint8_t, 3>& bytes)
{
    board::BoardUser& user = transport_.user();
    const std::string names[] = {"ADC Register 1", "ADC Register 2", "ADC Delay"};
    const std::string* texts[] = {&reg[0], &reg[1], &delay};
    for (int i = 0; i < 3; ++i) {
        auto value = HexByteField(user, *texts[i], names[i]);
        if (!value)
            return false;
        bytes[i] = *value;
    }
    return true;
}

bool AdcChipModel::writeReadRegister()
{
    auto exchanged = exchange(board::kSubSet);
    if (!exchanged)
        return false;
    const board::Status status = *exchanged;
    if (status == board::Status::WriteFailed)
        return false;  // nothing was sent: the labels keep what they showed
    const board::Report& answer = transport_.lastReport();
    received.fill("--");
    registerRead = "--";
    if (board::AnswerArrived(status)) {
        board::ReportBytesAsHex(answer, 1, received);
        registerRead = ByteToHex2(board::AdcChipRegisterAnswer(answer));
    }
    notices_.notify();
    transport_.services().pump.yield();
    return board::AnswerArrived(status);
}

bool AdcChipModel::readConversion()
{
    auto exchanged = exchange(board::kSubGet);
    if (!exchanged)
        return false;
    const board::Status status = *exchanged;
    if (status == board::Status::WriteFailed)
        return false;  // nothing was sent: the labels keep what they showed
    // The board's error byte does not stop the conversion being shown.
    if (board::AnswerArrived(status)) {
        const int32_t value = board::AdcChipConversionAnswer(transport_.lastReport());
        decimal = std::to_string(value);
        millivolts = FormatMillivolts(AdcChipMillivolts(value));
    } else {
        // The buffer holds no conversion: show none rather than the request.
        decimal = "--";
        millivolts = "--";
    }
    notices_.notify();
    return board::AnswerArrived(status);
}

}  // namespace kvb::panel
