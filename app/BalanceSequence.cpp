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

bool BalanceSequence::readBank(int d, int bank, const char* procedure)
{
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

void BalanceSequence::writeBank(const std::vector<int>& devices, int bank, const char* procedure,
                                const board::PipeLossWatch& watch)
{
    const auto v = static_cast<int16_t>(BalanceFieldValue(text[bank], BalanceField::BankHex));
    for (int d : devices) {
        // A lost board has been reported once; the next device would only
        // report it again.
        if (BalanceBoardGone(link_, watch))
            return;
        if (!SelectBalanceBank(link_, d, bank)) {
            LogNoAnswer(link_, procedure, d);
            continue;
        }
        // The bank table takes the chip's echo from the link.
        WriteBalanceReg(link_, d, StatusAddress, v);
    }
}

void BalanceSequence::cbRead_Click(int bank)
{
    const char* name = "cbRead_Click";
    RunHandler(services_.prompter, name, [&] {
        const std::vector<int> devices =
            BalanceClickTargets(link_, services_.prompter, name, false);
        if (!devices.empty())
            readBank(devices.front(), std::clamp(bank, 0, kBalanceBanks - 1), name);
    });
}

void BalanceSequence::cbWrite_Click(int bank)
{
    const char* name = "cbWrite_Click";
    RunHandler(services_.prompter, name, [&] {
        const std::vector<int> devices =
            BalanceClickTargets(link_, services_.prompter, name, modes.allDevices);
        const board::PipeLossWatch watch(link_.pipe());
        writeBank(devices, std::clamp(bank, 0, kBalanceBanks - 1), name, watch);
    });
}

void BalanceSequence::cbReadAll_Click()
{
    // The checks and the choice of device are made once for the thirteen
    // banks, so that a refusal is told once.
    const char* name = "cbReadAll_Click";
    const std::vector<int> devices = BalanceClickTargets(link_, services_.prompter, name, false);
    if (devices.empty())
        return;
    const board::PipeLossWatch watch(link_.pipe());
    for (int bank = 0; bank < kBalanceBanks && !BalanceBoardGone(link_, watch); ++bank) {
        // A bank that fails, by a communication error or an unexpected
        // failure, shows nothing; the next bank is read all the same.
        RunHandler(services_.prompter, "cbRead_Click",
                   [&] { readBank(devices.front(), bank, "cbRead_Click"); });
    }
}

void BalanceSequence::cbWriteAll_Click()
{
    const char* name = "cbWriteAll_Click";
    const std::vector<int> devices =
        BalanceClickTargets(link_, services_.prompter, name, modes.allDevices);
    if (devices.empty())
        return;
    const board::PipeLossWatch watch(link_.pipe());
    for (int bank = 0; bank < kBalanceBanks && !BalanceBoardGone(link_, watch); ++bank) {
        RunHandler(services_.prompter, "cbWrite_Click",
                   [&] { writeBank(devices, bank, "cbWrite_Click", watch); });
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
    if (bank < 0 || bank >= kBalanceBanks || !BalanceFieldKeyPress(edit, key, BalanceField::BankHex, text[bank]))
        return false;
    text[bank] = edit.text;
    fromText(bank, true, true, true);
    return true;
}

bool BalanceSequence::tbRegdata_Paste(int bank, HexEdit& edit, std::string_view pasted)
{
    if (bank < 0 || bank >= kBalanceBanks ||
        !BalanceFieldPaste(edit, pasted, BalanceField::BankHex, text[bank]))
        return false;
    text[bank] = edit.text;
    fromText(bank, true, true, true);
    return true;
}

void BalanceSequence::tbRegdata_Deleted(int bank, const std::string& newText)
{
    if (bank < 0 || bank >= kBalanceBanks || !IsBalanceFieldText(newText, BalanceField::BankHex))
        return;
    text[bank] = newText;
    fromText(bank, true, true, true);
}

void BalanceSequence::cboDeviceNumber_Click(int entry, int entryCount)
{
    link_.selectDevice(static_cast<int16_t>(DeviceForComboEntry(entry, entryCount)));
    if (deviceLists_)
        deviceLists_->selectOtherDeviceLists(entry);
}

}  // namespace kvb
