#pragma once
// The thirteen balance status banks of every type-0 device as the program
// last read, wrote or edited them. The chip reaches the banks one at a time
// through the balance status register, so this table is the only place that
// holds all of them; a device configuration is saved from it. A bank the
// program never read, wrote or edited is marked unknown, and saving leaves
// it out rather than writing a zero the chip never held.

#include "link/RegisterModel.h"

#include <array>
#include <cstdint>

namespace kvb {

constexpr int kBalanceBanks = 13;
constexpr int kBalanceCells = 12;

// Registers of the balance controls (device type 0, page 2).
namespace balance_reg {
constexpr uint8_t kPage = 2;
constexpr uint8_t SetupAddress = 0x13;   // mode, wait, bank pointer, enable
constexpr uint8_t StatusAddress = 0x14;  // the bank the pointer selects
constexpr uint8_t TimeAddress = 0x15;    // watchdog and balance timeout
constexpr int Setup = link::RegisterIndex(kPage, SetupAddress);    // 147
constexpr int Status = link::RegisterIndex(kPage, StatusAddress);  // 148
constexpr int Time = link::RegisterIndex(kPage, TimeAddress);      // 149
constexpr int FirstValue = link::RegisterIndex(kPage, 0x20);       // 160: cell 1 low half
// Bits of the setup register kept when the bank pointer changes.
constexpr int16_t KeepOnPointerChange = 0x21F;
constexpr int PointerStep = 32;
}  // namespace balance_reg

// The setup register's value selecting `bank` (0..12), keeping its mode,
// wait and enable bits and clearing bits 10 to 13.
constexpr int16_t BankPointerValue(int16_t setup, int bank)
{
    return static_cast<int16_t>((setup & balance_reg::KeepOnPointerChange) +
                                bank * balance_reg::PointerStep);
}

// The bank a setup register value points at (0..12).
constexpr int BankOfSetup(int16_t setup)
{
    const int bank = (setup >> 5) & 0x0F;
    return bank < kBalanceBanks ? bank : kBalanceBanks - 1;
}

class BalanceStatusTable {
public:
    int16_t value(int device, int bank) const { return values_[device][bank]; }
    bool known(int device, int bank) const { return known_[device][bank]; }
    void set(int device, int bank, int16_t value)
    {
        values_[device][bank] = value;
        known_[device][bank] = true;
    }

private:
    std::array<std::array<int16_t, kBalanceBanks>, link::kDevices> values_{};
    std::array<std::array<bool, kBalanceBanks>, link::kDevices> known_{};
};

}  // namespace kvb
