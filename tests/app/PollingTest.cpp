#include "app/Polling.h"

#include "app/TickFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

using kvb::LampId;
using kvb::PollAction;

// The poll's work played by plain state that records every call; a test may
// put its own step in place of a command or of the unprompted-response read.
struct RecordingWork final : kvb::PollWork {
    std::vector<std::string> calls;
    std::array<std::function<void()>, kvb::kPollActions> commands;
    std::function<void(int16_t&)> readUprBuffersStep;

    void run(PollAction action) override
    {
        if (commands[static_cast<size_t>(action)])
            commands[static_cast<size_t>(action)]();
        else
            calls.push_back(kvb::PollActionBoxName(action));
    }
    void readUprBuffers(int16_t& type) override
    {
        if (readUprBuffersStep)
            readUprBuffersStep(type);
        else
            calls.push_back("upr" + std::to_string(type));
    }
    void scanAllInhibit() override { calls.push_back("inhibit"); }
    void clearAllFaults() override { calls.push_back("clear"); }
    void scanAllContinuous() override { calls.push_back("continuous"); }
};

// A poller on the simulated chain over the recording work.
struct PollFixture : kvb::test::LinkFixture {
    RecordingWork work;
    kvb::Poller poller{link, work, t.services};
    std::vector<std::string>& calls = work.calls;
    std::vector<std::pair<LampId, int>> lampChanges;

    PollFixture()
    {
        poller.hooks.clearLogs = [this] { calls.push_back("logs"); };
        link.lamps.changed = [this](LampId id, int colour) { lampChanges.push_back({id, colour}); };
    }

    void setBox(bool ticked) { poller.setPollingOn(ticked); }
    bool timer() const { return poller.timerRunning(); }
    bool ticked() const { return poller.pollingOn(); }
};

TEST(PollTick, RunsUnpromptedReadsThenTheChosenCommandsInTableOrder)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2, 1));
    for (bool& on : b.poller.options.actions)
        on = true;
    b.poller.boxes.upr = true;
    b.setBox(true);
    ASSERT_TRUE(b.timer());
    b.calls.clear();

    b.poller.Timer2_Timer();
    const std::vector<std::string> expected{
        "upr0",          "upr1",         "logs",         "chkPollScanAll", "chkScanMixed",
        "chkScanVolts",  "chkScanTemps", "chkScanWires", "chkReadVolts",   "chkReadTemps",
        "chkReadFaults", "chkReadSetups"};
    EXPECT_EQ(b.calls, expected);
    ASSERT_GE(b.lampChanges.size(), 2u);
    EXPECT_EQ(b.lampChanges[b.lampChanges.size() - 2].second, kvb::kLampYellow);
    EXPECT_EQ(b.lampChanges.back().second, kvb::kLampGrey);
}

TEST(PollTick, StopsWhereAReadOrCommandEndsPolling)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    b.poller.options[PollAction::ScanAll] = true;
    b.poller.options[PollAction::ReadVolts] = true;
    b.poller.boxes.upr = true;
    b.setBox(true);

    // A pending unprompted response unticks the box: nothing else runs and
    // the logs are kept.
    b.work.readUprBuffersStep = [&](int16_t&) { b.setBox(false); };
    b.calls.clear();
    b.poller.Timer2_Timer();
    EXPECT_TRUE(b.calls.empty());
    EXPECT_FALSE(b.timer());

    // A command that stops the timer cancels the rest of the tick.
    b.work.readUprBuffersStep = [](int16_t&) {};
    b.setBox(true);
    b.work.commands[0] = [&] {
        b.calls.push_back("scan");
        b.poller.setTimerRunning(false);
    };
    b.calls.clear();
    b.poller.Timer2_Timer();
    EXPECT_EQ(b.calls, (std::vector<std::string>{"logs", "scan"}));
}

