#include "bench/SupplySection.h"

namespace kvb::bench {

void SupplySection::cmdInitAuxPS_Click()
{
    if (!s_.openSection(txtAuxPSAdr, s_.SupplyAddress, s_.SupplyDevice[0],
                        "Unable to open E3631 device"))
        return;
    if (!s_.Clear("Unable to clear device E3631"))
        return;
    std::string reply;
    if (!s_.Write(txtAuxPSInit) || !s_.ReadReply(s_.CurrentDevice, 1, reply))
        return;
    ReadingsListAuxPS.push_back(reply);
}

bool SupplySection::useSupply()
{
    if (!s_.requireOpen(s_.SupplyDevice[0],
                        "The E3631 supply has not been initialized.\n"
                        "Click on Send Init Command first."))
        return false;
    s_.CurrentDevice = s_.SupplyDevice[0];
    return true;
}

bool SupplySection::measure()
{
    std::string reply;
    if (!s_.Write(txtAuxPSCommand[2]) || !s_.ReadReply(s_.CurrentDevice, 1, reply))
        return false;
    ReadingsListAuxPS_2.push_back(reply);
    return true;
}

void SupplySection::cmdSendAuxPSCommand_Click()
{
    if (!useSupply() || !s_.Write(txtAuxPSCommand[0]) || !s_.Write(txtAuxPSCommand[1]))
        return;
    measure();
}

void SupplySection::cmdClearRdgAuxPS_Click()
{
    if (!useSupply() || !s_.Write(txtAuxPSCommand[3]))
        return;
    for (int i = 0; i < 3; ++i)
        if (!measure())
            return;
}

void SupplySection::cmdAuxPSRdOnly_Click()
{
    if (!useSupply())
        return;
    std::string reply;
    if (!s_.ReadReply(s_.CurrentDevice, 1, reply))
        return;
    lblLastReadingAuxPS = reply;
    ReadingsListAuxPS_2.push_back(reply);
}

}  // namespace kvb::bench
