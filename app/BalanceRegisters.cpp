#include "app/BalanceRegisters.h"

#include "app/BalanceAccess.h"
#include "app/DeviceMenu.h"
#include "core/AppInfo.h"
#include "core/UnexpectedError.h"

#include <algorithm>
#include <cmath>

namespace kvb {

namespace {

uint8_t addressOf(int reg)
{
    return static_cast<uint8_t>(reg & 63);
}

}  // namespace

BalanceRegisters::BalanceRegisters(link::ChipLink& link, Services& services)
    : link_(link), services_(services)
{
    hexText.fill("0000000");
    decText.fill("000000000");
}

std::string BalanceRegisters::windowCaption() const
{
    return link_.PartName1 + " Balance Value Registers";
}

std::string BalanceRegisters::titleCaption() const
{
    return link_.PartName1 + " Bal. Value Configuration Tool";
}

unsigned BalanceRegisters::hexValue(int cell) const
{
    return BalanceFieldValue(hexText[cell], BalanceField::ValueHex) & kMaxBalanceValue;
}

void BalanceRegisters::update(int cell, From from)
{
    if (from == From::Dec) {
        const unsigned v = std::min(BalanceFieldValue(decText[cell], BalanceField::ValueDec),
                                    kMaxBalanceValue);
        hexText[cell] = link::HexPadded(v, 7);
    }
    const unsigned value = hexValue(cell);
    if (from != From::Dec)
        decText[cell] = DecPadded(value, 9);
    if (from != From::Chip) {
        const int d = BalanceViewDevice(link_);
        link_.image.at(0, d, BalanceValueLow(cell)) = BalanceValueLowPart(value);
        link_.image.at(0, d, BalanceValueHigh(cell)) = BalanceValueHighPart(value);
        typed_[static_cast<size_t>(d)].set(static_cast<size_t>(cell));
    }
    if (from != From::UpDown)
        upDown[cell] = static_cast<int>(value);
}

void BalanceRegisters::showValue(int cell, unsigned value)
{
    hexText[cell] = link::HexPadded(value, 7);
    update(cell, From::Chip);
}

void BalanceRegisters::Form_Activate()
{
    const int d = BalanceViewDevice(link_);
    activatedDevice_ = d;
    for (int i = 0; i < kBalanceCells; ++i)
        showValue(i, JoinBalanceValue(link_.image.at(0, d, BalanceValueLow(i)),
                                      link_.image.at(0, d, BalanceValueHigh(i))));
}

bool BalanceRegisters::readCell(int d, int cell)
{
    if (!ReadBalanceReg(link_, d, addressOf(BalanceValueLow(cell))) ||
        !ReadBalanceReg(link_, d, addressOf(BalanceValueHigh(cell)))) {
        link_.log.AddToEvbLog("cbRead_Click: " + link_.PartName1 + " device " + std::to_string(d) +
                              " did not answer.");
        return false;
    }
    showValue(cell, JoinBalanceValue(link_.image.at(0, d, BalanceValueLow(cell)),
                                     link_.image.at(0, d, BalanceValueHigh(cell))));
    return true;
}

bool BalanceRegisters::writable(int d, int cell) const
{
    return d == activatedDevice_ ||
           typed_[static_cast<size_t>(d)].test(static_cast<size_t>(cell)) ||
           (link_.image.known(0, d, BalanceValueLow(cell)) &&
            link_.image.known(0, d, BalanceValueHigh(cell)));
}

void BalanceRegisters::writeCell(const std::vector<int>& devices, int cell,
                                 const board::PipeLossWatch& watch, std::set<int>& leftOut)
{
    // Each addressed device receives its own image: edits reach only the
    // selected device, the others get what was read from them or loaded
    // for them from a configuration file. A value the user neither saw nor
    // typed for a device, and the program never had from it, is not sent:
    // it would overwrite the chip's own value with whatever the image
    // happens to hold. That includes the selected device when the list
    // moved to it while the boxes went on showing another device's values.
    const int low = BalanceValueLow(cell);
    const int high = BalanceValueHigh(cell);
    for (int d : devices) {
        if (BalanceBoardGone(link_, watch))
            return;
        if (!writable(d, cell)) {
            leftOut.insert(d);
            continue;
        }
        WriteBalanceReg(link_, d, addressOf(low), link_.image.at(0, d, low));
        if (BalanceBoardGone(link_, watch))
            return;
        WriteBalanceReg(link_, d, addressOf(high), link_.image.at(0, d, high));
    }
}

void BalanceRegisters::tellLeftOut(const std::set<int>& leftOut, const std::string& procedure)
{
    if (leftOut.empty())
        return;
    std::string list;
    for (int d : leftOut)
        list += (list.empty() ? "" : ", ") + std::to_string(d);
    const std::string text = "Balance values never read or loaded were not written to " +
                             link_.PartName1 + (leftOut.size() == 1 ? " device " : " devices ") +
                             list + ".";
    services_.prompter.tell(text, kProgramTitle);
    link_.log.AddToEvbLog(procedure + ": " + text);
}

void BalanceRegisters::cbRead_Click(int cell)
{
    const char* name = "cbRead_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!valid(cell))
            return;
        const std::vector<int> devices =
            BalanceClickTargets(link_, services_.prompter, name, false);
        if (!devices.empty())
            readCell(devices.front(), cell);
    });
}

