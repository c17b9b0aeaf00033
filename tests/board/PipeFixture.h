#pragma once
// One simulated board behind the transport and the chip pipe, with the
// pipe's log lines and stops of polling recorded, for the pipe tests.

#include "app/BoardPrompter.h"
#include "board/ChipPipe.h"
#include "panel/PipeView.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvb::test {

class PipeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        board = usb.plug(t.clock);
        ASSERT_TRUE(transport.InitUsbHidConnection());
        board->requests.clear();
    }

    test::TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    BoardPrompter boardUser{t.services};
    board::HidTransport transport{usb, t.services, boardUser};
    panel::ByteGrid grid;
    // The pipe's host: its log lines and stops of polling recorded; a test
    // may put its own step in place of the count of stops.
    struct RecordedHost final : board::PipeHost {
        PipeFixture& f;
        explicit RecordedHost(PipeFixture& fixture) : f(fixture) {}
        std::function<void()> stopPollingStep;
        void logPipeLine(const std::string& line) override { f.log.push_back(line); }
        void stopPolling() override
        {
            if (stopPollingStep)
                stopPollingStep();
            else
                ++f.pollingStops;
        }
    } host{*this};
    board::ChipPipe pipe{transport, host};
    panel::PipeView view{pipe, grid};
    std::vector<std::string> log;
    int pollingStops = 0;
    const std::vector<uint8_t> readFrame{0x00, 0x22, 0x10, 0x0C};

    // A transfer that ended lost after its two attempts of 51 polls each:
    // one retry line, one stop of polling, one box.
    void expectLostAfterTwoAttempts() const
    {
        EXPECT_EQ(view.display.dwait, " 51");
        EXPECT_EQ(log, (std::vector<std::string>{"Packet Sync: Retry count =  1BQTY  0XID  1RID  0"}));
        EXPECT_EQ(pollingStops, 1);
        ASSERT_EQ(t.prompter.asked.size(), 1u);
        EXPECT_EQ(t.prompter.asked[0].text,
                  "USB Communications lost, Disconnect and Reconnect, Polling Terminated");
    }
};

}  // namespace kvb::test