TEST(PollTick, NeverReentersAndStopsOnceWithoutABoard)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 1));
    b.poller.options[PollAction::ReadVolts] = true;
    b.setBox(true);
    int nested = 0;
    b.work.commands[static_cast<int>(PollAction::ReadVolts)] = [&] {
        ++nested;
        b.poller.Timer2_Timer();  // a timer event let through by an exchange
    };
    b.poller.Timer2_Timer();
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(b.poller.ticking());

    b.transport.EvbConnected = false;
    b.poller.Timer2_Timer();
    b.poller.Timer2_Timer();  // a late event of the stopped timer
    EXPECT_FALSE(b.ticked());
    EXPECT_FALSE(b.timer());
    ASSERT_EQ(b.t.prompter.asked.size(), 1u);
    EXPECT_EQ(b.t.prompter.asked[0].text, "KVB71853 EVB not connected!");
    EXPECT_TRUE(b.logHas("Timer2_Timer: EVB not detected. Please check connections."));
    EXPECT_EQ(nested, 1);
}

TEST(PollTick, WithoutABoardAndNothingToExchangeOnlyTheLampMoves)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 1));
    b.setBox(true);
    ASSERT_FALSE(b.link.UprPollingEnabled);
    b.transport.EvbConnected = false;
    b.lampChanges.clear();
    b.poller.Timer2_Timer();
    EXPECT_TRUE(b.ticked());
    EXPECT_TRUE(b.timer());
    EXPECT_TRUE(b.t.prompter.asked.empty());
    EXPECT_EQ(b.lampChanges, (std::vector<std::pair<LampId, int>>{
                                 {LampId::Polling, kvb::kLampYellow},
                                 {LampId::Polling, kvb::kLampGrey}}));

    // The unprompted-response option on the chain would exchange: polling
    // stops with one box.
    b.link.setUprPollingEnabled(true);
    b.poller.Timer2_Timer();
    EXPECT_FALSE(b.ticked());
    EXPECT_FALSE(b.timer());
    ASSERT_EQ(b.t.prompter.asked.size(), 1u);
    EXPECT_EQ(b.t.prompter.asked[0].text, "KVB71853 EVB not connected!");
}

TEST(PollTick, UnpromptedReadsNeedTheDaisyChain)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(false, 1));
    b.poller.boxes.upr = true;
    b.setBox(true);
    b.calls.clear();
    b.poller.Timer2_Timer();
    EXPECT_TRUE(b.calls.empty());
}

TEST(PollInterval, BoxTextClampsAndRefusesSixteenBitOverflow)
{
    using kvb::PollIntervalFromBox;
    EXPECT_EQ(PollIntervalFromBox(""), 50);
    EXPECT_EQ(PollIntervalFromBox("abc"), 50);
    EXPECT_EQ(PollIntervalFromBox("10"), 50);
    EXPECT_EQ(PollIntervalFromBox("500"), 500);
    EXPECT_EQ(PollIntervalFromBox(" 75ms"), 75);
    EXPECT_EQ(PollIntervalFromBox("120.5"), 120);  // halves round to even
    EXPECT_EQ(PollIntervalFromBox("9999"), 5000);
    EXPECT_EQ(PollIntervalFromBox("-32768"), 50);
    EXPECT_EQ(PollIntervalFromBox("40000"), std::nullopt);
    EXPECT_EQ(PollIntervalFromBox("1e400"), std::nullopt);
}

TEST(PollOptions, QuickSetupAndOkStartPollingWithTheStandardSet)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    b.poller.boxes.upr = true;
    b.poller.boxes.startPoll = true;
    b.poller.cmdQuickSetup_Click();
    b.poller.OKButton_Click();
    const auto& o = b.poller.options;
    EXPECT_TRUE(o[PollAction::ScanAll] && o[PollAction::ReadVolts] && o[PollAction::ReadTemps] &&
                o[PollAction::ReadFaults]);
    EXPECT_FALSE(o[PollAction::ScanMixed] || o[PollAction::ReadSetups]);
    EXPECT_FALSE(b.link.UprPollingEnabled);
    EXPECT_FALSE(b.poller.boxes.startPoll);
    EXPECT_TRUE(b.ticked());
    EXPECT_TRUE(b.timer());
    EXPECT_EQ(b.poller.startSequences(), 0);
}

