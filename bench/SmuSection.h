#pragma once
// The five source-measure unit panels: "Set IV" (source current, measure
// voltage) and "Set VI" (source voltage, measure current) build and send the
// unit's command string; "Sample" switches the output on and reads both
// values; the operate button toggles between operate and standby; "Clear
// VIs" resets units 2 and 1. Beside them the "Set V1 Volts" rows and twenty
// free command strings.

#include "bench/GpibSession.h"
#include "bench/Lamp.h"

#include <array>
#include <string>

namespace kvb::bench {

inline constexpr int kSmuPanels = 5;
inline constexpr int kSmuCommandStrings = 20;

struct SmuPanel {
    std::string txtVIAddress;
    std::string txtVIVSourceVolts;
    std::string txtVIILimit;
    std::string txtVIVSourceCurrent;
    std::string txtVIVLimit = "5.0";
    std::string lbVIlControlString;
    // Copy of the sent string; the box exists on panels 0 and 1 only.
    std::string TXTlbVIlControlString;
    std::string lblVIMeasureA = "-000.000 V";
    std::string lblVIMeasureB = "-000.000 mA";
    uint32_t ShpIVMode = kLampBlack;
    uint32_t ShpVIMode = kLampBlack;
    bool cmdVIOperateVisible = false;
    bool cmdVIDOMeasVisible = false;
    Picture cmdVIOperate = Picture::OutputOff;
    std::string FrVIContol;  // frame caption

    std::string SmuModeText;
    bool SmuSourcesVoltage = false;
    // The state the unit last took: operate (output on) or standby.
    bool SmuOperating = false;
    double SmuVoltage = 0.0;
    double SmuCurrent = 0.0;
};

class SmuSection {
public:
    SmuSection(GpibSession& session, EventPump& pump);

    std::array<SmuPanel, kSmuPanels> panels;
    std::array<std::string, 2> txtVI1V{"15.80", "17.200"};
    std::array<std::string, 2> txtVI1VCmd{"----", "----"};
    std::array<std::string, kSmuCommandStrings> txtVI228String;

    static bool hasCopyBox(int i) { return i == 0 || i == 1; }

    // The twenty free command strings' start-up texts.
    void fillCommandStrings();

    void cmdSetIVMODE_Click(int i);
    void cmdSetVIMODE_Click(int i);
    void cmdVIDOMeas_Click(int i);
    void cmdVIOperate_Click(int i);
    void cmdSetVI1V_Click(int i);
    void cmdSendString_Click(int k);
    // Also run when the program closes with instruments in use.
    void cmdVIsOFf_Click();

    // Splits a "<first>,<second>" reply into the two measured values:
    // the text before the comma, and the text after it without its first
    // character (the sign). Short replies leave a value empty.
    static void splitReply(const std::string& reply, std::string& first, std::string& second);

private:
    bool openPanel(int i);
    // The panel's unit, reopened when an error freed the slot of a unit
    // that was set up; otherwise the hint when it never was.
    bool reachPanel(int i);
    bool usePanel(int i);
    static void showStandby(SmuPanel& p);

    GpibSession& s_;
    EventPump& pump_;
};

}  // namespace kvb::bench
