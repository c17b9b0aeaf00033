#include "BenchFixture.h"
#include "bench/GpibLibrary.h"

using namespace kvb;
using namespace kvb::bench;
using Strings = std::vector<std::string>;

namespace {
class CounterSupply : public test::BenchTest {};
}  // namespace

TEST_F(CounterSupply, CounterInitSetUpAndReadSendTheShippedCommands)
{
    panel.counter.cmd53141Init_Click();
    panel.counter.cmd53131_2_Click(0);
    panel.counter.cmd53131_2_Click(1);
    panel.counter.xms53131_4_Click();
    EXPECT_EQ(bus.clears, (std::vector<int>{3}));
    EXPECT_EQ(bus.writesTo(3),
              (Strings{"*IDN?", "*RST", "*CLS", "*SRE 0", "*ESE 0", ":STAT:PRES",
                       ":FUNC 'FREQ 1'", ":FREQ:ARM:STAR:SOUR IMM", ":FREQ:ARM:STOP:SOUR TMM",
                       ":FREQ:ARM:STOP:TIM 2.000", ":SENS:EVENt1:LEV:ABS 1.2", ":INP1:FILT ON",
                       ":INIT:CONT ON", "SHOW: MEAS", "FETCH:FREQ?"}));
    EXPECT_EQ(panel.counter.ReadingsList53131_1, (Strings{"HEWLETT-PACKARD,53131A,0,4806"}));
    // +1.00000001230000E+006 with its line feed dropped.
    EXPECT_EQ(panel.counter.lblCounter1Read, "1000000.0123000000");
    EXPECT_EQ(panel.counter.ReadingsList53131_2.texts(), (Strings{"1000000.0123000000"}));
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(CounterSupply, CounterKeepsItsMostRecentReadingsAndInitRestartsTheIndex)
{
    CounterSection& c = panel.counter;
    auto* counter = bus.instrument<sim::SimCounter>(3);
    c.cmd53141Init_Click();
    // The store's 1001 places fill up; the list shows the same readings.
    for (int i = 0; i < 1001; ++i)
        c.xms53131_4_Click();
    EXPECT_EQ(c.CounterReadings.size(), 1001u);
    ASSERT_EQ(c.ReadingsList53131_2.size(), 1001u);
    EXPECT_EQ(c.ReadingsList53131_2.items().front(), "1000000.0123000000");
    const std::string second = c.ReadingsList53131_2.items()[1];

    // The 1002nd takes the place of the oldest, in the store and the list.
    counter->frequencyHz = 2000000.0;
    c.xms53131_4_Click();
    EXPECT_EQ(c.CounterReadingCount, 1002u);
    EXPECT_EQ(c.CounterReadings.size(), 1001u);
    EXPECT_GE(c.CounterReadings[0], 2000000.0);
    EXPECT_EQ(c.ReadingsList53131_2.size(), 1001u);
    EXPECT_EQ(c.ReadingsList53131_2.items().front(), second);
    EXPECT_EQ(c.ReadingsList53131_2.items().back(), c.lblCounter1Read);

    c.cmd53141Init_Click();
    EXPECT_EQ(c.CounterReadingCount, 0u);
    EXPECT_EQ(bus.opens, 1);  // the slot stays open
}

TEST_F(CounterSupply, AGarbageReplyIsReportedOnceStoresNothingAndIsReadAway)
{
    CounterSection& c = panel.counter;
    auto* counter = bus.instrument<sim::SimCounter>(3);
    c.cmd53141Init_Click();
    const std::string junks[] = {std::string("\x01\xff#junk\n"), std::string(1500, '9') + "\n"};
    for (const std::string& junk : junks) {
        t.prompter.asked.clear();
        c.cmdStartTimer_Click(0);
        const size_t count = c.CounterReadingCount;
        counter->nextReply = junk;
        c.TimerFreq_Timer();
        ASSERT_EQ(t.prompter.asked.size(), 1u) << junk.size();
        EXPECT_EQ(t.prompter.asked[0].title, "Error");
        EXPECT_FALSE(c.TimerFreqEnabled);  // shown once: the timer stops
        EXPECT_EQ(c.CounterReadingCount, count);
        EXPECT_TRUE(c.ReadingsList53131_2.empty());
        // On line, and the next reading is the counter's own.
        EXPECT_TRUE(bus.offline.empty());
        EXPECT_NE(session.CounterDevice[0], NotOpened);
        c.xms53131_4_Click();
        EXPECT_EQ(c.CounterReadingCount, count + 1);
        EXPECT_EQ(c.lblCounter1Read.rfind("1000000.01", 0), 0u) << c.lblCounter1Read;
    }
    // What the box says.
    t.prompter.asked.clear();
    counter->nextReply = "\x01\xff#junk\n";
    c.xms53131_4_Click();
    EXPECT_EQ(t.prompter.texts(),
              Strings{"The 53131 counter sent a reply that is not a reading: \"\\x01\\xFF#junk\""});
}

TEST_F(CounterSupply, AReadingEndedWithoutItsLineFeedKeepsItsLastDigit)
{
    CounterSection& c = panel.counter;
    auto* counter = bus.instrument<sim::SimCounter>(3);
    c.cmd53141Init_Click();
    // Ended by EOI alone: the last character is a digit of the reading.
    counter->nextReply = "+2.0000000000000E+006";
    c.xms53131_4_Click();
    EXPECT_EQ(c.lblCounter1Read, "2000000.0000000000");  // was 2.0000000000
    EXPECT_DOUBLE_EQ(c.CounterReadings.back(), 2000000.0);
    counter->nextReply = "12345678.9";
    c.xms53131_4_Click();
    EXPECT_EQ(c.lblCounter1Read, "12345678.9000000000");  // was 12345678.0000000000
    counter->nextReply = "12345678.9\n";
    c.xms53131_4_Click();
    EXPECT_EQ(c.lblCounter1Read, "12345678.9000000000");
    EXPECT_TRUE(t.prompter.asked.empty());

    // The supply's reply shown as it came.
    panel.supply.cmdInitAuxPS_Click();
    bus.at(5)->replies.push_back("+1.5E+01");
    panel.supply.cmdAuxPSRdOnly_Click();
    EXPECT_EQ(panel.supply.lblLastReadingAuxPS, "+1.5E+01");  // was +1.5E+0
}

TEST_F(CounterSupply, TimerStartEmptiesTheListAndStopOnlyStops)
{
    panel.counter.ReadingsList53131_2.push_back("old");
    panel.counter.cmdStartTimer_Click(1);
    EXPECT_EQ(panel.counter.ReadingsList53131_2.texts(), Strings{"old"});
    panel.counter.cmdStartTimer_Click(0);
    EXPECT_TRUE(panel.counter.ReadingsList53131_2.empty());
    EXPECT_TRUE(panel.counter.TimerFreqEnabled);
    // Ticking before an init says so once and stops the timer.
    panel.counter.TimerFreq_Timer();
    EXPECT_FALSE(panel.counter.TimerFreqEnabled);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_NE(t.prompter.asked[0].text.find("has not been initialized"), std::string::npos);
    EXPECT_TRUE(bus.writes.empty());
}

TEST_F(CounterSupply, SupplySequencesAndReadings)
{
    panel.supply.cmdInitAuxPS_Click();
    panel.supply.cmdSendAuxPSCommand_Click();
    panel.supply.cmdClearRdgAuxPS_Click();
    EXPECT_EQ(bus.writesTo(5), (Strings{"*IDN?", "APPL P25V, 25.0,  1.0", "OUTP:STAT ON",
                                        "MEAS:VOLT:DC?", "OUTP:STAT OFF", "MEAS:VOLT:DC?",
                                        "MEAS:VOLT:DC?", "MEAS:VOLT:DC?"}));
    EXPECT_EQ(panel.supply.ReadingsListAuxPS, Strings{"HEWLETT-PACKARD,E3631A,0,2.1-5.0-1.0"});
    ASSERT_EQ(panel.supply.ReadingsListAuxPS_2.size(), 4u);
    EXPECT_EQ(panel.supply.ReadingsListAuxPS_2[0], "+2.49996000E+01");
    EXPECT_EQ(panel.supply.ReadingsListAuxPS_2[1], "+2.00000000E-04");

    bus.at(5)->replies.push_back("+1.0E+00\n");
    panel.supply.cmdAuxPSRdOnly_Click();
    EXPECT_EQ(panel.supply.lblLastReadingAuxPS, "+1.0E+00");
}

TEST_F(CounterSupply, AReadErrorIsReportedTakesTheDeviceOffLineAndInitRetries)
{
    panel.supply.cmdInitAuxPS_Click();
    bus.faults.timeoutReads = 1;
    panel.supply.cmdSendAuxPSCommand_Click();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].title, "Error");
    EXPECT_EQ(t.prompter.asked[0].text,
              "Unable to read from device\nibsta = &HC000\niberr = 6 <EABO>");
    EXPECT_EQ(bus.offline, (std::vector<int>{5}));
    EXPECT_EQ(t.programEnd.quits, 0);
    EXPECT_FALSE(t.programEnd.ending());
    EXPECT_EQ(session.SupplyDevice[0], NotOpened);

    // The supply is used again only after a new init, which opens it again.
    panel.supply.cmdAuxPSRdOnly_Click();
    EXPECT_NE(t.prompter.asked.back().text.find("has not been initialized"), std::string::npos);
    panel.supply.cmdInitAuxPS_Click();
    EXPECT_EQ(bus.opens, 2);
    EXPECT_NE(session.SupplyDevice[0], NotOpened);
}