TEST(PollOptions, OkRunsTheEnableBoxSequenceThenItsOwnWithTypeZeroTwice)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2, 1));
    b.poller.boxes.upr = true;
    b.poller.boxes.startPoll = true;
    b.poller.OKButton_Click();
    // Buffers are emptied, not judged: the enable box reads type 0 then
    // type 1, the dialog type 0 twice.
    EXPECT_EQ(b.calls, (std::vector<std::string>{"inhibit", "clear", "upr2", "upr3", "continuous",
                                                 "inhibit", "clear", "upr2", "upr2",
                                                 "continuous"}));
    EXPECT_TRUE(b.link.UprPollingEnabled);
    EXPECT_TRUE(b.timer());

    // Polling already on: the box does not change, the dialog runs its own.
    b.calls.clear();
    b.poller.OKButton_Click();
    EXPECT_EQ(b.calls, (std::vector<std::string>{"inhibit", "clear", "upr2", "upr2",
                                                 "continuous"}));

    // Without a board neither runs.
    b.calls.clear();
    b.setBox(false);
    b.transport.EvbConnected = false;
    b.poller.OKButton_Click();
    EXPECT_TRUE(b.calls.empty());
    EXPECT_FALSE(b.ticked());
}

TEST(PollOptions, NothingTickedLeavesPollingAloneAndActivationFollowsTheLink)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(false, 1));
    b.poller.OKButton_Click();
    EXPECT_FALSE(b.ticked());

    b.link.setUprPollingEnabled(true);
    b.poller.boxes.upr = true;
    b.poller.options[PollAction::ReadTemps] = true;
    b.poller.Form_Activate();
    EXPECT_FALSE(b.poller.boxes.uprEnabled);
    EXPECT_FALSE(b.poller.boxes.upr);
    EXPECT_TRUE(b.poller.boxes.actions[PollAction::ReadTemps]);
}

}  // namespace

namespace {

TEST(PollTick, DrivesTheCommandHandlersOnTheSimulatedChain)
{
    kvb::test::TickFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    kvb::Poller& poller = b.poller;
    poller.options[PollAction::ReadVolts] = true;
    poller.options[PollAction::ScanAll] = true;

    const size_t from = b.chain.received.size();
    poller.Timer2_Timer();
    std::vector<std::pair<int, int>> sent;  // (device, category * 64 + address)
    for (const auto& r : b.framesSince(from))
        sent.push_back({r.frame[0] >> 4, (r.frame[0] & 7) * 64 + (r.frame[1] >> 2)});
    const std::vector<std::pair<int, int>> expected{{1, 197}, {2, 197}, {1, 79}, {2, 79}};
    EXPECT_EQ(sent, expected);
    EXPECT_NE(b.link.image.at(0, 2, 65), 0);
    EXPECT_TRUE(b.poller.timerRunning());
}

}  // namespace

namespace {

TEST(PollTick, ALostBoardEndsTheStartSequenceAndTheTickWithOneBox)
{
    kvb::test::TickFixture b;
    ASSERT_TRUE(b.connect(true, 2, 1));
    b.board->faults.noAnswer = true;
    b.poller.RunStartSequence(2, 3);
    ASSERT_EQ(b.t.prompter.asked.size(), 1u);
    EXPECT_EQ(b.t.prompter.asked[0].text,
              "USB Communications lost, Disconnect and Reconnect, Polling Terminated");

    // Unprompted reads of both types, then every command: one box.
    b.t.prompter.asked.clear();
    b.link.setUprPollingEnabled(true);
    for (bool& on : b.poller.options.actions)
        on = true;
    b.poller.Timer2_Timer();
    EXPECT_EQ(b.t.prompter.asked.size(), 1u);
}

}  // namespace

