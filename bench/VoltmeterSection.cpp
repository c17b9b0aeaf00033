#include "bench/VoltmeterSection.h"

#include "bench/NumberText.h"
#include "core/AppInfo.h"

namespace kvb::bench {

VoltmeterSection::VoltmeterSection(GpibSession& session) : s_(session)
{
    for (int i = 0; i < kVoltmeterPanels; ++i) {
        panels[i].txtDVMAddress = std::to_string(28 + i);
        panels[i].frDVMSet = "VM Control " + std::to_string(i + 1);
    }
}

void VoltmeterSection::setMode(int i, DvmMode mode)
{
    VoltmeterPanel& p = panels.at(i);
    if (!s_.openSection(p.txtDVMAddress, s_.DvmAddress, s_.DvmDevice[i],
                        "Unable to open dvm device"))
        return;
    p.ShpDVMDCMode = p.ShpDVMACMode = p.ShpDVMOhmMode = kLampBlack;
    switch (mode) {
    case DvmMode::DC:
        p.lblDVMControlString = "F1T1R" + p.txtDCRange + "N" + p.txtDCDigits;
        p.ShpDVMDCMode = kLampLightRed;
        p.DvmModeText = " DCV";
        break;
    case DvmMode::AC:
        p.lblDVMControlString = "F2T1R" + p.txtACRange + "N" + p.txtACDigits;
        p.ShpDVMACMode = kLampLightRed;
        p.DvmModeText = " ACV";
        break;
    case DvmMode::Ohm:
        p.lblDVMControlString = "F3T1R" + p.txtOhmRange + "N" + p.txtOhmDigits;
        p.ShpDVMOhmMode = kLampLightRed;
        p.DvmModeText = " Ohms";
        break;
    }
    if (!s_.Write(p.lblDVMControlString))
        return;
    p.lblDVMReading.clear();
}

void VoltmeterSection::cmdDVMGetMeas_Click(int i)
{
    VoltmeterPanel& p = panels.at(i);
    s_.DvmAddress = GpibSession::addressValue(p.txtDVMAddress);
    if (s_.DvmDevice[i] == NotOpened) {
        s_.services.prompter.tell("DVM has not been initialized # " + std::string(" ") +
                                      std::to_string(i) +
                                      "Click on set Mode before making a measurement",
                                  kProgramTitle);
        return;
    }
    std::string reply;
    if (!s_.ReadReply(s_.DvmDevice[i], 2, reply))
        return;
    // A reply that is not one whole number ("ERROR", "OVLD", nothing, a
    // number out of range) is no reading: the user is told, the panel keeps
    // its last reading and the voltmeter stays on line.
    const std::optional<double> reading = s_.readingOf(reply);
    if (!reading) {
        s_.replyNotAReading("voltmeter of " + p.frDVMSet, reply);
        return;
    }
    p.DvmReading = *reading;
    p.lblDVMReading = formatPattern(p.DvmReading, "#,###,###.000######") + p.DvmModeText;
}

}  // namespace kvb::bench
