#pragma once
// The balance sequence dialog's state and handlers: the thirteen balance
// status banks of a type-0 device, each a 12-bit pattern with one bit per
// cell, shown as four hexadecimal digits, an up-down and twelve bit
// buttons. The chip reaches a bank only through the bank pointer of the
// balance setup register, so every bank read or write first points the
// setup register at the bank.

#include "app/BalanceFieldEditor.h"
#include "board/ChipPipe.h"
#include "core/Services.h"
#include "link/BalanceStatus.h"
#include "link/ChipLink.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvb {

// Device list and write mode that both balance dialogs share.
struct BalanceDialogModes {
    bool allDevices = false;  // optMode(1) chosen: writes go to every type-0 device
    // Read buttons and the device list are shown only for a single device.
    bool readsShown() const { return !allDevices; }
};

// The device lists a balance dialog keeps in step with its own: the main
// window's and the other balance dialog's. The window's balance controls
// attach them while they live; without them only the dialog's list moves.
class BalanceDeviceLists {
public:
    virtual ~BalanceDeviceLists() = default;
    // Selects the device-list entry in the main window and the other
    // balance dialog, without running their handlers.
    virtual void selectOtherDeviceLists(int entry) = 0;
};

class BalanceSequence {
public:
    BalanceSequence(link::ChipLink& link, BalanceStatusTable& banks, Services& services);

    // Per bank: the value box's text, the up-down's value, the bit buttons.
    std::array<std::string, kBalanceBanks> text;
    std::array<int, kBalanceBanks> upDown{};
    std::array<uint16_t, kBalanceBanks> bits{};
    BalanceDialogModes modes;
    // True while the dialog is on screen: polling stays stopped meanwhile.
    bool shown = false;
    // The lists a device chosen here is selected in, or none.
    void attachDeviceLists(BalanceDeviceLists* lists) { deviceLists_ = lists; }

    static std::string bitCaption(bool set) { return set ? "1" : "0"; }
    static int bitColour(bool set) { return set ? 0x00FF00 : 0x7F7F7F; }
    // Captions that name the part.
    std::string windowCaption() const;
    std::string titleCaption() const;

    void cbRead_Click(int bank);
    void cbWrite_Click(int bank);
    void cbReadAll_Click();
    void cbWriteAll_Click();
    void cbRegToggleBit_Click(int index);  // index = bank * 12 + bit
    void updnRegData_Change(int bank, int value);
    // A typed character; the box's text and caret are taken from and handed
    // back through `edit`. False when the key was dropped.
    bool tbRegdata_KeyPress(int bank, HexEdit& edit, int key);
    // Pasted or input-method text, typed key by key; false when refused.
    bool tbRegdata_Paste(int bank, HexEdit& edit, std::string_view pasted);
    // The box deleted text by itself (Delete key): its new text. A text the
    // box could not hold is refused and the bank keeps its value.
    void tbRegdata_Deleted(int bank, const std::string& newText);
    void cboDeviceNumber_Click(int entry, int entryCount);

private:
    // One bank of device `d` into the dialog; false when the device did
    // not answer.
    bool readBank(int d, int bank, const char* procedure);
    // The bank's shown value to each device, until the board is lost.
    void writeBank(const std::vector<int>& devices, int bank, const char* procedure,
                   const board::PipeLossWatch& watch);
    // The bank's text into its bits, the bank table and the up-down.
    void fromText(int bank, bool toBits, bool toTable, bool toUpDown);

    link::ChipLink& link_;
    BalanceStatusTable& banks_;
    Services& services_;
    BalanceDeviceLists* deviceLists_ = nullptr;
};

}  // namespace kvb
