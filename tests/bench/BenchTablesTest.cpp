// The instrument panel's fixed tables walked through every entry: the error
// names, the status word's error bit, the voltmeter modes, the panels'
// default boxes, the driver's open arguments and the switch unit's sixteen
// connection toggles.

#include "BenchFixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace kvb;
using namespace kvb::bench;

class BenchTables : public test::BenchTest {};

TEST_F(BenchTables, EveryErrorCodeShowsItsName)
{
    const char* names[29] = {"EDVR", "ECIC", "ENOL", "EADR", "EARG", "ESAC", "EABO", "ENEB",
                             "EDMA", "",     "EOIP", "ECAP", "EFSO", "",     "EBUS", "ESTB",
                             "ESRQ", "",     "",     "",     "ETAB", "ELCK", "EARM", "EHDL",
                             "",     "",     "EWIP", "ERST", "EPWR"};
    for (int code = 0; code < 29; ++code) {
        session.gpib.ibsta = static_cast<int16_t>(0x8000);
        session.gpib.iberr = static_cast<int16_t>(code);
        session.ReportGpibError("x");
        EXPECT_EQ(t.prompter.asked.back().text,
                  "x\nibsta = &H8000\niberr = " + std::to_string(code) + " <" + names[code] + ">");
    }
    session.gpib.iberr = 29;  // past the table
    session.ReportGpibError("x");
    EXPECT_EQ(t.prompter.asked.back().text, "x\nibsta = &H8000\niberr = 29 <>");
}

// Only bit 15 of the status word tells a failed call; every other bit alone
// is a call that worked.
TEST_F(BenchTables, OnlyBitFifteenOfTheStatusIsTheErrorBit)
{
    for (int bit = 0; bit < 16; ++bit) {
        session.gpib.ibsta = static_cast<int16_t>(1u << bit);
        EXPECT_EQ(session.gpib.failed(), bit == 15) << bit;
    }
    session.gpib.ibsta = 0;
    EXPECT_FALSE(session.gpib.failed());
}

