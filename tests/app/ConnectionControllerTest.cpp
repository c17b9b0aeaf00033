// Connect, disconnect and the manual configuration on the simulated board,
// without windows: what the link, the lamps and the board see, and what the
// window is told to show.

#include "app/ConnectionController.h"
#include "app/TickFixture.h"
#include "data/ChartModel.h"
#include "panel/SpiModel.h"
#include "support/FakeChartLink.h"
#include "support/Occurrences.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kvb;

struct ConnectionFixture : test::TickFixture {
    panel::PanelSignals notices;
    panel::SpiModel spi{transport, grid, pipe, notices};
    data::ChartSamples samples;
    test::FakeChartLink chartLink;
    data::ChartModel charts{samples, chartLink};
    ConnectionController connection{link, transport, pipe, spi, charts, poller, t.services};
    std::vector<std::string> shown;  // what the window was told, in order
    std::string caption;
    // What the modal dialog does when it comes up from the menu.
    std::function<void()> dialogAnswer;
    // The window's step that fails, as a failure inside the window would.
    std::string failingStep;

    void step(const std::string& what)
    {
        shown.push_back(what);
        if (what == failingStep)
            throw std::out_of_range("Subscript out of range");
    }

    // The window played by the fields above.
    struct RecordedWindow final : ConnectionView {
        ConnectionFixture& b;
        explicit RecordedWindow(ConnectionFixture& fixture) : b(fixture) {}
        static std::string flag(bool on) { return on ? "1" : "0"; }
        void showConfigDialog() override { b.step("dialog"); }
        void runConfigDialog() override
        {
            b.step("modal dialog");
            if (b.dialogAnswer)
                b.dialogAnswer();
        }
        void showUprControls(bool on) override { b.step("upr " + flag(on)); }
        void searching() override {}
        void linkMode(bool daisy) override { b.step("daisy " + flag(daisy)); }
        void connected(bool uprShown) override { b.step("connected " + flag(uprShown)); }
        void notConnected(bool withoutDevices) override
        {
            b.step("not connected " + flag(withoutDevices));
        }
        void configurationTaken(const ManualConfigResult&) override {}
        void rebuildRegisterTabs() override { b.step("tabs"); }
        void setCaption(const std::string& text) override { b.caption = text; }
    } window{*this};

    ConnectionFixture() { connection.attachView(&window); }

    // The configuration dialog's OK with these choices.
    void accept(LinkChoice mode, DeviceChoice devices, int stack)
    {
        connection.OKButton_Click({mode, devices, stack});
    }

    bool saw(const std::string& what) const
    {
        return std::find(shown.begin(), shown.end(), what) != shown.end();
    }
    int lamp(LampId id) const { return link.lamps.colour(id); }
};

TEST(Connection, ConnectBeforeAnyConfigurationOnlyShowsTheDialog)
{
    ConnectionFixture b;
    b.poller.ShowStartPoll(true);
    b.poller.boxes.startPoll = true;
    b.connection.Connect();
    EXPECT_EQ(b.shown, (std::vector<std::string>{"upr 0", "dialog"}));
    EXPECT_TRUE(b.board->requests.empty());
    EXPECT_FALSE(b.link.EvbConnected());
    // The auto-start box is hidden, not cleared.
    EXPECT_FALSE(b.poller.boxes.startPollShown);
    EXPECT_TRUE(b.poller.boxes.startPoll);
}

