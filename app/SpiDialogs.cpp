#include "app/SpiDialogs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

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
    long long us = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        us = std::min<long long>(us * 10 + (c - '0'), 1000000);
    }
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

bool SpiTimeoutDialog::OKButton_Click()
{
    const auto bytes = SpiTimeoutBytes(text);
    pendingHigh = bytes[0];
    pendingLow = bytes[1];
    link_.setSpiTimeout(pendingHigh, pendingLow);
    // Without a daisy chain connected there is no board to take the record
    // now; the link sends it with its next daisy-chain set-up.
    if (!link_.EvbConnected() || !link_.DaisyChainMode) {
        link_.log.AddToEvbLog(std::string("frmSpiTimeout: ") +
                              (link_.EvbConnected() ? "not a daisy chain" : "EVB not connected") +
                              ", the time-out is sent at the next daisy chain connection.");
        return false;
    }
    return link_.SetGpioSpiSetupDaisy();
}

}  // namespace kvb