TEST_F(CounterSupply, ErrorCodesOutsideTheTableAndLongTextsAreShownSafely)
{
    panel.counter.cmd53141Init_Click();
    bus.faults.failNextCalls = 1;
    bus.faults.errorCode = 40;
    panel.counter.xms53131_4_Click();
    EXPECT_EQ(t.prompter.asked.back().text,
              "Unable to write to device\nibsta = &H8000\niberr = 40 <>");
    panel.counter.cmd53141Init_Click();
    bus.faults.failNextCalls = 1;
    bus.faults.errorCode = 9;
    panel.counter.xms53131_4_Click();
    EXPECT_EQ(t.prompter.asked.back().text,
              "Unable to write to device\nibsta = &H8000\niberr = 9 <>");

    session.ReportGpibError(std::string(120, 'x'));
    EXPECT_EQ(t.prompter.asked.back().text, std::string(100, 'x'));
    EXPECT_EQ(session.GpibErrorText.size(), 100u);
}

TEST_F(CounterSupply, OpenFailuresShowTheBoxAndTheAddressIsTheBoxsLeadingNumber)
{
    bus.faults.failNextCalls = 1;
    bus.faults.errorCode = 4;
    panel.counter.cmd53141Init_Click();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Unable to open 53131 device\nibsta = &H\n8000iberr = 4");
    EXPECT_TRUE(bus.writes.empty());
    panel.counter.cmd53141Init_Click();  // retried: opens now
    EXPECT_EQ(bus.clears, (std::vector<int>{3}));

    // The panel passes 31 on; the driver refuses it and the open-failure box
    // reports the refusal, with no box of its own after it.
    t.prompter.asked.clear();
    panel.supply.txtAuxPSAdr = "31";
    panel.supply.cmdInitAuxPS_Click();
    EXPECT_EQ(bus.opens, 3);
    EXPECT_EQ(session.SupplyAddress, 31);
    EXPECT_EQ(t.prompter.texts(),
              Strings{"Unable to open E3631 device\nibsta = &H\n8000iberr = 4"});
    EXPECT_EQ(session.SupplyDevice[0], NotOpened);
    EXPECT_TRUE(bus.writesTo(31).empty());

    // An empty or non-numeric box is address 0, where nothing listens here.
    const char* boxes[] = {"", "abc"};
    for (size_t i = 0; i < 2; ++i) {
        const char* box = boxes[i];
        t.prompter.asked.clear();
        panel.supply.txtAuxPSAdr = box;
        panel.supply.cmdInitAuxPS_Click();
        EXPECT_EQ(session.SupplyAddress, 0) << box;
        EXPECT_EQ(t.prompter.texts(),
                  Strings{"Unable to clear device E3631\nibsta = &H8000\niberr = 2 <ENOL>"})
            << box;
        EXPECT_EQ(bus.offline, std::vector<int>(i + 1, 0)) << box;
    }

    // Text after the number does not count; a fraction is rounded.
    t.prompter.asked.clear();
    panel.supply.txtAuxPSAdr = "4.6 (aux)";
    panel.supply.cmdInitAuxPS_Click();
    EXPECT_EQ(session.SupplyAddress, 5);
    EXPECT_EQ(bus.clears, (std::vector<int>{3, 5}));
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(CounterSupply, NoListenerIsReportedAtTheClear)
{
    bus.faults.noListener = {3};
    panel.counter.cmd53141Init_Click();
    EXPECT_EQ(t.prompter.texts(),
              Strings{"Unable to clear 53131 device\nibsta = &H8000\niberr = 2 <ENOL>"});
}

TEST_F(CounterSupply, WithoutALibraryThePanelSaysSoOnce)
{
    GpibLibrary none({"libkvb-no-such-gpib.so"});
    panel.useDriver(none);
    panel.counter.cmd53141Init_Click();
    panel.supply.cmdInitAuxPS_Click();
    Strings texts = t.prompter.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("No GPIB library was found"), std::string::npos);
    EXPECT_EQ(texts[1], "Unable to open 53131 device\nibsta = &H\n8000iberr = 0");
    EXPECT_EQ(texts[2], "Unable to open E3631 device\nibsta = &H\n8000iberr = 0");
}