TEST(Connection, DaisyChainFoundConnectsWithTheChosenPartsAndSetUp)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 3);
    b.poller.boxes.startPoll = true;
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);

    EXPECT_EQ(b.pipe.pipeCommandCode(), 0x16);
    EXPECT_EQ(b.link.gpioSetupByte(), 8);
    EXPECT_EQ(b.link.PartName1, "KVB71853");
    EXPECT_EQ(b.link.PartName2, "NONE");
    EXPECT_FALSE(b.link.SecondTypePresent);
    EXPECT_EQ(b.caption.rfind("KVB71853 Device: Daisy Chain  Version ", 0), 0u);

    // The board got the single-device set-up first, then the daisy-chain one.
    std::vector<std::vector<uint8_t>> setups;
    for (const auto& r : b.board->requests)
        if (r[1] == 0x14 && r[2] == 0x00)
            setups.emplace_back(r.begin() + 1, r.begin() + 12);
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[0], (std::vector<uint8_t>{0x14, 0x00, 0xFF, 0xFF, 0x80, 0x03, 0x00, 0x00,
                                               0x02, 0x29, 0x30}));
    EXPECT_EQ(setups[1], (std::vector<uint8_t>{0x14, 0x00, 0xFF, 0xFF, 0x80, 0x03, 0x80, 0x00,
                                               0x02, 0x29, 0x30}));

    EXPECT_TRUE(b.link.DaisyChainMode);
    EXPECT_EQ(b.link.DeviceCount1, 3);
    EXPECT_EQ(b.link.DeviceCount2, 0);
    EXPECT_TRUE(b.link.UprPollingEnabled);
    EXPECT_FALSE(b.poller.pollingOn());  // polling of the old link is over
    EXPECT_TRUE(b.poller.boxes.startPollShown);
    EXPECT_TRUE(b.poller.boxes.startPoll);  // a daisy-chain connect keeps its tick
    EXPECT_EQ(b.lamp(LampId::UsbConnected), kLampGreen);
    EXPECT_EQ(b.lamp(LampId::Pres0), kLampGreen);
    EXPECT_EQ(b.lamp(LampId::Pres1), kLampGrey);
    EXPECT_TRUE(b.saw("daisy 1"));
    EXPECT_EQ(b.shown.back(), "connected 1");
    EXPECT_TRUE(b.saw("upr 1"));
}

TEST(Connection, SingleDeviceConnectsWithoutTheChainControls)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 1);
    b.poller.boxes.startPoll = true;
    b.accept(LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960Only, 9);

    EXPECT_EQ(b.pipe.pipeCommandCode(), 0x15);
    EXPECT_EQ(b.link.gpioSetupByte(), 0);
    EXPECT_EQ(b.link.PartName1, "KVB53960");
    EXPECT_EQ(b.link.PartName2, "");
    EXPECT_EQ(b.caption.rfind("KVB71853 Device: Non-Daisy Chain  Version ", 0), 0u);
    EXPECT_FALSE(b.link.DaisyChainMode);
    EXPECT_EQ(b.link.DeviceCount1, 1);
    EXPECT_FALSE(b.link.UprPollingEnabled);
    EXPECT_FALSE(b.poller.boxes.startPollShown);
    EXPECT_FALSE(b.poller.boxes.startPoll);
    EXPECT_TRUE(b.logHas("IdentifyNonDaisyChain: Found KVB53960serial number = 0x"));
    EXPECT_EQ(b.lamp(LampId::UsbConnected), kLampGreen);
    EXPECT_TRUE(b.saw("daisy 0"));
    EXPECT_FALSE(b.saw("upr 1"));
    EXPECT_EQ(b.shown.back(), "connected 0");
}

TEST(Connection, NoBoardAndCancelEndsTheProgramWithoutConnecting)
{
    ConnectionFixture b;
    b.usb.unplugAll();
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);
    EXPECT_EQ(b.t.programEnd.quits, 1);
    EXPECT_FALSE(b.link.EvbConnected());
    EXPECT_TRUE(b.logHas("Error: KVB71853EVB not detected. Please check connections."));
    EXPECT_FALSE(b.saw("daisy 1"));
    EXPECT_FALSE(b.saw("connected 1"));
}

