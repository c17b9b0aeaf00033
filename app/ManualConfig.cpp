#include "app/ManualConfig.h"

#include "core/AppInfo.h"
#include "core/Hex.h"

#include <algorithm>

namespace kvb {

ManualConfigResult ManualConfigFor(const ManualConfigChoices& choices)
{
    ManualConfigResult r;
    const bool both = choices.devices == DeviceChoice::Kvb53960And53961;
    r.secondTypePresent = both;
    r.partName1 = choices.devices == DeviceChoice::Kvb71853Only ? "KVB71853" : "KVB53960";
    r.partName2 = both ? "KVB53961" : "";

    if (choices.link != LinkChoice::NonDaisyChain) {
        const auto n =
            static_cast<int16_t>(std::clamp(choices.stackSize, kMinStackSize, kMaxStackSize));
        r.daisyChain = true;
        r.pipeCommandCode = 0x16;
        r.gpioSetupByte = 8;
        r.deviceCount1 = n;
        r.deviceCount2 = both ? n : 0;
        if (choices.devices == DeviceChoice::Kvb71853Only)
            r.partName2 = "NONE";
        r.rawDeviceTypeCaptions = {r.partName1, both ? r.partName2 : std::string()};
    } else {
        r.daisyChain = false;
        r.pipeCommandCode = 0x15;
        r.gpioSetupByte = 0;
        r.deviceCount1 = 1;
        r.deviceCount2 = both ? 1 : 0;
        r.hideRawDeviceTypes = true;
    }
    return r;
}

std::string ManualConfigCaption(bool daisyChain)
{
    return std::string(daisyChain ? "KVB71853 Device: Daisy Chain "
                                  : "KVB71853 Device: Non-Daisy Chain ") +
           " Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
           "." + std::to_string(kVersionRevision);
}

std::optional<int> StackSizeFromText(const std::string& text)
{
    const DigitsRead read = ReadDigits(text, {.base = 10, .max = kMaxStackSize});
    if (read.tooLarge)
        return kMaxStackSize;  // anything above 14 is 14
    if (!read.value)
        return std::nullopt;
    return std::clamp(static_cast<int>(*read.value), kMinStackSize, kMaxStackSize);
}

}  // namespace kvb