TEST_F(BenchTables, EachVoltmeterModeSendsItsCommandLightsItsLampAndNamesItsUnit)
{
    struct Row {
        void (VoltmeterSection::*set)(int);
        const char* command;
        const char* shown;
        int lamp;  // 0 DC, 1 AC, 2 ohms
    };
    const Row rows[] = {
        {&VoltmeterSection::cmdDVMSetDC_Click, "F1T1RAN4", "2.500 DCV", 0},
        {&VoltmeterSection::cmdDVMSetAC_Click, "F2T1RAN3", "2.500 ACV", 1},
        {&VoltmeterSection::cmdDVMSetOhm_Click, "F3T1RAN3", "2.500 Ohms", 2},
    };
    VoltmeterSection& meters = panel.voltmeters;
    const VoltmeterPanel& p = meters.panels[0];
    for (const Row& r : rows) {
        (meters.*r.set)(0);
        ASSERT_FALSE(bus.writesTo(28).empty());
        EXPECT_EQ(bus.writesTo(28).back(), r.command);
        EXPECT_EQ(p.ShpDVMDCMode, r.lamp == 0 ? kLampLightRed : kLampBlack) << r.command;
        EXPECT_EQ(p.ShpDVMACMode, r.lamp == 1 ? kLampLightRed : kLampBlack) << r.command;
        EXPECT_EQ(p.ShpDVMOhmMode, r.lamp == 2 ? kLampLightRed : kLampBlack) << r.command;
        bus.instrument<sim::SimVoltmeter>(28)->nextReading = "+2.5E+0";
        meters.cmdDVMGetMeas_Click(0);
        EXPECT_EQ(p.lblDVMReading, r.shown);
    }
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(BenchTables, DefaultBoxesOfEveryMeterPanel)
{
    for (int i = 0; i < 9; ++i) {
        const VoltmeterPanel& v = panel.voltmeters.panels[static_cast<size_t>(i)];
        EXPECT_EQ(v.txtDVMAddress, std::to_string(28 + i));
        EXPECT_EQ(v.frDVMSet, "VM Control " + std::to_string(i + 1));
        EXPECT_EQ(v.txtDCRange + v.txtACRange + v.txtOhmRange, "AAA");
        EXPECT_EQ(v.txtDCDigits + v.txtACDigits + v.txtOhmDigits, "433");
    }
    const char* address[] = {"14", "16", "16", "17", "18"};
    const char* volts[] = {"1.2", "12", "4.0", "4.0", "4.0"};
    const char* limit[] = {"1", "100", "5", "5", "5"};
    const char* current[] = {"20", "2", "2", "2", "2"};
    for (size_t i = 0; i < 5; ++i) {
        const SmuPanel& s = panel.smus.panels[i];
        EXPECT_EQ(s.txtVIAddress, address[i]) << i;
        EXPECT_EQ(s.txtVIVSourceVolts, volts[i]) << i;
        EXPECT_EQ(s.txtVIILimit, limit[i]) << i;
        EXPECT_EQ(s.txtVIVSourceCurrent, current[i]) << i;
        EXPECT_EQ(s.txtVIVLimit, "5.0") << i;
    }
}

// Each of the sixteen toggles on each panel it exists on: the first press
// links its own node's flag only, the second clears it and sets its relay
// bit, and no other lead, node or panel moves.
TEST_F(BenchTables, EveryConnectionToggleWorksItsOwnFlagAndRelayBit)
{
    struct NodeRow {
        Node node;
        int index;
        int bit;
    };
    const NodeRow nodes[] = {
        {Node::VB, 0, 8}, {Node::VL, 1, 4}, {Node::VH, 2, 2}, {Node::PL, 3, 1}};
    const Lead leads[] = {Lead::DvmPlus, Lead::DvmMinus, Lead::SmuPlus, Lead::SmuMinus};

    for (Lead lead : leads) {
        const bool smu = lead == Lead::SmuPlus || lead == Lead::SmuMinus;
        for (int panelIndex = 0; panelIndex < (smu ? 5 : 1); ++panelIndex) {
            for (const NodeRow& n : nodes) {
                SwitchSection sw(session);
                const auto flags = [&](Lead l) -> const LinkFlags& {
                    return l == Lead::DvmPlus    ? sw.DvmPlusLinks
                           : l == Lead::DvmMinus ? sw.DvmMinusLinks
                           : l == Lead::SmuPlus  ? sw.SmuPlusLinks
                                                 : sw.SmuMinusLinks;
                };
                const auto mask = [&](Lead l, int p) -> int {
                    return l == Lead::DvmPlus    ? (p == 0 ? sw.DvmPlusRelayMask : 0)
                           : l == Lead::DvmMinus ? (p == 0 ? sw.DvmMinusRelayMask : 0)
                           : l == Lead::SmuPlus  ? sw.SmuPlusRelayMask[static_cast<size_t>(p)]
                                                 : sw.SmuMinusRelayMask[static_cast<size_t>(p)];
                };
                const std::string where = std::to_string(static_cast<int>(lead)) + "/" +
                                          std::to_string(panelIndex) + "/" +
                                          std::to_string(n.index);

                sw.toggleLink(lead, n.node, panelIndex);
                for (Lead l : leads)
                    for (int p = 0; p < kLinkPanels; ++p)
                        for (int k = 0; k < kLinkNodes; ++k)
                            EXPECT_EQ(flags(l)[static_cast<size_t>(p)][static_cast<size_t>(k)],
                                      l == lead && p == panelIndex && k == n.index)
                                << where << " flag " << p << "/" << k;
                EXPECT_EQ(sw.linkPicture(lead, n.node, panelIndex), Picture::RelayLinked) << where;

                sw.toggleLink(lead, n.node, panelIndex);
                EXPECT_FALSE(sw.linked(lead, n.node, panelIndex)) << where;
                EXPECT_EQ(sw.linkPicture(lead, n.node, panelIndex), Picture::RelayOpen) << where;
                for (Lead l : leads)
                    for (int p = 0; p < 5; ++p)
                        EXPECT_EQ(mask(l, p), l == lead && p == panelIndex ? n.bit : 0)
                            << where << " mask " << p;
            }
        }
    }
    EXPECT_TRUE(bus.writes.empty());
}

// Every section opens its instrument on board 0 with no secondary address,
// time-out code 12, EOI on and no end-of-string mode.
struct RecordingBus final : sim::SimGpibBus {
    std::vector<std::vector<int32_t>> opens;
    int32_t ibdev(int32_t board, int32_t primary, int32_t secondary, int32_t timeout, int32_t eoi,
                  int32_t eos) override
    {
        opens.push_back({board, primary, secondary, timeout, eoi, eos});
        return SimGpibBus::ibdev(board, primary, secondary, timeout, eoi, eos);
    }
};

TEST(BenchOpens, EverySectionOpensWithTheSameDriverArguments)
{
    test::TestServices t;
    RecordingBus bus;
    InstrumentPanel panel{t.services, bus};
    panel.Form_Load();
    panel.counter.cmd53141Init_Click();
    panel.supply.cmdInitAuxPS_Click();
    panel.switchUnit.cmdSWINIT_Click();
    panel.voltmeters.cmdDVMSetDC_Click(0);
    panel.smus.cmdSetIVMODE_Click(0);
    using Args = std::vector<int32_t>;
    EXPECT_EQ(bus.opens, (std::vector<Args>{{0, 3, 0, 12, 1, 0},
                                            {0, 5, 0, 12, 1, 0},
                                            {0, 10, 0, 12, 1, 0},
                                            {0, 28, 0, 12, 1, 0},
                                            {0, 14, 0, 12, 1, 0}}));
}

}  // namespace
