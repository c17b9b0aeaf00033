#include "app/DeviceMenu.h"

#include "link/RegisterModel.h"

namespace kvb {

namespace {

// On a daisy chain: the combo entries for the selected type and the entry
// to select, with the selected device lowered to the type's count when it
// lies above it.
void fillCombos(const DeviceSelection& s, int n, DeviceMenuState& state)
{
    state.rebuildCombos = true;
    if (n <= 0)
        return;
    for (int k = 0; k <= n; ++k)
        state.comboEntries.push_back("Device " + std::to_string(k));
    state.comboEntries.push_back("Device 15");

    if (s.selectedDevice >= 15) {
        state.comboSelection = static_cast<int>(state.comboEntries.size()) - 1;
    } else if (s.selectedDevice > n) {
        state.selectedDevice = n;
        state.comboSelection = n;
    } else {
        state.comboSelection = s.selectedDevice < 0 ? 0 : s.selectedDevice;
        state.selectedDevice = state.comboSelection;
    }
}

}  // namespace

DeviceMenuState RefreshDeviceMenu(const DeviceSelection& s)
{
    DeviceMenuState state;
    state.selectedDevice = s.selectedDevice;
    const int counts[2] = {s.deviceCount1, s.deviceCount2};
    if (s.daisyChain)
        fillCombos(s, counts[link::TypeIndex(s.selectedType)], state);

    // The check mark follows the device the refresh leaves selected.
    for (int type = 0; type < 2; ++type) {
        for (int i = 0; i < 16; ++i) {
            DeviceMenuItem& item = state.items[type][i];
            item.checked = s.selectedType == type && state.selectedDevice == i;
            item.enabled = counts[type] != 0 && (i <= counts[type] || i == 15);
        }
    }
    if (!s.daisyChain) {
        for (auto& menu : state.items) {
            menu[0].enabled = false;
            menu[15].enabled = false;
        }
    }
    return state;
}

int DeviceForComboEntry(int entry, int entryCount)
{
    return entry == entryCount - 1 ? 15 : entry;
}

}  // namespace kvb
