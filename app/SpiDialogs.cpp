#include "app/SpiDialogs.h"

#include "core/Hex.h"
#include "core/UnexpectedError.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace kvb {

const std::array<SpiClockOption, 5>& SpiClockOptions()
{
    static const std::array<SpiClockOption, 5> options{{
        {"200 kHz", 59}, {"500 kHz", 23}, {"1 MHz", 11}, {"2 MHz", 5}, {"4 MHz", 2}}};
    return options;
}

void SpiClockDialog::mirror()
{
    clockList = clocks_.clockEntries;
    clockEntry = clocks_.selectedClock;
}

void SpiClockDialog::clockListFilled()
{
    mirror();
    if (clockEntry >= 0)
        cboSPICLock_Click(clockEntry);
}

void SpiClockDialog::Form_Activate()
{
    pendingCode = link_.spiClockCode();
    mirror();
}

void SpiClockDialog::optSpiClkSpeed_Click(int index)
{
    const auto& options = SpiClockOptions();
    if (index < 0 || index >= static_cast<int>(options.size()))
        index = 4;
    option = index;
    pendingCode = options[static_cast<size_t>(index)].code;
}

void SpiClockDialog::cboSPICLock_Click(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(clocks_.clockEntries.size()))
        return;
    // The panel's list sends the code when its position changes; its click
    // then sends the selected code once more.
    clocks_.selectClock(entry);
    pump_.yield();
    clocks_.writeClock();
    pump_.yield();
    mirror();
}

int SpiTimeoutMicroseconds(uint8_t high, uint8_t low)
{
    return static_cast<int>(std::nearbyint((high * 256 + low) / 2.0));
}

std::array<uint8_t, 2> SpiTimeoutBytes(const std::string& text)
{
    // The box holds digits only; anything else ends the number.
    const DigitsRead read = ReadDigits(text, {.base = 10, .leadingOnly = true, .max = INT32_MAX});
    if (read.tooLarge)
        throw std::overflow_error("Overflow");
    const auto us = static_cast<long long>(read.value.value_or(0));
    const int x = 2 * static_cast<int>(std::clamp<long long>(us, kMinSpiTimeoutUs, kMaxSpiTimeoutUs));
    return {static_cast<uint8_t>((x & 0xFF00) / 256), static_cast<uint8_t>(x & 0xFF)};
}

void SpiTimeoutDialog::Form_Activate()
{
    pendingHigh = link_.spiTimeoutHigh();
    pendingLow = link_.spiTimeoutLow();
    upDown = SpiTimeoutMicroseconds(pendingHigh, pendingLow);
    text = std::to_string(upDown);
}

bool SpiTimeoutDialog::tbSpiTimeout_KeyPress(int key)
{
    return (key >= '0' && key <= '9') || key == 8;
}

bool SpiTimeoutDialog::OKButton_Click(const std::function<void()>& hide)
{
    return RunHandler(prompter_, "OKButton_Click", false, [&] {
        const auto bytes = SpiTimeoutBytes(text);
        pendingHigh = bytes[0];
        pendingLow = bytes[1];
        link_.setSpiTimeout(pendingHigh, pendingLow);
        if (hide)
            hide();
        return link_.SetGpioSpiSetupDaisy();
    });
}

}  // namespace kvb
