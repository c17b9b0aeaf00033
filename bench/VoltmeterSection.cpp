#include "bench/VoltmeterSection.h"

#include "bench/NumberText.h"
#include "core/AppInfo.h"

#include <cmath>

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
    if (!s_.openSection(p.txtDVMAddress, p.frDVMSet, s_.DvmAddress, s_.DvmDevice[i],
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

double VoltmeterSection::replyValue(const std::string& reply)
{
    size_t e = reply.find('E');
    if (e == std::string::npos)
        return numericValue(reply);
    return numericValue(reply.substr(0, e)) * std::pow(10.0, numericValue(reply.substr(e + 1)));
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
    p.DvmReading = replyValue(reply);
    p.lblDVMReading = formatPattern(p.DvmReading, "#,###,###.000######") + p.DvmModeText;
}

}  // namespace kvb::bench
