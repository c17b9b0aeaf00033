#include "app/BalanceSequence.h"

#include "app/BalanceAccess.h"
#include "app/DeviceMenu.h"
#include "core/UnexpectedError.h"

#include <algorithm>

namespace kvb {

using namespace balance_reg;

BalanceSequence::BalanceSequence(link::ChipLink& link, BalanceStatusTable& banks,
                                 Services& services)
    : link_(link), banks_(banks), services_(services)
{
    text.fill("0000");
}

std::string BalanceSequence::windowCaption() const
{
    return link_.PartName1 + " Balance Sequence";
}

std::string BalanceSequence::titleCaption() const
{
    return link_.PartName1 + " Balance Status Register Configuration Tool";
}

void BalanceSequence::fromText(int bank, bool toBits, bool toTable, bool toUpDown)
{
    const unsigned value = BalanceFieldValue(text[bank], BalanceField::BankHex);
    if (toBits)
        bits[bank] = static_cast<uint16_t>(value & kMaxBankValue);
    if (toTable)
        banks_.set(BalanceViewDevice(link_), bank, static_cast<int16_t>(value));
    if (toUpDown)
        upDown[bank] = static_cast<int>(value & kMaxBankValue);
}

bool BalanceSequence::readBank(int bank, const char* procedure)
{
    const std::vector<int> devices =
        BalanceTargetsOrTell(link_, services_.prompter, procedure, false);
    if (devices.empty())
        return false;
    const int d = devices.front();
    if (!SelectBalanceBank(link_, d, bank) || !ReadBalanceReg(link_, d, StatusAddress)) {
        LogNoAnswer(link_, procedure, d);
        return false;
    }
    const int16_t v = link_.image.at(0, d, Status);
    banks_.set(d, bank, v);
    text[bank] = link::HexPadded(static_cast<uint16_t>(v), 4);
    fromText(bank, true, false, true);
    return true;
}

bool BalanceSequence::writeBank(int bank, const char* procedure)
{
    const std::vector<int> devices =
        BalanceTargetsOrTell(link_, services_.prompter, procedure, modes.allDevices);
    const auto v = static_cast<int16_t>(BalanceFieldValue(text[bank], BalanceField::BankHex));
    bool all = !devices.empty();
    for (int d : devices) {
        if (!SelectBalanceBank(link_, d, bank)) {
            LogNoAnswer(link_, procedure, d);
            all = false;
            continue;
        }
        if (WriteBalanceReg(link_, d, StatusAddress, v))
            banks_.set(d, bank, v);
        else
            all = false;
    }
    return all;
}

void BalanceSequence::cbRead_Click(int bank)
{
    RunHandler(services_.prompter, "cbRead_Click", [&] {
        if (BalanceDevicesOrTell(link_, services_.prompter, "cbRead_Click"))
            readBank(std::clamp(bank, 0, kBalanceBanks - 1), "cbRead_Click");
    });
}

void BalanceSequence::cbWrite_Click(int bank)
{
    RunHandler(services_.prompter, "cbWrite_Click", [&] {
        if (BalanceDevicesOrTell(link_, services_.prompter, "cbWrite_Click"))
            writeBank(std::clamp(bank, 0, kBalanceBanks - 1), "cbWrite_Click");
    });
}

void BalanceSequence::cbReadAll_Click()
{
    if (!BalanceDevicesOrTell(link_, services_.prompter, "cbReadAll_Click"))
        return;
    for (int bank = 0; bank < kBalanceBanks; ++bank) {
        // An unexpected failure is reported and the next bank is tried.
        const auto read = [&] { return readBank(bank, "cbRead_Click"); };
        if (!RunHandler(services_.prompter, "cbRead_Click", true, read))
            return;  // told once, or the device stopped answering
    }
}

void BalanceSequence::cbWriteAll_Click()
{
    if (!BalanceDevicesOrTell(link_, services_.prompter, "cbWriteAll_Click"))
        return;
    for (int bank = 0; bank < kBalanceBanks; ++bank) {
        RunHandler(services_.prompter, "cbWrite_Click", [&] { writeBank(bank, "cbWrite_Click"); });
    }
}

void BalanceSequence::cbRegToggleBit_Click(int index)
{
    if (index < 0 || index >= kBalanceBanks * kBalanceCells)
        return;
    const int bank = index / kBalanceCells;
    bits[bank] ^= static_cast<uint16_t>(1u << (index % kBalanceCells));
    text[bank] = link::HexPadded(bits[bank], 4);
    fromText(bank, false, true, true);
}

void BalanceSequence::updnRegData_Change(int bank, int value)
{
    if (bank < 0 || bank >= kBalanceBanks)
        return;
    text[bank] = link::HexPadded(std::clamp<int>(value, 0, kMaxBankValue), 4);
    fromText(bank, true, true, false);
}

bool BalanceSequence::tbRegdata_KeyPress(int bank, HexEdit& edit, int key)
{
    if (bank < 0 || bank >= kBalanceBanks || !BalanceFieldKeyPress(edit, key, BalanceField::BankHex))
        return false;
    text[bank] = edit.text;
    fromText(bank, true, true, true);
    return true;
}

void BalanceSequence::tbRegdata_Deleted(int bank, const std::string& newText)
{
    if (bank < 0 || bank >= kBalanceBanks)
        return;
    text[bank] = newText;
    fromText(bank, true, true, true);
}

void BalanceSequence::cboDeviceNumber_Click(int entry, int entryCount)
{
    link_.selectDevice(static_cast<int16_t>(DeviceForComboEntry(entry, entryCount)));
    if (selectOtherDeviceLists)
        selectOtherDeviceLists(entry);
}

}  // namespace kvb
