#pragma once
// What the balance controls and both balance dialogs share: the two checks
// before any chip access, the devices a change addresses, and confirmed
// reads and writes of the type-0 balance registers.
//
// A change only ever addresses real chain positions 1 to DeviceCount1: the
// identify address 0 and the broadcast address 15 hold no register of their
// own, so a read-modify-write there would write one device's value into
// all of them. On a single-device link the device is always 1, the number
// the link files its answers under.

#include "board/ChipPipe.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvb {

// The board is connected and type-0 devices are present; otherwise the user
// is told which is missing and the procedure's name is logged with it.
bool BalanceDevicesOrTell(link::ChipLink& link, Prompter& prompter, const std::string& procedure);

// The device the balance views show and edit: the selected device on a
// daisy chain, device 1 on a single-device link.
int BalanceViewDevice(const link::ChipLink& link);

// The devices a change addresses, ascending: every type-0 device when
// `allDevices` is set on a daisy chain, else the selected one, on a
// single-device link device 1. Empty (and the user told so) when the
// selected device is not a chain position.
std::vector<int> BalanceTargetsOrTell(link::ChipLink& link, Prompter& prompter,
                                      const std::string& procedure, bool allDevices);

// The checks a balance button makes once per click: BalanceDevicesOrTell,
// then BalanceTargetsOrTell. Empty when either refused (the user was told
// once).
std::vector<int> BalanceClickTargets(link::ChipLink& link, Prompter& prompter,
                                     const std::string& procedure, bool allDevices);

// Reads one type-0 page-2 register. True only when an answer arrived
// without a communication error, so the register image holds the chip's
// value.
bool ReadBalanceReg(link::ChipLink& link, int device, uint8_t address);
// Writes one type-0 page-2 register; the register image takes the value only
// when the chip took it.
bool WriteBalanceReg(link::ChipLink& link, int device, uint8_t address, int16_t value);
// Reads the register, applies `change` to the value read and writes the
// result. Nothing is written when the read failed.
template <typename Change>
bool ReadModifyWrite(link::ChipLink& link, int device, uint8_t address, Change change)
{
    if (!ReadBalanceReg(link, device, address))
        return false;
    const int reg = link::RegisterIndex(2, address);
    return WriteBalanceReg(link, device, address,
                           static_cast<int16_t>(change(link.image.at(0, device, reg))));
}
// Points the device's balance status register at `bank` (0..12).
bool SelectBalanceBank(link::ChipLink& link, int device, int bank);

// True once the board was reported lost since `watch` was made, or is no
// longer connected: a loop of balance exchanges ends there, as every further
// exchange would only report it again.
bool BalanceBoardGone(const link::ChipLink& link, const board::PipeLossWatch& watch);

// "<procedure>: <part> device <n> did not answer, nothing written." in the
// link log.
void LogNoAnswer(link::ChipLink& link, const std::string& procedure, int device);

}  // namespace kvb
