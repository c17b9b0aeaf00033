#pragma once
// What the MAIN and MONITOR pages show, worked out from the register image:
// lamp colours, value texts, the balance settings and the per-cell balance
// buttons. Nothing here sends anything to the chips; every call repaints the
// whole page from the image as it is now.

#include "link/StatusLamps.h"
#include "link/ChipLink.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvb {

constexpr int kCells = 12;
constexpr int kWireInputs = 13;    // VC0 .. VC12
constexpr int kStackDevices = 14;
constexpr int kMonitorFrames = 4;  // devices 1 .. 4

// Register numbers the pages read.
namespace page_reg {
constexpr int Vbat = 64;
constexpr int FirstCell = 65;
constexpr int ICTemp = 80;
constexpr int FirstET = 81;
constexpr int OverVoltage = 128;
constexpr int UnderVoltage = 129;
constexpr int OpenWire = 130;
constexpr int FaultStatus = 132;
constexpr int CellSetup = 133;
constexpr int OVLimit = 144;
constexpr int UVLimit = 145;
constexpr int BalanceSetup = 147;
constexpr int BalanceStatus = 148;
constexpr int BalanceTime = 149;
constexpr int ITLimit = 154;
}  // namespace page_reg

// Fault status bits shown on their own.
constexpr int kVbatOpenWireBit = 8;
constexpr int kVssOpenWireBit = 9;

// The conversions of register values into volts and degrees the pages show.
// The program converts with the data module's (ProgramConversions); a test
// may hand in plain scales.
class PageConversions {
public:
    virtual double cellVolts(int16_t raw, const link::RegisterDefinitions& defs) const = 0;
    virtual double packVolts(int16_t raw, const link::RegisterDefinitions& defs) const = 0;
    virtual double icTempDegC(int16_t raw, const link::RegisterDefinitions& defs) const = 0;
    virtual double etVolts(int16_t raw, const link::RegisterDefinitions& defs) const = 0;

protected:
    ~PageConversions() = default;
};

// The data module's RegToCellVolts, RegToPackVolts, RegToICTempDegC and
// RegToETVolts.
class ProgramConversions final : public PageConversions {
public:
    double cellVolts(int16_t raw, const link::RegisterDefinitions& defs) const override;
    double packVolts(int16_t raw, const link::RegisterDefinitions& defs) const override;
    double icTempDegC(int16_t raw, const link::RegisterDefinitions& defs) const override;
    double etVolts(int16_t raw, const link::RegisterDefinitions& defs) const override;
};

// State the pages share with the main window's balance handlers.
struct StatusPageState {
    explicit StatusPageState(const PageConversions& pageConversions) : conversions(pageConversions) {}
    // Set while a balance handler changes several devices: the MAIN page
    // then leaves the balance settings and buttons alone.
    bool BalanceComboSync = false;
    const PageConversions& conversions;
};

// Number texts: "###0.0000" for volts and limits, "###0.0" for degrees.
std::string FormatVolts(double value);
std::string FormatDegrees(double value);

// The balance settings a device's registers hold, as list positions of the
// balance combo boxes.
struct BalanceSettings {
    int mode = 0;     // Balance Setup bits 0-1
    int timeout = 0;  // Watchdog and Balance Time bits 7-13
    int wait = 0;     // Balance Setup bits 2-4
    bool enabled = false;  // Balance Setup bit 9
};
BalanceSettings DecodeBalanceSettings(int16_t balanceSetup, int16_t balanceTime);

// The twelve per-cell balance buttons: shown in the manual and timed modes;
// "On" for each set bit of the balance status register.
struct BalanceButtons {
    bool shown = false;
    std::array<bool, kCells> on{};
};
BalanceButtons BalanceButtonsFromImage(const link::ChipLink& link);

struct MainPageContent {
    // Index 0..11 type 0, 12..23 type 1.
    std::array<int, 2 * kCells> cellSetup{};
    std::array<int, 2 * kCells> cellOV{};
    std::array<int, 2 * kCells> cellUV{};
    std::array<int, kWireInputs> cellOW{};
    int vbatOW = kLampGrey;
    int vssOW = kLampGrey;
    std::array<std::string, kCells> cellVoltage;
    std::string vbatVoltage;
    std::array<std::string, 5> temperatures;  // IC degrees, ET1..ET4 volts
    std::string ovLimit, uvLimit, itLimit;
    BalanceSettings balance;
    // Index 0..13 type-0 devices 1..14, 14..27 type-1 devices 1..14.
    std::array<int, 2 * kStackDevices> devicePres{};
    std::array<int, 2 * kStackDevices> deviceFault{};
    std::array<std::string, kStackDevices> deviceVbat;
    std::string stackVoltage;
};
// The MAIN page of the selected device.
MainPageContent MainPageFromImage(const link::ChipLink& link, const PageConversions& convert);

struct MonitorPageContent {
    std::array<bool, kMonitorFrames> frameShown{};
    std::array<std::string, kMonitorFrames * kCells> cellVoltage;
    std::array<std::string, kMonitorFrames> vbatVoltage;
    // Index 12 f + cell; per device type.
    std::array<std::array<int, kMonitorFrames * kCells>, 2> cellOV{};
    std::array<std::array<int, kMonitorFrames * kCells>, 2> cellUV{};
    std::array<int, kMonitorFrames * kWireInputs> cellOW{};  // 13 f + input
    std::array<int, kMonitorFrames> vbatOW{};
    std::array<int, kMonitorFrames> vssOW{};
};
// The MONITOR page: devices 1 to 4 side by side.
MonitorPageContent MonitorPageFromImage(const link::ChipLink& link,
                                        const PageConversions& convert);

}  // namespace kvb
