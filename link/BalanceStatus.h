#pragma once
// The registers of the balance controls and the helpers on their bank
// pointer. The table of the thirteen balance status banks lives with the
// register image (`RegisterImage::banks`), which takes every write of the
// balance status register a chip took.

#include "link/RegisterModel.h"

#include <cstdint>

namespace kvb {

using link::BalanceStatusTable;
constexpr int kBalanceBanks = link::kBalanceBanks;
constexpr int kBalanceCells = 12;

// Registers of the balance controls (device type 0, page 2).
namespace balance_reg {
constexpr uint8_t kPage = 2;
constexpr uint8_t SetupAddress = 0x13;                         // mode, wait, bank pointer, enable
constexpr uint8_t StatusAddress = 0x14;                        // the bank the pointer selects
constexpr uint8_t TimeAddress = 0x15;                          // watchdog and balance timeout
constexpr int Setup = link::kBalanceSetupRegister;             // 147
constexpr int Status = link::kBalanceStatusRegister;           // 148
constexpr int Time = link::RegisterIndex(kPage, TimeAddress);  // 149
constexpr int FirstValue = link::RegisterIndex(kPage, 0x20);   // 160: cell 1 low half
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

}  // namespace kvb
