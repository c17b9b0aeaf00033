#pragma once
// Keeps the main window's device selectors in step: the two device menus
// (16 items per device type), and on a daisy chain the device-number combos
// of the main window and both balance dialogs.

#include <array>
#include <string>
#include <vector>

namespace kvb {

struct DeviceMenuItem {
    bool checked = false;
    bool enabled = false;
};

struct DeviceMenuState {
    // items[type][device]
    std::array<std::array<DeviceMenuItem, 16>, 2> items{};
    // True on a daisy chain: the three combos are emptied and refilled with
    // comboEntries; comboSelection is the entry to select (-1: none).
    bool rebuildCombos = false;
    std::vector<std::string> comboEntries;
    int comboSelection = -1;
    // The selected device after the refresh: a device above the selected
    // type's count is moved to that type's highest device, so the combos
    // always show the device that commands address.
    int selectedDevice = 1;
};

struct DeviceSelection {
    int selectedType = 0;
    int selectedDevice = 1;
    int deviceCount1 = 0;
    int deviceCount2 = 0;
    bool daisyChain = false;
};

DeviceMenuState RefreshDeviceMenu(const DeviceSelection& selection);

// The device a combo entry stands for: the last entry is device 15, every
// other entry k is device k.
int DeviceForComboEntry(int entry, int entryCount);

}  // namespace kvb
