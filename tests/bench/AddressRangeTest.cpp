// Address boxes whose number does not fit a 16-bit integer: such a number is
// no address, and the open is refused as the driver refuses an address above
// 30, never turned into a device at address 0.

#include "BenchFixture.h"

#include <optional>

using namespace kvb;
using namespace kvb::bench;
using Strings = std::vector<std::string>;

namespace {

class AddressRange : public test::BenchTest {};

const std::string kDvmRefused = "Unable to open dvm device\nibsta = &H\n8000iberr = 4";
const std::string kViRefused = "Unable to open VI device\nibsta = &H\n8000iberr = 4";

}  // namespace

TEST(AddressBox, TheLeadingNumberRoundedInto16BitsOrNothingWhenTooLarge)
{
    const struct {
        const char* box;
        std::optional<int16_t> address;
    } cases[] = {
        {"32767", 32767},
        {"32768", std::nullopt},
        {"-32768", -32768},
        {"-32769", std::nullopt},
        {"32767.4", 32767},
        {"32767.5", std::nullopt},
        {"-32768.4", -32768},
        {"-32768.5", std::nullopt},
        {"40000", std::nullopt},
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
        {"1e-400", 0},
        {"", 0},
        {"abc", 0},
        {"  12 (bay)", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GpibSession::addressValue(c.box), c.address) << '"' << c.box << '"';
}

TEST_F(AddressRange, ATooLargeAddressIsRefusedWithTheOpenFailureBox)
{
    // The supply, the counter, a voltmeter and a unit, each with a number
    // past 16 bits: the box names the refused argument, and nothing is sent,
    // cleared or taken off line anywhere (address 0 included).
    panel.supply.txtAuxPSAdr = "40000";
    panel.supply.cmdInitAuxPS_Click();
    panel.counter.txtAdr53131 = "1e400";
    panel.counter.cmd53141Init_Click();
    panel.voltmeters.panels[0].txtDVMAddress = "-32769";
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.smus.panels[0].txtVIAddress = "32768";
    panel.smus.cmdSetVIMODE_Click(0);
    EXPECT_EQ(t.prompter.texts(), (Strings{"Unable to open E3631 device\nibsta = &H\n8000iberr = 4",
                                           "Unable to open 53131 device\nibsta = &H\n8000iberr = 4",
                                           kDvmRefused, kViRefused}));
    EXPECT_TRUE(bus.writes.empty());
    EXPECT_TRUE(bus.clears.empty());
    EXPECT_TRUE(bus.offline.empty());
    EXPECT_EQ(bus.openDevices(), 0);
    EXPECT_EQ(session.SupplyDevice[0], NotOpened);
    EXPECT_EQ(session.DvmDevice[0], NotOpened);
    EXPECT_EQ(panel.voltmeters.panels[0].lblDVMControlString, "");

    // The largest 16-bit address goes on to the driver, which refuses it the
    // same way; once the box is mended the voltmeter opens.
    t.prompter.asked.clear();
    const int opens = bus.opens;
    panel.voltmeters.panels[0].txtDVMAddress = "32767";
    panel.voltmeters.cmdDVMSetDC_Click(0);
    EXPECT_EQ(bus.opens, opens + 1);
    panel.voltmeters.panels[0].txtDVMAddress = "28";
    panel.voltmeters.cmdDVMSetDC_Click(0);
    EXPECT_EQ(t.prompter.texts(), Strings{kDvmRefused});
    EXPECT_EQ(bus.writesTo(28), Strings{"F1T1RAN4"});
}

TEST_F(AddressRange, TheSwitchUnitShowsATooLargeAddressAtTheClearAsItShowsAddress31)
{
    panel.switchUnit.txtSWRADR = "31";
    panel.switchUnit.cmdSWINIT_Click();
    const Strings refused31 = t.prompter.texts();
    ASSERT_EQ(refused31.size(), 1u);
    EXPECT_EQ(refused31[0],
              "Unable to clear device HP3488 SWITCH BOX\nibsta = &H8000\niberr = 0 <EDVR>");

    for (const char* box : {"40000", "1e400"}) {
        t.prompter.asked.clear();
        panel.switchUnit.txtSWRADR = box;
        panel.switchUnit.cmdSWINIT_Click();
        EXPECT_EQ(t.prompter.texts(), refused31) << box;
    }
    EXPECT_TRUE(bus.writes.empty());
    EXPECT_TRUE(bus.clears.empty());
    EXPECT_EQ(session.SwitchDevice[0], NotOpened);
}

TEST_F(AddressRange, ClearVIsRefusesATooLargeNumberAndSkipsOnlyABoxWithoutOne)
{
    // Unit 2's box holds a number too large: refused with the box, the panel
    // not cleared; unit 1 is cleared after it.
    for (const char* box : {"1e400", "40000"}) {
        t.prompter.asked.clear();
        bus.writes.clear();
        panel.smus.panels[1].txtVIAddress = box;
        panel.smus.cmdVIsOFf_Click();
        EXPECT_EQ(t.prompter.texts(), Strings{kViRefused}) << box;
        EXPECT_EQ(bus.writes.size(), 1u) << box;
        EXPECT_EQ(bus.writesTo(14), Strings{"J0X"}) << box;
        EXPECT_EQ(panel.smus.panels[1].lblVIMeasureB, "-000.000 mA") << box;
        EXPECT_EQ(panel.smus.panels[0].lblVIMeasureB, "STBY.  uA") << box;
    }
    EXPECT_TRUE(bus.offline.empty());

    // A box without a number is skipped without a word.
    t.prompter.asked.clear();
    panel.smus.panels[1].txtVIAddress = "bay 2";
    panel.smus.cmdVIsOFf_Click();
    EXPECT_TRUE(t.prompter.asked.empty());
}
