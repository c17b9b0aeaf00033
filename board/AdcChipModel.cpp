#include "board/AdcChipModel.h"

#include "core/Hex.h"

#include <cstdio>

namespace kvb::board {

int32_t AdcChipValue(uint8_t high, uint8_t middle, uint8_t low)
{
    int32_t raw = (static_cast<int32_t>(high) << 16) | (middle << 8) | low;
    return raw >= 0x800000 ? raw - 0x1000000 : raw;
}

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

uint8_t AdcChipRegisterValue(uint8_t byte2, uint8_t byte3)
{
    return static_cast<uint8_t>(((byte2 & 1) << 7) | (byte3 >> 1));
}

AdcChipModel::AdcChipModel(HidTransport& transport, PortModel& ports, PanelSignals& notices)
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

std::optional<int16_t> AdcChipModel::exchange(uint8_t subCommand)
{
    std::array<uint8_t, 3> bytes{};
    if (!requestBytes(bytes))
        return std::nullopt;
    return transport_.Query(HidAdcChipRegister, {bytes[0], bytes[1], bytes[2]}, subCommand);
}

bool AdcChipModel::requestBytes(std::array<uint8_t, 3>& bytes)
{
    Prompter& prompter = transport_.services().prompter;
    const std::string names[] = {"ADC Register 1", "ADC Register 2", "ADC Delay"};
    const std::string* texts[] = {&reg[0], &reg[1], &delay};
    for (int i = 0; i < 3; ++i) {
        auto value = HexByteField(prompter, *texts[i], names[i]);
        if (!value)
            return false;
        bytes[i] = *value;
    }
    return true;
}

bool AdcChipModel::writeReadRegister()
{
    auto exchanged = exchange(kSubSet);
    if (!exchanged)
        return false;
    const int16_t status = *exchanged;
    if (status == StatusWriteFailed)
        return false;  // nothing was sent: the labels keep what they showed
    const Report& answer = transport_.ReportBuffer();
    received.fill("--");
    registerRead = "--";
    if (AnswerArrived(status)) {
        for (int i = 0; i < 4; ++i)
            received[i] = ByteToHex2(answer[i + 1]);
        registerRead = ByteToHex2(AdcChipRegisterValue(answer[2], answer[3]));
    }
    notices_.notify();
    transport_.services().pump.yield();
    return AnswerArrived(status);
}

bool AdcChipModel::readConversion()
{
    auto exchanged = exchange(kSubGet);
    if (!exchanged)
        return false;
    const int16_t status = *exchanged;
    const Report& answer = transport_.ReportBuffer();
    // The board's error byte does not stop the conversion being shown.
    if (AnswerArrived(status)) {
        int32_t value = AdcChipValue(answer[3], answer[4], answer[5]);
        decimal = std::to_string(value);
        millivolts = FormatMillivolts(AdcChipMillivolts(value));
    } else {
        // The buffer holds no conversion: show none rather than the request.
        decimal = "--";
        millivolts = "--";
    }
    notices_.notify();
    return AnswerArrived(status);
}

}  // namespace kvb::board
