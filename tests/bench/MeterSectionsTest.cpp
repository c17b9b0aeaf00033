#include "BenchFixture.h"

using namespace kvb;
using namespace kvb::bench;
using Strings = std::vector<std::string>;

namespace {
class Meters : public test::BenchTest {};
}  // namespace

TEST_F(Meters, VoltmeterModesSendRangeAndDigits)
{
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.voltmeters.cmdDVMSetAC_Click(1);
    panel.voltmeters.panels[2].txtOhmRange = "3";
    panel.voltmeters.cmdDVMSetOhm_Click(2);
    EXPECT_EQ(bus.writesTo(28), Strings{"F1T1RAN4"});
    EXPECT_EQ(bus.writesTo(29), Strings{"F2T1RAN3"});
    EXPECT_EQ(bus.writesTo(30), Strings{"F3T1R3N3"});
    const VoltmeterPanel& p = panel.voltmeters.panels[0];
    EXPECT_EQ(p.ShpDVMDCMode, kLampLightRed);
    EXPECT_EQ(p.ShpDVMACMode, kLampBlack);
    EXPECT_EQ(p.lblDVMReading, "");
}

TEST_F(Meters, VoltmeterReadingsAreShownWithTheModeSuffix)
{
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(panel.voltmeters.panels[0].lblDVMReading, "1.23456 DCV");
    auto* dvm = bus.instrument<sim::SimVoltmeter>(28);
    dvm->nextReading = "+1.2345E+3";
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(panel.voltmeters.panels[0].lblDVMReading, "1,234.500 DCV");
    dvm->nextReading = "0.25";  // no exponent
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(panel.voltmeters.panels[0].lblDVMReading, ".250 DCV");
    dvm->nextReading = "+0.00000E+0";  // a real 0 V
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(panel.voltmeters.panels[0].lblDVMReading, ".000 DCV");
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(Meters, AVoltmeterReplyThatIsNotAReadingIsToldAndShowsNothing)
{
    VoltmeterPanel& p = panel.voltmeters.panels[0];
    auto* dvm = bus.instrument<sim::SimVoltmeter>(28);
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    ASSERT_EQ(p.lblDVMReading, "1.23456 DCV");
    // Each whole reply as the meter sends it, CR LF included.
    const std::string replies[] = {"ERROR\r\n", "OVLD\r\n", "\r\n", "\n", "1E400\r\n",
                                   "+1.2E+0V\r\n", std::string(1500, '7') + "\r\n"};
    for (const std::string& reply : replies) {
        t.prompter.asked.clear();
        dvm->replies.push_back(reply);
        panel.voltmeters.cmdDVMGetMeas_Click(0);
        ASSERT_EQ(t.prompter.asked.size(), 1u) << reply;
        EXPECT_EQ(t.prompter.asked[0].title, "Error");
        EXPECT_EQ(t.prompter.asked[0].text.rfind(
                      "The voltmeter of VM Control 1 sent a reply that is not a reading: \"", 0),
                  0u)
            << t.prompter.asked[0].text;
        // The last reading stays, as shown and as stored, and the meter on line.
        EXPECT_EQ(p.lblDVMReading, "1.23456 DCV") << reply;
        EXPECT_DOUBLE_EQ(p.DvmReading, 1.23456);
        EXPECT_TRUE(bus.offline.empty());
        EXPECT_NE(session.DvmDevice[0], NotOpened);
    }
    EXPECT_EQ(t.prompter.texts(),
              (Strings{"The voltmeter of VM Control 1 sent a reply that is not a "
                       "reading: \"" +
                       std::string(40, '7') + "...\""}));
    // The next sample is the meter's own reading again.
    t.prompter.asked.clear();
    dvm->nextReading = "-2.5E-3";
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(p.lblDVMReading, "-.0025 DCV");
    EXPECT_TRUE(t.prompter.asked.empty());
    // Zero written with an exponent out of range is zero, never NaN.
    dvm->nextReading = "0E400";
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(p.lblDVMReading, ".000 DCV");
}

TEST_F(Meters, ARepliesLastCharactersAreKeptWhenItsLineEndIsShortOrMissing)
{
    // Only the line end is dropped: a meter that ends with a line feed alone
    // (or with EOI only) must not lose the exponent's last digit or a
    // decimal.
    VoltmeterPanel& p = panel.voltmeters.panels[0];
    auto* dvm = bus.instrument<sim::SimVoltmeter>(28);
    panel.voltmeters.cmdDVMSetDC_Click(0);
    const std::pair<std::string, std::string> cases[] = {
        {"+1.2345E+03\n", "1,234.500 DCV"},   // was 1.2345
        {"+1234.5", "1,234.500 DCV"},          // was 1,234.000
        {"+1.2345E+03\r\n", "1,234.500 DCV"},
        {"+1.2345E+03\n\r", "1,234.500 DCV"},
        {"-2.5E-3\r", "-.0025 DCV"}};
    for (const auto& [reply, shown] : cases) {
        dvm->replies.push_back(reply);
        panel.voltmeters.cmdDVMGetMeas_Click(0);
        EXPECT_EQ(p.lblDVMReading, shown) << reply;
    }
    EXPECT_TRUE(t.prompter.asked.empty());

    // The source-measure unit's second value, from a reply ended by a line
    // feed alone.
    panel.smus.cmdSetVIMODE_Click(0);
    bus.at(14)->replies.push_back("+1.20000E+00,+2.00000E-02\n");
    panel.smus.cmdVIDOMeas_Click(0);
    EXPECT_EQ(panel.smus.panels[0].lblVIMeasureA, "+1.20000E+00 V");
    EXPECT_EQ(panel.smus.panels[0].lblVIMeasureB, "2.00000E-02 A");  // was 2.00000E-0 A
}

TEST_F(Meters, SampleBeforeAModeShowsOnlyTheHint)
{
    panel.voltmeters.cmdDVMGetMeas_Click(3);
    EXPECT_EQ(t.prompter.texts(),
              Strings{"DVM has not been initialized #  3Click on set Mode before "
                      "making a measurement"});
    EXPECT_TRUE(bus.writes.empty());
    EXPECT_EQ(bus.opens, 0);
}

TEST_F(Meters, SmuModeStringsFromTheDefaults)
{
    panel.smus.cmdSetIVMODE_Click(0);
    EXPECT_EQ(panel.smus.panels[0].TXTlbVIlControlString, "J0XF1,0B.02,0,0L5.,0P4S3G5,2,0X");
    panel.smus.cmdSetVIMODE_Click(0);
    EXPECT_EQ(panel.smus.panels[0].TXTlbVIlControlString, "J0XF0,0L.001,7B1.2,2,0P4S3G5,2,0X");
    panel.smus.cmdSetVIMODE_Click(1);
    EXPECT_EQ(panel.smus.panels[1].lbVIlControlString,
              "J0XF0,0L.1,9B12.0,3,0T0,0,0,1P4S3G5,2,0X");
    panel.smus.cmdSetVIMODE_Click(3);
    EXPECT_EQ(panel.smus.panels[3].lbVIlControlString, "J0XF0,0");
    // Each "Set VI" first resets the second unit.
    EXPECT_EQ(bus.writesTo(14), (Strings{"J0XF1,0B.02,0,0L5.,0P4S3G5,2,0X",
                                         "J0XF0,0L.001,7B1.2,2,0P4S3G5,2,0X"}));
    EXPECT_EQ(bus.writesTo(17), Strings{"J0XF0,0"});
    EXPECT_EQ(bus.writesTo(16),
              (Strings{"J0X", "J0XF0,0L.1,9B12.0,3,0T0,0,0,1P4S3G5,2,0X", "J0X"}));
    EXPECT_TRUE(panel.smus.panels[3].cmdVIDOMeasVisible);
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(Meters, SmuSampleAndOperateToggle)
{
    panel.smus.txtVI228String[0] = "X";
    panel.smus.cmdSetVIMODE_Click(0);
    panel.smus.cmdVIDOMeas_Click(0);
    const SmuPanel& p = panel.smus.panels[0];
    EXPECT_EQ(p.lblVIMeasureA, "+1.20000E+00 V");
    EXPECT_EQ(p.lblVIMeasureB, "1.20000E-03 A");
    EXPECT_TRUE(p.SmuOperating);
    EXPECT_EQ(p.cmdVIOperate, Picture::OutputOn);
    EXPECT_EQ(t.pump.yields, 1);
    panel.smus.cmdVIOperate_Click(0);
    EXPECT_FALSE(p.SmuOperating);
    EXPECT_EQ(p.lblVIMeasureB, "ST.BY");
    EXPECT_EQ(bus.writesTo(14).back(), "N0H0X");
    panel.smus.cmdVIOperate_Click(0);
    EXPECT_TRUE(p.SmuOperating);
    EXPECT_EQ(bus.writesTo(14).back(), "N1H0X");
}

TEST_F(Meters, SmuRepliesAreSplitAtTheComma)
{
    std::string a, b;
    SmuSection::splitReply("+1.20000E+00,+2.00000E-02", a, b);
    EXPECT_EQ(a, "+1.20000E+00");
    EXPECT_EQ(b, "2.00000E-02");
    SmuSection::splitReply("+1.2", a, b);
    EXPECT_EQ(a, "+1.2");
    EXPECT_EQ(b, "");
    SmuSection::splitReply("+1.2,", a, b);
    EXPECT_EQ(a, "+1.2");
    EXPECT_EQ(b, "");

    panel.smus.cmdSetIVMODE_Click(0);
    auto* smu = bus.at(14);
    smu->replies.push_back("OK\r\n");
    // The unit answers to N1H0X too; the short reply comes first.
    panel.smus.cmdVIDOMeas_Click(0);
    EXPECT_EQ(panel.smus.panels[0].lblVIMeasureA, "");
    EXPECT_EQ(panel.smus.panels[0].lblVIMeasureB, " V");
}

TEST_F(Meters, SetV1VoltsAndCommandStrings)
{
    EXPECT_EQ(panel.smus.txtVI228String[0], "B16.53,3,X");
    EXPECT_EQ(panel.smus.txtVI228String[3], "B16.57,3,X");
    EXPECT_EQ(panel.smus.txtVI228String[10], "B16.50,3,X");
    EXPECT_EQ(panel.smus.txtVI228String[11], "B16.00,3,X");
    EXPECT_EQ(panel.smus.txtVI228String[19], "B15.92,3,X");

    panel.smus.cmdSendString_Click(5);  // nothing addressed yet
    EXPECT_TRUE(bus.writes.empty());
    panel.smus.cmdSetIVMODE_Click(0);
    panel.smus.cmdSetVI1V_Click(0);
    EXPECT_EQ(panel.smus.txtVI1VCmd[0], "B15.80,3,X");
    panel.smus.cmdSendString_Click(5);
    EXPECT_EQ(bus.writesTo(14).back(), "B16.55,3,X");
}

TEST_F(Meters, ReadsAndSamplesLeaveTheAddressedInstrumentAlone)
{
    // The free strings go to the instrument last set up, not to the meter
    // or unit that was merely read from since.
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.smus.cmdSetVIMODE_Click(0);
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    panel.smus.cmdSetVIMODE_Click(1);
    panel.smus.cmdSetVIMODE_Click(0);
    panel.smus.cmdVIDOMeas_Click(1);
    panel.smus.cmdSetVI1V_Click(1);
    panel.smus.cmdSendString_Click(0);
    EXPECT_EQ(bus.writesTo(14).back(), "B16.53,3,X");
    EXPECT_EQ(bus.writesTo(16).back(), "B17.20,3,X");
    EXPECT_EQ(bus.writesTo(28), Strings{"F1T1RAN4"});

    // A failed read still takes the meter that failed off line.
    bus.faults.timeoutReads = 1;
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(bus.offline, std::vector<int>{28});
    EXPECT_EQ(session.DvmDevice[0], NotOpened);
    EXPECT_NE(session.SmuDevice[0], NotOpened);
}

TEST_F(Meters, ClearVIsResetsUnitsTwoAndOneSkippingAnEmptyAddress)
{
    panel.smus.cmdSetVIMODE_Click(0);
    panel.smus.panels[1].txtVIAddress = "";
    bus.writes.clear();
    panel.smus.cmdVIsOFf_Click();
    EXPECT_EQ(bus.writesTo(14), Strings{"J0X"});
    EXPECT_TRUE(bus.writesTo(16).empty());
    const SmuPanel& p = panel.smus.panels[0];
    EXPECT_EQ(p.lblVIMeasureA, "+00.000 V");
    EXPECT_EQ(p.lblVIMeasureB, "STBY.  uA");
    EXPECT_FALSE(p.cmdVIDOMeasVisible);
    EXPECT_EQ(panel.smus.panels[1].lblVIMeasureA, "-000.000 V");

    // Only a box that holds a number and nothing else counts.
    panel.smus.panels[1].txtVIAddress = "16 (bay 2)";
    panel.smus.panels[0].txtVIAddress = " 14 ";
    bus.writes.clear();
    panel.smus.cmdVIsOFf_Click();
    EXPECT_TRUE(bus.writesTo(16).empty());
    EXPECT_EQ(bus.writesTo(14), Strings{"J0X"});
}

TEST_F(Meters, TheOperateControlShowsOnlyWhatTheUnitTook)
{
    auto* smu = bus.instrument<sim::SimSmu>(14);
    const SmuPanel& p = panel.smus.panels[0];
    // The unit's output, and the panel showing that same state.
    auto expectOperating = [&](bool on, int line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(smu->operating, on);
        EXPECT_EQ(p.SmuOperating, on);
        EXPECT_EQ(p.cmdVIOperate, on ? Picture::OutputOn : Picture::OutputOff);
    };
    panel.smus.cmdSetVIMODE_Click(0);

    // "Sample": the unit takes operate, then its reading fails.
    bus.faults.timeoutReads = 1;
    panel.smus.cmdVIDOMeas_Click(0);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    expectOperating(true, __LINE__);

    // Switching it reopens the unit and sends standby, then shows it.
    const int opens = bus.opens;
    panel.smus.cmdVIOperate_Click(0);
    EXPECT_EQ(bus.opens, opens + 1);
    EXPECT_EQ(bus.writesTo(14).back(), "N0H0X");
    expectOperating(false, __LINE__);
    EXPECT_EQ(p.lblVIMeasureB, "ST.BY");
    EXPECT_EQ(t.prompter.asked.size(), 1u);

    // Standby that does not reach the unit: the error, and operate stays.
    panel.smus.cmdVIOperate_Click(0);
    ASSERT_TRUE(smu->operating);
    bus.faults.failNextCalls = 1;
    panel.smus.cmdVIOperate_Click(0);
    EXPECT_EQ(t.prompter.asked.size(), 2u);
    expectOperating(true, __LINE__);

    // A set-up that does not reach the operating unit leaves operate shown.
    panel.smus.cmdVIOperate_Click(0);  // reopened: standby
    panel.smus.cmdVIOperate_Click(0);  // operate
    ASSERT_TRUE(smu->operating);
    bus.faults.failNextCalls = 1;
    panel.smus.cmdSetIVMODE_Click(0);
    expectOperating(true, __LINE__);

    // Operate that does not reach the unit: standby stays.
    panel.smus.cmdVIOperate_Click(0);  // reopened: standby
    ASSERT_FALSE(smu->operating);
    bus.faults.failNextCalls = 1;
    panel.smus.cmdVIOperate_Click(0);
    expectOperating(false, __LINE__);
}

TEST_F(Meters, ClearVIsUsesEachUnitsOwnDescriptor)
{
    panel.smus.cmdVIsOFf_Click();
    const int opens = bus.opens;
    EXPECT_EQ(opens, 2);
    for (int k = 0; k < 5; ++k)
        panel.smus.cmdVIsOFf_Click();
    panel.smus.cmdSetVIMODE_Click(0);
    panel.smus.cmdVIsOFf_Click();
    EXPECT_EQ(bus.opens, opens);
    EXPECT_EQ(bus.openDevices(), 2);
    EXPECT_EQ(bus.writesTo(14).size(), 8u);  // six resets, the set-up, a reset

    // A unit the reset does not reach goes on showing operate.
    panel.smus.cmdSetVIMODE_Click(0);
    panel.smus.cmdVIDOMeas_Click(0);
    bus.faults.noListener = {14};
    panel.smus.cmdVIsOFf_Click();
    const SmuPanel& p = panel.smus.panels[0];
    EXPECT_TRUE(p.SmuOperating);
    EXPECT_EQ(p.cmdVIOperate, Picture::OutputOn);
    EXPECT_TRUE(p.cmdVIOperateVisible);
    EXPECT_EQ(panel.smus.panels[1].lblVIMeasureB, "STBY.  uA");
}

TEST_F(Meters, DefaultAddressesAbove30AreRefusedByTheDriverAndTheBusVoltmetersAreReachable)
{
    // Voltmeter 3's default address is 30, the highest a device can have.
    panel.voltmeters.cmdDVMSetDC_Click(2);
    EXPECT_EQ(bus.writesTo(30), Strings{"F1T1RAN4"});
    EXPECT_TRUE(t.prompter.asked.empty());

    // Voltmeters 4 to 9 keep their defaults 31 to 36; the driver refuses
    // each and the open-failure box says why. Nothing is sent, the mode
    // stays unset.
    EXPECT_EQ(panel.voltmeters.panels[3].txtDVMAddress, "31");
    EXPECT_EQ(panel.voltmeters.panels[8].txtDVMAddress, "36");
    for (int i = 3; i < 9; ++i)
        panel.voltmeters.cmdDVMSetDC_Click(i);
    EXPECT_EQ(t.prompter.texts(),
              Strings(6, "Unable to open dvm device\nibsta = &H\n8000iberr = 4"));
    EXPECT_EQ(session.DvmAddress, 36);
    EXPECT_EQ(session.DvmDevice[3], NotOpened);
    EXPECT_EQ(bus.writes.size(), 1u);
    EXPECT_EQ(panel.voltmeters.panels[3].lblDVMControlString, "");

    // An SMU box without a number addresses 0; the set-up's first write
    // finds no listener there.
    t.prompter.asked.clear();
    panel.smus.panels[2].txtVIAddress = "abc";
    panel.smus.cmdSetIVMODE_Click(2);
    EXPECT_EQ(session.SmuAddress, 0);
    EXPECT_EQ(t.prompter.texts(),
              Strings{"Unable to write to device\nibsta = &H8000\niberr = 2 <ENOL>"});
    EXPECT_EQ(bus.offline, std::vector<int>{0});

    // "Clear VIs" passes 31 on too; the refused unit is reported and the
    // next one still cleared.
    t.prompter.asked.clear();
    panel.smus.panels[1].txtVIAddress = "31";
    panel.smus.cmdVIsOFf_Click();
    EXPECT_EQ(t.prompter.texts(), Strings{"Unable to open VI device\nibsta = &H\n8000iberr = 4"});
    EXPECT_EQ(bus.writesTo(14), Strings{"J0X"});
    EXPECT_EQ(panel.smus.panels[0].lblVIMeasureB, "STBY.  uA");

    // The nine simulated voltmeters sit where a panel can reach them.
    std::vector<int> voltmeters;
    for (int address = 0; address <= 40; ++address)
        if (bus.instrument<sim::SimVoltmeter>(address))
            voltmeters.push_back(address);
    ASSERT_EQ(voltmeters.size(), 9u);
    EXPECT_LE(voltmeters.back(), 30);
    t.prompter.asked.clear();
    for (int i = 0; i < 9; ++i) {
        panel.voltmeters.panels[i].txtDVMAddress = std::to_string(voltmeters[i]);
        panel.voltmeters.cmdDVMSetDC_Click(i);
        panel.voltmeters.cmdDVMGetMeas_Click(i);
        EXPECT_EQ(panel.voltmeters.panels[i].lblDVMReading, "1.23456 DCV") << voltmeters[i];
    }
    EXPECT_TRUE(t.prompter.asked.empty());
}
