#pragma once
// The manual link configuration ("BMS Configuration"): how the evaluation
// board is wired (daisy chain or single device, stack size, the chip variants
// fitted) and what accepting it sets. The main window copies the result into
// the link state, rebuilds its register tabs, sets its caption and connects.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kvb {

// The link option chosen; neither is chosen when the dialog first opens, and
// anything but "Non-Daisy Chain" counts as a daisy chain.
enum class LinkChoice { None, NonDaisyChain, DaisyChain };

// The device option, in the dialog's order.
enum class DeviceChoice : int { Kvb71853Only = 0, Kvb53960Only = 1, Kvb53960And53961 = 2 };

constexpr int kMinStackSize = 1;
constexpr int kMaxStackSize = 14;

struct ManualConfigChoices {
    LinkChoice link = LinkChoice::None;
    DeviceChoice devices = DeviceChoice::Kvb53960Only;
    int stackSize = 1;  // daisy-chain stack size, 1..14
};

// What OK sets from the choices.
struct ManualConfigResult {
    bool daisyChain = false;         // ManualDaisyChain
    int16_t deviceCount1 = 0;        // ManualDeviceCount1
    int16_t deviceCount2 = 0;        // ManualDeviceCount2
    bool secondTypePresent = false;  // SecondTypePresent
    std::string partName1;           // PartName1
    std::string partName2;           // PartName2 ("NONE" hides the type-1 controls)
    uint8_t pipeCommandCode = 0x15;  // PipeCommandCode: 0x16 daisy chain, 0x15 single device
    uint8_t gpioSetupByte = 0;       // GpioSetupByte and ModeByte: 8 daisy chain, 0 single
    // The raw message sender's device-type options optRawDevicetype(0..1):
    // a daisy chain relabels them (their visibility unchanged), a single
    // device hides them.
    bool hideRawDeviceTypes = false;
    std::array<std::string, 2> rawDeviceTypeCaptions;
};

ManualConfigResult ManualConfigFor(const ManualConfigChoices& choices);

// The stack size typed into the box: a number outside 1..14 stands for the
// nearer end; an empty box (or anything but digits) stands for none yet.
std::optional<int> StackSizeFromText(const std::string& text);

// The main window's caption after OK, e.g.
// "KVB71853 Device: Daisy Chain  Version 1.0.0".
std::string ManualConfigCaption(bool daisyChain);

// The dialog's state for the whole run.
struct ManualConfig {
    bool done = false;      // ManualConfigDone: a configuration has been accepted
    bool accepted = false;  // ManualConfigAccepted: the last showing ended with OK
    ManualConfigResult result;  // the last accepted configuration

    void accept(const ManualConfigChoices& choices)
    {
        accepted = true;
        result = ManualConfigFor(choices);
        done = true;
    }
    void cancel() { accepted = false; }
    // The steps after OK failed: Connect shows the dialog again.
    void failed() { done = false; }
};

}  // namespace kvb