namespace {

// The poller owns whether polling is on and whether its timer runs; the
// enable box and Timer2 only follow it.
TEST(PollState, TheBoxAndTheTimerFollowThePoller)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    // The box and the timer as the window shows them.
    struct ShownView final : kvb::PollingView {
        std::vector<std::string> shown;
        void enableBox(bool on) override { shown.push_back(on ? "box on" : "box off"); }
        void timer(bool on) override { shown.push_back(on ? "timer on" : "timer off"); }
        void interval(int) override {}
    } view;
    std::vector<std::string>& shown = view.shown;
    b.poller.attachView(&view);
    b.poller.boxes.startPoll = true;

    // The box shows its new value before its handling runs; a value it
    // already has runs nothing.
    b.setBox(true);
    b.setBox(true);
    EXPECT_EQ(shown, (std::vector<std::string>{"box on", "timer on"}));
    EXPECT_EQ(b.poller.startSequences(), 1);

    // Stopped for good: the box is cleared (its handling greys the lamp) and
    // the timer stops, once.
    shown.clear();
    b.poller.stopPolling();
    b.poller.stopPolling();
    EXPECT_EQ(shown, (std::vector<std::string>{"box off", "timer off"}));
    EXPECT_EQ(b.lampChanges.back(), (std::pair<LampId, int>{LampId::Polling, kvb::kLampGrey}));

    // The link holds the timer around an exchange only while polling is on.
    shown.clear();
    kvb::link::ChipMessage read(1, 2, 4, 0, 0);
    b.link.ReadSingleReg(read);
    EXPECT_TRUE(shown.empty());
    b.setBox(true);
    shown.clear();
    b.link.ReadSingleReg(read);
    EXPECT_EQ(shown, (std::vector<std::string>{"timer off", "timer on"}));
    EXPECT_TRUE(b.ticked());
}

TEST(PollTick, ATickInsideAnExchangeLeavesTheWorkToTheNextTick)
{
    PollFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    b.poller.options[PollAction::ReadVolts] = true;
    b.poller.boxes.upr = true;
    b.setBox(true);
    b.calls.clear();
    b.lampChanges.clear();
    {
        kvb::link::ChipLink::ExchangeScope exchange(b.link);
        b.poller.Timer2_Timer();
    }
    EXPECT_TRUE(b.calls.empty());
    EXPECT_TRUE(b.lampChanges.empty());
    b.poller.Timer2_Timer();
    EXPECT_EQ(b.calls, (std::vector<std::string>{"upr0", "logs", "chkReadVolts"}));
}

TEST(PollOptions, OkOnTheChainReadsTypeZerosBufferThreeTimesAndTypeOnesOnce)
{
    kvb::test::TickFixture b;
    ASSERT_TRUE(b.connect(true, 2, 1));
    b.poller.stopPolling();
    b.poller.boxes.upr = true;
    b.poller.boxes.startPoll = true;
    const size_t requestsFrom = b.board->requests.size();
    const size_t framesFrom = b.chain.received.size();
    b.poller.OKButton_Click();

    // Buffer reads go out under board commands 0x17 (type 0) and 0x18 (type 1).
    std::vector<int> bufferReads;
    for (size_t i = requestsFrom; i < b.board->requests.size(); ++i) {
        const int command = b.board->requests[i][1];
        if (command == 0x17 || command == 0x18)
            bufferReads.push_back(command);
    }
    EXPECT_EQ(bufferReads, (std::vector<int>{0x17, 0x18, 0x17, 0x17}));
    // Scan inhibit (page 3, address 7) reaches type-0 device 1 twice.
    int inhibits = 0;
    for (const auto& r : b.framesSince(framesFrom))
        if ((r.select & 0x40) == 0 && r.frame.size() >= 2 && r.frame[0] == 0x13 &&
            (r.frame[1] >> 2) == 0x07)
            ++inhibits;
    EXPECT_EQ(inhibits, 2);
    EXPECT_TRUE(b.poller.timerRunning());
}

}  // namespace
