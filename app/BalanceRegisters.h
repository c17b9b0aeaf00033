#pragma once
// The balance value registers dialog's state and handlers: the twelve
// 28-bit cell balance values of a type-0 device, each kept by the chip in a
// low and a high 14-bit register and shown as 7 hexadecimal digits, 9
// decimal digits and an up-down. The hexadecimal text is the master; edits
// go to the register image of the selected device, and Write sends each
// addressed device its own image: a cell's value only when it was read from
// that device or loaded for it, typed for it, or shown for it when the
// dialog was last activated.

#include "app/BalanceFieldEditor.h"
#include "app/BalanceSequence.h"
#include "board/ChipPipe.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kvb {

// The two registers of cell i's balance value.
constexpr int BalanceValueLow(int cell) { return balance_reg::FirstValue + 2 * cell; }
constexpr int BalanceValueHigh(int cell) { return balance_reg::FirstValue + 2 * cell + 1; }
// value = high * 16384 + low, and back.
constexpr unsigned JoinBalanceValue(int16_t low, int16_t high)
{
    return (static_cast<unsigned>(high) & 0x3FFF) * 16384u + (static_cast<unsigned>(low) & 0x3FFF);
}
constexpr int16_t BalanceValueLowPart(unsigned value) { return static_cast<int16_t>(value & 0x3FFF); }
constexpr int16_t BalanceValueHighPart(unsigned value)
{
    return static_cast<int16_t>((value & 0xFFFC000u) / 16384u);
}

class BalanceRegisters {
public:
    BalanceRegisters(link::ChipLink& link, Services& services);

    std::array<std::string, kBalanceCells> hexText;
    std::array<std::string, kBalanceCells> decText;
    std::array<int, kBalanceCells> upDown{};
    BalanceDialogModes modes;
    // The lists a device chosen here is selected in, or none.
    void attachDeviceLists(BalanceDeviceLists* lists) { deviceLists_ = lists; }

    std::string windowCaption() const;
    std::string titleCaption() const;

    // Shows the image of the device on screen (nothing is read).
    void Form_Activate();
    void cbRead_Click(int cell);
    void cbWrite_Click(int cell);
    void cbReadAll_Click();
    void cbWriteAll_Click();
    void updnRegData_Change(int cell, int value);
    bool tbRegdataHex_KeyPress(int cell, HexEdit& edit, int key);
    bool tbRegdataDec_KeyPress(int cell, HexEdit& edit, int key);
    // Pasted or input-method text, typed key by key; false when refused.
    bool tbRegdataHex_Paste(int cell, HexEdit& edit, std::string_view pasted);
    bool tbRegdataDec_Paste(int cell, HexEdit& edit, std::string_view pasted);
    // The box deleted text by itself: its new text. A text the box could not
    // hold is refused and the cell keeps its value.
    void tbRegdataHex_Deleted(int cell, const std::string& newText);
    void tbRegdataDec_Deleted(int cell, const std::string& newText);
    void cboDeviceNumber_Click(int entry, int entryCount);

private:
    unsigned hexValue(int cell) const;
    void showValue(int cell, unsigned value);
    // Source of a change: the hexadecimal box, the decimal box, the
    // up-down, or the chip.
    enum class From { Hex, Dec, UpDown, Chip };
    void update(int cell, From from);
    // One cell of device `d` into the dialog; false when the device did not
    // answer.
    bool readCell(int d, int cell);
    // Whether the program may send device `d` its image of the cell: the
    // value came from the chip or a file, was typed for the device, or the
    // device's image was on screen at the last activation.
    bool writable(int d, int cell) const;
    // The cell's value to each device, until the board is lost; a device
    // whose value is not writable is added to `leftOut` instead.
    void writeCell(const std::vector<int>& devices, int cell, const board::PipeLossWatch& watch,
                   std::set<int>& leftOut);
    // Tells once which devices a write left out.
    void tellLeftOut(const std::set<int>& leftOut, const std::string& procedure);
    bool valid(int cell) const { return cell >= 0 && cell < kBalanceCells; }

    link::ChipLink& link_;
    Services& services_;
    BalanceDeviceLists* deviceLists_ = nullptr;
    // The device whose image the last activation showed, or none.
    int activatedDevice_ = -1;
    // Per device, the cells whose image an edit set.
    std::array<std::bitset<kBalanceCells>, link::kDevices> typed_{};
};

}  // namespace kvb
