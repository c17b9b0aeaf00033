#include "bench/SwitchSection.h"

namespace kvb::bench {

uint8_t relayBit(Node node)
{
    switch (node) {
    case Node::VB: return 8;
    case Node::VL: return 4;
    case Node::VH: return 2;
    case Node::PL: return 1;
    }
    return 0;
}

void SwitchSection::cmdSWINIT_Click()
{
    s_.SwitchAddress = GpibSession::addressValue(txtSWRADR);
    // No open-failure box here: a failed open surfaces at the clear.
    int16_t ud = 0;
    s_.OpenIfNeeded(s_.SwitchDevice[0], s_.SwitchAddress, "", ud);
    s_.gpib.ibsta = 0;
    s_.CurrentDevice = ud;
    if (!s_.Clear("Unable to clear device HP3488 SWITCH BOX"))
        return;
    std::string reply;
    if (!s_.Write(txtHP3488Initcmd) || !s_.ReadReply(s_.CurrentDevice, 1, reply))
        return;
    lbl3488ID = reply;
    if (!s_.Write("CTYPE 1") || !s_.ReadReply(s_.CurrentDevice, 1, reply))
        return;
    FrCrd1 = reply;
    if (!s_.Write("CMON 1"))
        return;
    s_.Write("CRESET 1");
}

void SwitchSection::cmdSWUpdate_Click(int k)
{
    if (!s_.requireOpen(s_.SwitchDevice[0],
                        "The 3488 switch has not been initialized.\nClick on INIT first."))
        return;
    s_.CurrentDevice = s_.SwitchDevice[0];
    int selected = k == 0 ? OptS1A : OptS1B;
    int base = k == 0 ? 100 : 110;
    for (int n = 0; n < 4; ++n)
        if (n != selected)
            s_.WriteUnchecked(s_.CurrentDevice, "OPEN " + std::to_string(base + n));
    if (selected >= 0 && selected < 4)
        s_.WriteUnchecked(s_.CurrentDevice, "CLOSE " + std::to_string(base + selected));
}

void SwitchSection::OptS1A_Click(int option)
{
    OptS1A = option;
    cmdSWUpdate_Click(0);
}

void SwitchSection::OptS1B_Click(int option)
{
    OptS1B = option;
    cmdSWUpdate_Click(1);
}

bool& SwitchSection::flag(Lead lead, Node node, int panel)
{
    int n = static_cast<int>(node);
    switch (lead) {
    case Lead::DvmPlus: return DvmPlusLinks[0][n];
    case Lead::DvmMinus: return DvmMinusLinks[0][n];
    case Lead::SmuPlus: return SmuPlusLinks.at(panel)[n];
    case Lead::SmuMinus: return SmuMinusLinks.at(panel)[n];
    }
    return DvmPlusLinks[0][n];
}

uint8_t& SwitchSection::mask(Lead lead, int panel)
{
    switch (lead) {
    case Lead::DvmPlus: return DvmPlusRelayMask;
    case Lead::DvmMinus: return DvmMinusRelayMask;
    case Lead::SmuPlus: return SmuPlusRelayMask.at(panel);
    case Lead::SmuMinus: return SmuMinusRelayMask.at(panel);
    }
    return DvmPlusRelayMask;
}

void SwitchSection::toggleLink(Lead lead, Node node, int panel)
{
    bool& f = flag(lead, node, panel);
    uint8_t& m = mask(lead, panel);
    f = !f;
    if (f)
        m = static_cast<uint8_t>(m & ~relayBit(node));
    else
        m = static_cast<uint8_t>(m | relayBit(node));
}

bool SwitchSection::linked(Lead lead, Node node, int panel) const
{
    return const_cast<SwitchSection*>(this)->flag(lead, node, panel);
}

Picture SwitchSection::linkPicture(Lead lead, Node node, int panel) const
{
    return linked(lead, node, panel) ? Picture::RelayLinked : Picture::RelayOpen;
}

}  // namespace kvb::bench
