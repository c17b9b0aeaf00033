#include "bench/SmuSection.h"

#include "bench/NumberText.h"
#include "core/AppInfo.h"

namespace kvb::bench {

SmuSection::SmuSection(GpibSession& session, EventPump& pump) : s_(session), pump_(pump)
{
    const char* addresses[] = {"14", "16", "16", "17", "18"};
    const char* sourceVolts[] = {"1.2", "12", "4.0", "4.0", "4.0"};
    const char* currentLimits[] = {"1", "100", "5", "5", "5"};
    const char* sourceCurrents[] = {"20", "2", "2", "2", "2"};
    for (int i = 0; i < kSmuPanels; ++i) {
        SmuPanel& p = panels[i];
        p.txtVIAddress = addresses[i];
        p.txtVIVSourceVolts = sourceVolts[i];
        p.txtVIILimit = currentLimits[i];
        p.txtVIVSourceCurrent = sourceCurrents[i];
        p.FrVIContol = "VI Control " + std::to_string(i + 1);
    }
}

void SmuSection::fillCommandStrings()
{
    // Voltage steps in hundredths of a volt, exact.
    auto step = [](int hundredths) {
        return "B" + formatPattern(hundredths / 100.0, "0.00") + ",3,X";
    };
    for (int k = 0; k <= 10; ++k)
        txtVI228String[k] = step(1660 - k);
    for (int k = 11; k < kSmuCommandStrings; ++k)
        txtVI228String[k] = step(1600 - (k - 11));
    txtVI228String[0] = step(1653);
    txtVI228String[1] = step(1593);
    txtVI228String[2] = step(1623);
}

bool SmuSection::openPanel(int i)
{
    return s_.openSection(panels.at(i).txtVIAddress, s_.SmuAddress, s_.SmuDevice.at(i),
                          "Unable to open VI device");
}

void SmuSection::showStandby(SmuPanel& p)
{
    p.SmuOperating = false;
    p.cmdVIOperate = Picture::OutputOff;
}

bool SmuSection::reachPanel(int i)
{
    // An instrument error freed the slot of a unit that was set up: it is
    // opened again, so that the next command reaches the unit.
    if (s_.SmuDevice.at(i) == NotOpened && panels.at(i).cmdVIOperateVisible)
        return openPanel(i);
    return usePanel(i);
}

bool SmuSection::usePanel(int i)
{
    return s_.requireOpen(s_.SmuDevice.at(i),
                          "VI has not been initialized # " + std::string(" ") +
                              std::to_string(i) +
                              "Click on Set IV or Set VI before making a measurement");
}

void SmuSection::cmdSetIVMODE_Click(int i)
{
    SmuPanel& p = panels.at(i);
    p.SmuModeText = "IV";
    if (!openPanel(i))
        return;
    p.SmuSourcesVoltage = false;
    p.ShpVIMode = p.ShpIVMode = kLampBlack;
    p.lbVIlControlString = "J0X";
    p.ShpIVMode = kLampLightRed;
    p.lbVIlControlString += "F1,0";
    p.SmuVoltage = numericValue(p.txtVIVLimit);
    p.SmuCurrent = numericValue(p.txtVIVSourceCurrent) / 1000.0;
    p.lbVIlControlString += "B" + formatPattern(p.SmuCurrent, "##.0######") + ",0,0";
    p.lbVIlControlString += "L" + formatPattern(p.SmuVoltage, "##.###") + ",0";
    p.lbVIlControlString += "P4S3G5,2,0X";
    if (hasCopyBox(i))
        p.TXTlbVIlControlString = p.lbVIlControlString;
    p.cmdVIOperateVisible = p.cmdVIDOMeasVisible = true;
    // The string starts with J0X, which puts the unit in standby: the panel
    // shows standby once the unit has taken it, not before.
    if (!s_.WriteTo(s_.SmuDevice[i], p.lbVIlControlString))
        return;
    showStandby(p);
    p.lblVIMeasureA.clear();
    p.lblVIMeasureB.clear();
}

void SmuSection::cmdSetVIMODE_Click(int i)
{
    SmuPanel& p = panels.at(i);
    p.SmuModeText = "VI";
    if (!openPanel(i))
        return;
    p.ShpVIMode = p.ShpIVMode = kLampBlack;
    p.lbVIlControlString = "J0X";
    p.SmuSourcesVoltage = true;
    p.ShpVIMode = kLampLightRed;
    p.lbVIlControlString += "F0,0";
    p.SmuCurrent = numericValue(p.txtVIILimit) / 1000.0;
    if (i == 0 || i == 1) {
        p.SmuVoltage = numericValue(p.txtVIVSourceVolts);
        p.lbVIlControlString += "L" + formatPattern(p.SmuCurrent, "##.###") +
                                (i == 0 ? ",7" : ",9");
        p.lbVIlControlString += "B" + formatPattern(p.SmuVoltage, "##.0##") +
                                (i == 0 ? ",2,0" : ",3,0");
        p.lbVIlControlString += i == 0 ? "P4S3G5,2,0X" : "T0,0,0,1P4S3G5,2,0X";
        p.TXTlbVIlControlString = p.lbVIlControlString;
    }
    p.cmdVIOperateVisible = p.cmdVIDOMeasVisible = true;
    // The second unit is reset whichever panel is set.
    s_.WriteUnchecked(s_.SmuDevice[1], "J0X");
    if (!s_.gpib.failed())
        showStandby(panels[1]);
    if (s_.WriteTo(s_.SmuDevice[i], p.lbVIlControlString))
        showStandby(p);
}

void SmuSection::splitReply(const std::string& reply, std::string& first, std::string& second)
{
    size_t comma = reply.find(',');
    if (comma == std::string::npos) {
        first = reply;
        second.clear();
        return;
    }
    first = reply.substr(0, comma);
    second = comma + 2 <= reply.size() ? reply.substr(comma + 2) : std::string{};
}

void SmuSection::cmdVIDOMeas_Click(int i)
{
    SmuPanel& p = panels.at(i);
    s_.SmuAddress = GpibSession::addressValue(p.txtVIAddress);
    if (!reachPanel(i))
        return;
    // Operate is shown once the unit has taken the command: a unit that was
    // not reached keeps showing the state it last took.
    if (!s_.WriteTo(s_.SmuDevice[i], "N1H0X"))
        return;
    p.SmuOperating = true;
    p.cmdVIOperate = Picture::OutputOn;
    pump_.yield();
    std::string firstUnit = p.SmuSourcesVoltage ? " V" : " A";
    std::string secondUnit = p.SmuSourcesVoltage ? " A" : " V";
    std::string reply;
    if (!s_.ReadReply(s_.SmuDevice[i], 2, reply))
        return;
    std::string first, second;
    splitReply(reply, first, second);
    if (reply.size() > 4)
        p.lblVIMeasureA = first + firstUnit;
    p.lblVIMeasureB = second + secondUnit;
}

void SmuSection::cmdVIOperate_Click(int i)
{
    SmuPanel& p = panels.at(i);
    s_.SmuAddress = GpibSession::addressValue(p.txtVIAddress);
    if (!p.SmuOperating) {
        cmdVIDOMeas_Click(i);
        return;
    }
    // Standby is shown only once the unit has taken it; a failure is
    // reported and the panel goes on showing operate.
    if (!reachPanel(i) || !s_.WriteTo(s_.SmuDevice[i], "N0H0X"))
        return;
    showStandby(p);
    p.lblVIMeasureB = "ST.BY";
}

void SmuSection::cmdSetVI1V_Click(int i)
{
    if (i != 0 && i != 1)
        return;
    s_.SmuAddress = GpibSession::addressValue(panels[i].txtVIAddress);
    txtVI1VCmd[i] = "B" + formatPattern(numericValue(txtVI1V[i]), "0.00") + ",3,X";
    if (!usePanel(i))
        return;
    s_.WriteTo(s_.SmuDevice[i], txtVI1VCmd[i]);
}

void SmuSection::cmdSendString_Click(int k)
{
    s_.SmuAddress = GpibSession::addressValue(panels[0].txtVIAddress);
    if (!s_.requireOpen(s_.CurrentDevice,
                        "No instrument has been addressed yet.\n"
                        "Set up an instrument before sending a command string."))
        return;
    s_.Write(txtVI228String.at(k));
}

void SmuSection::cmdVIsOFf_Click()
{
    for (int i : {1, 0}) {
        SmuPanel& p = panels[i];
        // A panel whose address box holds no number is skipped; one whose
        // number is too large for an address is refused at the open.
        if (!holdsNumber(p.txtVIAddress))
            continue;
        s_.SmuAddress = GpibSession::addressValue(p.txtVIAddress);
        // The panel's own descriptor, opened when it is not: clicks do not
        // pile up descriptors.
        int16_t ud = NotOpened;
        if (!s_.OpenIfNeeded(s_.SmuDevice[i], s_.SmuAddress, "Unable to open VI device", ud))
            continue;
        s_.CurrentDevice = ud;
        // A unit that did not take the reset goes on showing its state.
        if (s_.WriteTo(ud, "J0X")) {
            p.SmuSourcesVoltage = false;
            p.ShpIVMode = p.ShpVIMode = kLampBlack;
            showStandby(p);
            p.lbVIlControlString = "J0X";
            p.lblVIMeasureA = "+00.000 V";
            p.lblVIMeasureB = "STBY.  uA";
            p.cmdVIOperateVisible = p.cmdVIDOMeasVisible = false;
        }
        pump_.yield();
    }
}

}  // namespace kvb::bench
