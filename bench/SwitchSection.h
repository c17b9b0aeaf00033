#pragma once
// The switch unit section: init (identity, card type, card monitor and
// reset), two one-of-four channel selectors that act as soon as an option is
// chosen, and sixteen connection toggles that record which measurement node
// each voltmeter and source-measure unit lead is linked to.

#include "bench/GpibSession.h"
#include "bench/Lamp.h"
#include "bench/SmuSection.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvb::bench {

// Measurement nodes of the toggles, by flag index.
enum class Node { VB = 0, VL = 1, VH = 2, PL = 3 };
// The relay bit of each node.
uint8_t relayBit(Node node);

enum class Lead { DvmPlus, DvmMinus, SmuPlus, SmuMinus };

inline constexpr int kLinkPanels = 11;
inline constexpr int kLinkNodes = 5;
using LinkFlags = std::array<std::array<bool, kLinkNodes>, kLinkPanels>;

// The option of a selector that opens every channel.
inline constexpr int kSelectorClear = 4;

class SwitchSection {
public:
    explicit SwitchSection(GpibSession& session) : s_(session) {}

    std::string txtSWRADR = "10";
    std::string txtHP3488Initcmd = "ID?";
    std::string lbl3488ID = "---";
    std::string FrCrd1 = "Card1";
    // Selected option of each selector, -1 while none is.
    int OptS1A = -1;
    int OptS1B = -1;
    // Channel numbers shown for the operator only.
    std::string txtDVMChanPlus = "120";
    std::string txtDVMChanMinus = "119";
    std::array<std::string, kSmuPanels> txtVIChanPlus{"118", "116", "114", "", ""};
    std::array<std::string, kSmuPanels> txtviChanMinus{"117", "115", "113", "", ""};

    LinkFlags DvmPlusLinks{};
    LinkFlags DvmMinusLinks{};
    LinkFlags SmuPlusLinks{};
    LinkFlags SmuMinusLinks{};
    uint8_t DvmPlusRelayMask = 0;
    uint8_t DvmMinusRelayMask = 0;
    std::array<uint8_t, kSmuPanels> SmuPlusRelayMask{};
    std::array<uint8_t, kSmuPanels> SmuMinusRelayMask{};

    void cmdSWINIT_Click();
    // 0: selector A (channels 100 to 103), 1: selector B (110 to 113).
    void cmdSWUpdate_Click(int k);
    void OptS1A_Click(int option);
    void OptS1B_Click(int option);

    // One connection toggle: the voltmeter leads always use panel 0, the
    // unit leads the panel of the button pressed.
    void toggleLink(Lead lead, Node node, int panel = 0);
    bool linked(Lead lead, Node node, int panel = 0) const;
    // The picture the toggle shows.
    Picture linkPicture(Lead lead, Node node, int panel = 0) const;

private:
    bool& flag(Lead lead, Node node, int panel);
    uint8_t& mask(Lead lead, int panel);

    GpibSession& s_;
};

}  // namespace kvb::bench