TEST(Connection, NothingFoundLeavesTheWindowNotConnected)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 0);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);
    EXPECT_TRUE(b.logHas(
        "InitializeEvb: Did not find KVB5396x / 71853 IC. Check connections and power"));
    EXPECT_EQ(b.link.DeviceCount1, 0);
    EXPECT_EQ(b.lamp(LampId::UsbConnected), kLampGrey);
    EXPECT_EQ(b.lamp(LampId::Pres0), kLampGrey);
    EXPECT_EQ(b.shown.back(), "not connected 1");
    // The board stays open, so its panel can look into the chain.
    EXPECT_TRUE(b.link.EvbConnected());
    EXPECT_TRUE(b.transport.hasBoard());

    // Connect again once the chain answers.
    b.chain.setDevices(0, 2);
    b.connection.Connect();
    EXPECT_EQ(b.link.DeviceCount1, 2);
    EXPECT_EQ(b.shown.back(), "connected 1");
    ASSERT_TRUE(b.link.UprPollingEnabled);

    // A chain that no longer answers: no unprompted responses to read.
    b.chain.setDevices(0, 0);
    b.connection.Connect();
    EXPECT_EQ(b.shown.back(), "not connected 1");
    EXPECT_FALSE(b.link.UprPollingEnabled);
}

TEST(Connection, ManualConfigurationFromTheMenuAfterAConnect)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 2);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 2);
    ASSERT_EQ(b.link.DeviceCount1, 2);

    // Cancel: nothing more happens.
    b.dialogAnswer = [&] { b.connection.CancelButton_Click(); };
    const size_t before = b.board->requests.size();
    b.shown.clear();
    b.connection.ConfigureFromMenu();
    EXPECT_EQ(b.shown, (std::vector<std::string>{"modal dialog"}));
    EXPECT_EQ(b.board->requests.size(), before);

    // OK with a stack of 5: the dialog's own connect identifies the two
    // devices, then the menu takes the link as chosen without a set-up.
    size_t afterDialog = 0;
    int foundByDialog = -1;
    b.dialogAnswer = [&] {
        b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 5);
        afterDialog = b.board->requests.size();
        foundByDialog = b.link.DeviceCount1;
    };
    b.connection.ConfigureFromMenu();
    EXPECT_EQ(foundByDialog, 2);
    EXPECT_TRUE(b.link.DaisyChainMode);
    EXPECT_EQ(b.link.DeviceCount1, 5);  // the chosen stack replaces what was found
    EXPECT_EQ(b.link.DeviceCount2, 0);
    EXPECT_FALSE(b.link.UprPollingEnabled);
    EXPECT_EQ(b.shown.back(), "connected 0");
    EXPECT_EQ(b.lamp(LampId::Pres0), kLampGreen);
    for (size_t i = afterDialog; i < b.board->requests.size(); ++i) {
        EXPECT_NE(b.board->requests[i][1], 0x14);  // no set-up record
        EXPECT_NE(b.board->requests[i][1], 0x16);  // no chip frame
    }
}

TEST(Connection, ManualSingleDeviceFromTheMenuTakesOneDeviceOfEachFittedType)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 3);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 3);
    b.dialogAnswer = [&] { b.accept(LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960And53961, 3); };
    b.connection.ConfigureFromMenu();
    EXPECT_FALSE(b.link.DaisyChainMode);
    EXPECT_EQ(b.link.DeviceCount1, 1);
    EXPECT_EQ(b.link.DeviceCount2, 1);
    EXPECT_EQ(b.lamp(LampId::Pres1), kLampGreen);
    EXPECT_EQ(b.shown.back(), "connected 0");
}

TEST(Connection, OkLetsPendingEventsRunOnceBeforeItRebuildsTheTabs)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 1);
    b.t.pump.hook = [&b] { b.shown.push_back("yield"); };
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 1);
    ASSERT_GE(b.shown.size(), 3u);
    // OK's own yield, the tabs, then the yield the connect starts with.
    EXPECT_EQ(std::vector<std::string>(b.shown.begin(), b.shown.begin() + 3),
              (std::vector<std::string>{"yield", "tabs", "yield"}));
}

