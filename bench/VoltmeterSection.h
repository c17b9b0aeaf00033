#pragma once
// The nine voltmeter panels: a mode command (DC volts, AC volts or ohms with
// the panel's range and digits) and a sample that reads and shows one value.

#include "bench/GpibSession.h"
#include "bench/Lamp.h"

#include <array>
#include <string>

namespace kvb::bench {

inline constexpr int kVoltmeterPanels = 9;

enum class DvmMode { DC, AC, Ohm };

struct VoltmeterPanel {
    std::string txtDVMAddress;
    std::string txtDCRange = "A";
    std::string txtACRange = "A";
    std::string txtOhmRange = "A";
    std::string txtDCDigits = "4";
    std::string txtACDigits = "3";
    std::string txtOhmDigits = "3";
    std::string lblDVMControlString;
    std::string lblDVMReading = "------";
    uint32_t ShpDVMDCMode = kLampBlack;
    uint32_t ShpDVMACMode = kLampBlack;
    uint32_t ShpDVMOhmMode = kLampBlack;
    std::string frDVMSet;  // frame caption

    std::string DvmModeText;
    double DvmReading = 0.0;
};

class VoltmeterSection {
public:
    explicit VoltmeterSection(GpibSession& session);

    std::array<VoltmeterPanel, kVoltmeterPanels> panels;

    void cmdDVMSetDC_Click(int i) { setMode(i, DvmMode::DC); }
    void cmdDVMSetAC_Click(int i) { setMode(i, DvmMode::AC); }
    void cmdDVMSetOhm_Click(int i) { setMode(i, DvmMode::Ohm); }
    void cmdDVMGetMeas_Click(int i);

private:
    void setMode(int i, DvmMode mode);

    GpibSession& s_;
};

}  // namespace kvb::bench