void BalanceRegisters::cbWrite_Click(int cell)
{
    const char* name = "cbWrite_Click";
    RunHandler(services_.prompter, name, [&] {
        if (!valid(cell))
            return;
        const std::vector<int> devices =
            BalanceClickTargets(link_, services_.prompter, name, modes.allDevices);
        const board::PipeLossWatch watch(link_.pipe());
        std::set<int> leftOut;
        writeCell(devices, cell, watch, leftOut);
        if (!BalanceBoardGone(link_, watch))
            tellLeftOut(leftOut, name);
    });
}

void BalanceRegisters::cbReadAll_Click()
{
    // The checks and the choice of device are made once for the twelve
    // cells, so that a refusal is told once.
    const char* name = "cbReadAll_Click";
    const std::vector<int> devices = BalanceClickTargets(link_, services_.prompter, name, false);
    if (devices.empty())
        return;
    const board::PipeLossWatch watch(link_.pipe());
    for (int cell = 0; cell < kBalanceCells && !BalanceBoardGone(link_, watch); ++cell) {
        // A cell that fails shows nothing; the next cell is read all the
        // same.
        RunHandler(services_.prompter, "cbRead_Click", [&] { readCell(devices.front(), cell); });
    }
}

void BalanceRegisters::cbWriteAll_Click()
{
    const char* name = "cbWriteAll_Click";
    const std::vector<int> devices =
        BalanceClickTargets(link_, services_.prompter, name, modes.allDevices);
    if (devices.empty())
        return;
    const board::PipeLossWatch watch(link_.pipe());
    std::set<int> leftOut;
    for (int cell = 0; cell < kBalanceCells && !BalanceBoardGone(link_, watch); ++cell) {
        RunHandler(services_.prompter, "cbWrite_Click",
                   [&] { writeCell(devices, cell, watch, leftOut); });
    }
    // After a lost board the user was told to reconnect; what a write that
    // stopped there would have left out does not matter any more.
    if (!BalanceBoardGone(link_, watch))
        RunHandler(services_.prompter, name, [&] { tellLeftOut(leftOut, name); });
}

void BalanceRegisters::updnRegData_Change(int cell, int value)
{
    if (!valid(cell))
        return;
    upDown[cell] = std::clamp<int>(value, 0, static_cast<int>(kMaxBalanceValue));
    hexText[cell] = link::HexPadded(upDown[cell], 7);
    update(cell, From::UpDown);
}

bool BalanceRegisters::tbRegdataHex_KeyPress(int cell, HexEdit& edit, int key)
{
    if (!valid(cell) || !BalanceFieldKeyPress(edit, key, BalanceField::ValueHex, hexText[cell]))
        return false;
    hexText[cell] = edit.text;
    update(cell, From::Hex);
    return true;
}

bool BalanceRegisters::tbRegdataDec_KeyPress(int cell, HexEdit& edit, int key)
{
    if (!valid(cell) || !BalanceFieldKeyPress(edit, key, BalanceField::ValueDec, decText[cell]))
        return false;
    decText[cell] = edit.text;
    update(cell, From::Dec);
    return true;
}

bool BalanceRegisters::tbRegdataHex_Paste(int cell, HexEdit& edit, std::string_view pasted)
{
    if (!valid(cell) || !BalanceFieldPaste(edit, pasted, BalanceField::ValueHex, hexText[cell]))
        return false;
    hexText[cell] = edit.text;
    update(cell, From::Hex);
    return true;
}

bool BalanceRegisters::tbRegdataDec_Paste(int cell, HexEdit& edit, std::string_view pasted)
{
    if (!valid(cell) || !BalanceFieldPaste(edit, pasted, BalanceField::ValueDec, decText[cell]))
        return false;
    decText[cell] = edit.text;
    update(cell, From::Dec);
    return true;
}

void BalanceRegisters::tbRegdataHex_Deleted(int cell, const std::string& newText)
{
    if (!valid(cell) || !IsBalanceFieldText(newText, BalanceField::ValueHex))
        return;
    hexText[cell] = newText;
    update(cell, From::Hex);
}

void BalanceRegisters::tbRegdataDec_Deleted(int cell, const std::string& newText)
{
    if (!valid(cell) || !IsBalanceFieldText(newText, BalanceField::ValueDec))
        return;
    decText[cell] = newText;
    update(cell, From::Dec);
}

void BalanceRegisters::cboDeviceNumber_Click(int entry, int entryCount)
{
    link_.selectDevice(static_cast<int16_t>(DeviceForComboEntry(entry, entryCount)));
    if (deviceLists_)
        deviceLists_->selectOtherDeviceLists(entry);
}

}  // namespace kvb
