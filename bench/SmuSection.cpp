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
    p.SmuOperating = false;
    p.cmdVIOperate = Picture::OutputOff;
    if (!s_.WriteTo(s_.SmuDevice[i], p.lbVIlControlString))
        return;
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
    p.SmuOperating = false;
    p.cmdVIOperate = Picture::OutputOff;
    // The second unit is reset whichever panel is set.
    s_.WriteUnchecked(s_.SmuDevice[1], "J0X");
    s_.WriteTo(s_.SmuDevice[i], p.lbVIlControlString);
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
    if (!usePanel(i))
        return;
    p.SmuOperating = true;
    p.cmdVIOperate = Picture::OutputOn;
    pump_.yield();
    if (!s_.WriteTo(s_.SmuDevice[i], "N1H0X"))
        return;
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
    p.cmdVIOperate = Picture::OutputOff;
    p.lblVIMeasureB = "ST.BY";
    s_.WriteUnchecked(s_.SmuDevice[i], "N0H0X");
    p.SmuOperating = false;
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
        auto address = wholeNumber(p.txtVIAddress);
        if (!address || *address < 0 || *address > kMaxGpibAddress)
            continue;
        s_.SmuAddress = GpibSession::addressValue(p.txtVIAddress);
        s_.CurrentDevice = s_.gpib.GpibOpenDevice(0, s_.SmuAddress, 0, 12, 1, 0);
        p.SmuSourcesVoltage = false;
        p.ShpIVMode = p.ShpVIMode = kLampBlack;
        p.SmuOperating = false;
        p.lbVIlControlString = "J0X";
        p.cmdVIOperate = Picture::OutputOff;
        p.lblVIMeasureA = "+00.000 V";
        p.lblVIMeasureB = "STBY.  uA";
        p.cmdVIOperateVisible = p.cmdVIDOMeasVisible = false;
        s_.WriteUnchecked(s_.CurrentDevice, "J0X");
        pump_.yield();
    }
}

}  // namespace kvb::bench
