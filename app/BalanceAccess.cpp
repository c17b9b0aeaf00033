#include "app/BalanceAccess.h"

#include "core/AppInfo.h"
#include "link/BalanceStatus.h"
#include "link/BoardCheck.h"

#include <algorithm>

namespace kvb {

namespace {

constexpr int kMaxChainDevices = 14;

int typeZeroDevices(const link::ChipLink& link)
{
    return std::clamp<int>(link.DeviceCount1, 0, kMaxChainDevices);
}

}  // namespace

bool BalanceDevicesOrTell(link::ChipLink& link, Prompter& prompter, const std::string& procedure)
{
    if (!EvbConnectedOrTell(link, prompter, procedure))
        return false;
    if (link.DeviceCount1 > 0)
        return true;
    prompter.tell(link.PartName1 + " not present!", kProgramTitle);
    link.log.AddToEvbLog(procedure + ": " + link.PartName1 +
                         " not present. Please check connections.");
    return false;
}

int BalanceViewDevice(const link::ChipLink& link)
{
    return link.DaisyChainMode ? std::clamp<int>(link.SelectedDevice, 0, link::kDevices - 1) : 1;
}

std::vector<int> BalanceTargetsOrTell(link::ChipLink& link, Prompter& prompter,
                                      const std::string& procedure, bool allDevices)
{
    if (!link.DaisyChainMode)
        return {1};
    const int count = typeZeroDevices(link);
    std::vector<int> devices;
    if (allDevices) {
        for (int d = 1; d <= count; ++d)
            devices.push_back(d);
        return devices;
    }
    const int selected = link.SelectedDevice;
    if (selected >= 1 && selected <= count)
        return {selected};
    prompter.tell("Select one " + link.PartName1 + " device (Device 1 to Device " +
                      std::to_string(count) + ") to change its balance settings.",
                  kProgramTitle);
    link.log.AddToEvbLog(procedure + ": device " + std::to_string(selected) +
                         " is not a chain position, nothing sent.");
    return devices;
}

std::vector<int> BalanceClickTargets(link::ChipLink& link, Prompter& prompter,
                                     const std::string& procedure, bool allDevices)
{
    if (!BalanceDevicesOrTell(link, prompter, procedure))
        return {};
    return BalanceTargetsOrTell(link, prompter, procedure, allDevices);
}

bool ReadBalanceReg(link::ChipLink& link, int device, uint8_t address)
{
    link::ChipMessage m(static_cast<uint8_t>(device), balance_reg::kPage, address, 0, 0);
    return link.ReadSingleReg(m);
}

bool WriteBalanceReg(link::ChipLink& link, int device, uint8_t address, int16_t value)
{
    link::ChipMessage m(static_cast<uint8_t>(device), balance_reg::kPage, address, value, 0);
    if (!link.WriteSingleReg(m))
        return false;
    link.image.at(0, device, link::RegisterIndex(balance_reg::kPage, address)) = value;
    return true;
}

bool SelectBalanceBank(link::ChipLink& link, int device, int bank)
{
    bank = std::clamp(bank, 0, kBalanceBanks - 1);
    return ReadModifyWrite(link, device, balance_reg::SetupAddress,
                           [bank](int16_t setup) { return BankPointerValue(setup, bank); });
}

bool BalanceBoardGone(const link::ChipLink& link, const board::PipeLossWatch& watch)
{
    return watch.lost() || !link.EvbConnected();
}

void LogNoAnswer(link::ChipLink& link, const std::string& procedure, int device)
{
    link.log.AddToEvbLog(procedure + ": " + link.PartName1 + " device " + std::to_string(device) +
                         " did not answer, nothing written.");
}

}  // namespace kvb