// OK's own steps fail: the box names OK, the configuration counts as not
// accepted and nothing connects, on both roads to the dialog.
TEST(Connection, AFailureInOkIsReportedAsOksAndConnectShowsTheDialogAgain)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 2);
    const std::string okFailed =
        "Error in OKButton_Click Err.Number = 9, Err.Description = Subscript out of range";
    const size_t before = b.board->requests.size();
    b.failingStep = "tabs";
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 2);
    EXPECT_EQ(b.t.prompter.texts(), (std::vector<std::string>{okFailed}));
    EXPECT_FALSE(b.connection.config.done);
    EXPECT_EQ(b.board->requests.size(), before);
    EXPECT_EQ(b.caption, "");
    b.failingStep.clear();
    b.connection.Connect();
    EXPECT_EQ(b.shown.back(), "dialog");

    // From the menu: OK was pressed, so the menu goes on with the link as
    // chosen.
    b.t.prompter.asked.clear();
    b.dialogAnswer = [&b] {
        b.failingStep = "tabs";
        b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 5);
        b.failingStep.clear();
    };
    b.connection.ConfigureFromMenu();
    EXPECT_EQ(b.t.prompter.texts(), (std::vector<std::string>{okFailed}));
    EXPECT_FALSE(b.connection.config.done);
    EXPECT_EQ(b.link.DeviceCount1, 5);
    EXPECT_EQ(b.shown.back(), "connected 0");
}

// A failure inside the connect, the disconnect or the menu's own steps is
// reported by that handler, which ends there; OK, whose last step is the
// connect, has gone through.
TEST(Connection, AFailureInConnectDisconnectOrTheMenuIsReportedByThatHandler)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 2);
    b.failingStep = "daisy 1";
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 2);
    EXPECT_EQ(b.t.prompter.texts(),
              (std::vector<std::string>{"Error in cmdConnect_Click Err.Number = 9, "
                                        "Err.Description = Subscript out of range"}));
    EXPECT_TRUE(b.connection.config.done);
    EXPECT_EQ(b.lamp(LampId::UsbConnected), kLampYellow);  // the state reached so far
    EXPECT_EQ(b.shown.back(), "daisy 1");

    b.t.prompter.asked.clear();
    b.failingStep = "not connected 0";
    b.connection.Disconnect();
    EXPECT_EQ(b.t.prompter.texts(),
              (std::vector<std::string>{"Error in cmdDisconnect_Click Err.Number = 9, "
                                        "Err.Description = Subscript out of range"}));
    EXPECT_FALSE(b.link.EvbConnected());

    b.t.prompter.asked.clear();
    b.dialogAnswer = [&b] {
        b.failingStep.clear();
        b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 5);
        b.failingStep = "daisy 1";
    };
    b.connection.ConfigureFromMenu();
    EXPECT_EQ(b.t.prompter.texts(),
              (std::vector<std::string>{"Error in mnuManualConfig_Click Err.Number = 9, "
                                        "Err.Description = Subscript out of range"}));
    EXPECT_EQ(b.shown.back(), "daisy 1");
}

TEST(Connection, ASingleDeviceLinkSelectsDeviceOne)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 3);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 3);
    b.link.selectDevice(3);
    b.accept(LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960Only, 3);
    EXPECT_EQ(b.link.SelectedDevice, 1);

    // The same when the menu takes a single-device link without identifying.
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 3);
    b.link.selectDevice(2);
    b.dialogAnswer = [&] {
        b.link.selectDevice(2);  // as if the dialog's connect had left it
        b.connection.config.accept({LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960Only, 3});
    };
    b.connection.ConfigureFromMenu();
    EXPECT_EQ(b.link.SelectedDevice, 1);

    // A daisy chain keeps the selection.
    b.link.selectDevice(3);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 3);
    EXPECT_EQ(b.link.SelectedDevice, 3);
}

