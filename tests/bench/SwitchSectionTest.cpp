#include "BenchFixture.h"

using namespace kvb;
using namespace kvb::bench;
using Strings = std::vector<std::string>;

namespace {
class Switch : public test::BenchTest {
protected:
    sim::SimSwitch& relays() { return *bus.instrument<sim::SimSwitch>(10); }
};
}  // namespace

TEST_F(Switch, InitReadsIdentityAndCardType)
{
    panel.switchUnit.cmdSWINIT_Click();
    EXPECT_EQ(bus.writesTo(10), (Strings{"ID?", "CTYPE 1", "CMON 1", "CRESET 1"}));
    EXPECT_EQ(panel.switchUnit.lbl3488ID, "HP3488A");
    EXPECT_EQ(panel.switchUnit.FrCrd1, "44470 10 CHANNEL RELAY MUX");
}

TEST_F(Switch, SelectorsOpenTheOthersBeforeClosingTheChosenChannel)
{
    panel.switchUnit.cmdSWINIT_Click();
    bus.writes.clear();
    panel.switchUnit.OptS1A_Click(2);
    EXPECT_EQ(bus.writesTo(10), (Strings{"OPEN 100", "OPEN 101", "OPEN 103", "CLOSE 102"}));
    panel.switchUnit.OptS1B_Click(0);
    EXPECT_EQ(relays().closedChannels, (std::set<int>{102, 110}));
    panel.switchUnit.OptS1A_Click(kSelectorClear);
    EXPECT_EQ(relays().closedChannels, (std::set<int>{110}));
}

TEST_F(Switch, FailedOpenSurfacesAtTheClearAndTheSelectorsWaitForInit)
{
    panel.switchUnit.OptS1A_Click(1);
    EXPECT_EQ(t.prompter.texts(),
              Strings{"The 3488 switch has not been initialized.\nClick on INIT first."});
    bus.faults.failNextCalls = 1;
    panel.switchUnit.cmdSWINIT_Click();
    EXPECT_EQ(t.prompter.texts().back(),
              "Unable to clear device HP3488 SWITCH BOX\nibsta = &H8000\niberr = 0 <EDVR>");
    panel.switchUnit.cmdSWINIT_Click();
    EXPECT_EQ(panel.switchUnit.lbl3488ID, "HP3488A");
}

TEST_F(Switch, TogglesFlipFlagPictureAndRelayBitPerPanel)
{
    SwitchSection& sw = panel.switchUnit;
    sw.toggleLink(Lead::DvmMinus, Node::PL);
    EXPECT_TRUE(sw.DvmMinusLinks[0][3]);
    EXPECT_EQ(sw.linkPicture(Lead::DvmMinus, Node::PL), Picture::RelayLinked);
    EXPECT_EQ(sw.DvmMinusRelayMask, 0);
    sw.toggleLink(Lead::DvmMinus, Node::PL);
    EXPECT_FALSE(sw.DvmMinusLinks[0][3]);
    EXPECT_EQ(sw.linkPicture(Lead::DvmMinus, Node::PL), Picture::RelayOpen);
    EXPECT_EQ(sw.DvmMinusRelayMask, 1);

    sw.toggleLink(Lead::SmuPlus, Node::VB, 2);
    sw.toggleLink(Lead::SmuPlus, Node::VB, 2);
    sw.toggleLink(Lead::SmuPlus, Node::VH, 3);
    sw.toggleLink(Lead::SmuPlus, Node::VH, 3);
    EXPECT_EQ(sw.SmuPlusRelayMask[2], 8);
    EXPECT_EQ(sw.SmuPlusRelayMask[3], 2);
    EXPECT_EQ(sw.SmuPlusRelayMask[1], 0);
    EXPECT_EQ(sw.SmuMinusRelayMask[2], 0);
    EXPECT_TRUE(bus.writes.empty());
}