TEST(Connection, DisconnectWhilePollingStopsPollingAndClosesTheBoard)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 3);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);
    b.poller.setPollingOn(true);
    b.shown.clear();

    b.connection.Disconnect();
    EXPECT_FALSE(b.poller.pollingOn());
    EXPECT_FALSE(b.poller.timerRunning());
    EXPECT_FALSE(b.link.UprPollingEnabled);
    EXPECT_FALSE(b.link.EvbConnected());
    EXPECT_FALSE(b.transport.hasBoard());
    EXPECT_EQ(b.link.DeviceCount1, 3);  // the counts stay
    EXPECT_EQ(b.lamp(LampId::UsbConnected), kLampGrey);
    EXPECT_EQ(b.lamp(LampId::Pres0), kLampGrey);
    EXPECT_EQ(b.shown, (std::vector<std::string>{"not connected 0"}));

    // A poll tick after the disconnect sends nothing.
    const size_t before = b.board->requests.size();
    b.poller.Timer2_Timer();
    EXPECT_EQ(b.board->requests.size(), before);
}

// The main window's load starts a session on the board the start-up form
// opened; its close ends it.
TEST(Connection, ASessionStartsFromTheBoardsClockAndEndsByClosingAConnectedBoard)
{
    ConnectionFixture b;
    b.chain.setDevices(0, 3);
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);
    ASSERT_TRUE(b.link.EvbConnected());
    // A fault device 2 reported is latched: read again, it is not logged again.
    b.chain.device(0, 2).regs[132] = 0x0004;
    auto readFaultStatus = [&b] {
        b.readReg(2, 2, 4);
        return test::Occurrences(b.link.log.faultStatus.text(), "Cell Open Fault");
    };
    ASSERT_EQ(readFaultStatus(), 1);
    ASSERT_EQ(readFaultStatus(), 1);
    ASSERT_NE(b.pipe.transferId(), 0);
    b.pipe.setCommandInProgress(true);
    b.link.definitions.tint25 = 100;

    const size_t before = b.board->requests.size();
    b.connection.startSession();
    // The board's SPI clock is read (report 08) and its list filled.
    ASSERT_GT(b.board->requests.size(), before);
    EXPECT_EQ(b.board->requests[before][1], 0x08);
    EXPECT_FALSE(b.spi.clockEntries.empty());
    EXPECT_TRUE(b.spi.readBack);
    EXPECT_EQ(b.pipe.pipeCommandCode(), 0x15);
    EXPECT_EQ(b.pipe.transferId(), 0);
    EXPECT_FALSE(b.pipe.commandInProgress());
    EXPECT_FALSE(b.transport.PipeOpen);
    EXPECT_EQ(b.link.definitions.tint25, 9217);
    EXPECT_TRUE(b.charts.ChartReady);
    // The board stays open, but is not a connection yet: closing leaves it
    // to the program's end.
    EXPECT_FALSE(b.link.EvbConnected());
    EXPECT_TRUE(b.transport.hasBoard());
    b.connection.endSession();
    EXPECT_TRUE(b.transport.hasBoard());
    EXPECT_FALSE(b.charts.ChartReady);

    // The latch was cleared: the fault still present is reported again.
    b.accept(LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 3);
    EXPECT_EQ(readFaultStatus(), 2);

    // Connected, the close stops the poll timer and closes the board.
    b.charts.ChartReady = true;
    b.connection.Connect();
    ASSERT_TRUE(b.link.EvbConnected());
    b.poller.setPollingOn(true);
    ASSERT_TRUE(b.poller.timerRunning());
    b.connection.endSession();
    EXPECT_FALSE(b.poller.timerRunning());
    EXPECT_FALSE(b.charts.ChartReady);
    EXPECT_FALSE(b.transport.hasBoard());
}

}  // namespace
