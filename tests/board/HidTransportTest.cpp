#include "app/BoardPrompter.h"
#include "board/HidTransport.h"
#include "core/Hex.h"
#include "sim/SimBoard.h"
#include "support/ReportBufferAccess.h"
#include "support/ReportBytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::board;

namespace {

class TransportTest : public ::testing::Test {
protected:
    test::TestServices t;
    sim::SimHidBackend usb;
    BoardPrompter boardUser{t.services};
    HidTransport transport{usb, t.services, boardUser};
};

TEST_F(TransportTest, OpensEveryMatchingBoardAndMakesTheFirstCurrent)
{
    auto first = usb.plug(t.clock);
    usb.plug(t.clock, 0x1234);  // right vendor, foreign product
    auto second = usb.plug(t.clock);
    int refills = 0;
    struct Refills final : BoardListWatcher {
        int& n;
        explicit Refills(int& count) : n(count) {}
        void boardListChanged() override { ++n; }
    } watcher{refills};
    transport.watchBoardList(watcher);

    ASSERT_TRUE(transport.InitUsbHidConnection());
    EXPECT_EQ(transport.boardCount(), 2u);
    EXPECT_EQ(transport.currentBoard(), 0);
    EXPECT_EQ(usb.opens(), 2);  // the foreign device is never opened
    EXPECT_TRUE(transport.EvbConnected);
    EXPECT_TRUE(transport.PipeOpen);
    EXPECT_EQ(transport.UsbCheckAnswer, 1);
    EXPECT_EQ(refills, 2);

    EXPECT_TRUE(transport.SetCommand(HidLeds, {3}));
    EXPECT_EQ(first->leds, 3);
    ASSERT_TRUE(transport.selectBoard(1));
    EXPECT_TRUE(transport.SetCommand(HidLeds, {2}));
    EXPECT_EQ(second->leds, 2);
    EXPECT_FALSE(transport.selectBoard(2));
}

TEST_F(TransportTest, BoardPluggedInAfterRetryIsInstanceZero)
{
    t.prompter.script = {Answer::Retry, Answer::Retry};
    t.prompter.onAsk = [&](const test::AskedBox&) {
        if (t.prompter.asked.size() == 2)
            usb.plug(t.clock);
    };

    ASSERT_TRUE(transport.InitUsbHidConnection());
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Please check USB connection.\nDravonel HID USB (PID 2035)  KVB71853  Evaluation "
              "Board not found.");
    EXPECT_EQ(t.prompter.asked[0].title, "KVB71853  Evaluation Board");
    EXPECT_EQ(t.prompter.asked[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(transport.boardCount(), 1u);
    EXPECT_EQ(transport.currentBoard(), 0);
    EXPECT_FALSE(t.programEnd.ending());
}

TEST_F(TransportTest, CancelWhenNoBoardEndsTheProgramInOrder)
{
    bool closed = false;
    t.programEnd.onShutdown([&] { closed = true; });
    t.prompter.script = {Answer::Cancel};

    EXPECT_FALSE(transport.InitUsbHidConnection());
    EXPECT_TRUE(t.programEnd.ending());
    EXPECT_TRUE(closed);
    EXPECT_EQ(t.programEnd.quits, 1);
    EXPECT_FALSE(transport.EvbConnected);
    EXPECT_EQ(transport.UsbCheckAnswer, static_cast<int>(Answer::Cancel));
}

TEST_F(TransportTest, QueryStatusFollowsTheErrorByteAndTheWait)
{
    auto board = usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());

    EXPECT_EQ(transport.Query(HidSpiClock), Status::Done);
    EXPECT_EQ(board::ReportBufferAccess::of(transport)[2], sim::SimBoard::kSystemClockMhz);
    const Report& sent = board->requests.back();
    EXPECT_EQ(sent[0], 1);
    EXPECT_EQ(sent[1], HidSpiClock);
    EXPECT_EQ(sent[2], kSubGet);

    board->faults.errorByte = true;
    EXPECT_EQ(transport.Query(HidSpiClock), Status::Refused);
    board->faults.errorByte = false;

    // No answer: the wait is bounded, then the connection box; Retry
    // searches again and finds the board.
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    auto before = t.clock.now();
    EXPECT_EQ(transport.Query(HidSpiClock), Status::TimedOut);
    EXPECT_GE((t.clock.now() - before).count(), kAnswerWaitMs);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Please check USB connection.\ncheckStatus");
    EXPECT_TRUE(transport.hasBoard());
    EXPECT_FALSE(t.programEnd.ending());
}

TEST_F(TransportTest, FailedWriteIsReportedAndCancelEndsTheProgram)
{
    auto board = usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());
    board->faults.failWrite = true;
    t.prompter.script = {Answer::Cancel};

    EXPECT_FALSE(transport.SetCommand(HidLeds, {1}));
    EXPECT_TRUE(t.programEnd.ending());
    EXPECT_TRUE(board->requests.empty());
}

TEST_F(TransportTest, FlushConsumesEveryWaitingReportAndStopsAtTheFirstTimeout)
{
    auto board = usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());
    for (int i = 0; i < 3; ++i)
        board->queueReport(Report{});
    auto before = t.clock.now();

    transport.FlushHidInput();

    EXPECT_EQ(board->pendingReports(), 0u);
    EXPECT_EQ((t.clock.now() - before).count(), 1);  // one 1 ms probe ran dry
}

TEST_F(TransportTest, FlushWithoutABoardEnds)
{
    // Returns at once, not spinning or waiting, and leaves the buffer alone.
    board::ReportBufferAccess::of(transport).fill(0xAB);
    const auto start = t.clock.now();
    transport.FlushHidInput();
    EXPECT_EQ(t.clock.now(), start);
    EXPECT_EQ(board::ReportBufferAccess::of(transport)[63], 0xAB);
    EXPECT_EQ(board::ReportBufferAccess::of(transport)[1], 0xAB);
}

TEST_F(TransportTest, StatusReactions)
{
    usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());

    t.prompter.script = {Answer::Retry};
    transport.HandleHidStatus(Status::WriteFailed, false);
    EXPECT_EQ(t.prompter.asked.back().text, "Please check USB connection.WriteFile error.");
    t.prompter.script = {Answer::Retry};
    transport.HandleHidStatus(Status::TimedOut, true);
    EXPECT_EQ(t.prompter.asked.back().text, "Please check USB connection.ReadFile error.");

    transport.HandleHidStatus(Status::Refused, true);
    transport.HandleHidStatus(Status::Done, false);
    EXPECT_EQ(t.prompter.asked.size(), 2u);

    t.prompter.script = {Answer::Retry};
    transport.HandleHidStatus(Status::Refused, false);
    EXPECT_EQ(t.prompter.asked.back().text,
              "Invalid I2C address. Press Retry to return to GUI and enter valid address or "
              "Cancel to close GUI.");
    EXPECT_FALSE(t.programEnd.ending());
    t.prompter.script = {Answer::Cancel};
    transport.HandleHidStatus(Status::Refused, false);
    EXPECT_TRUE(t.programEnd.ending());
}

TEST_F(TransportTest, I2cTransfersReachTheSlaveAndRefuseWhatDoesNotFit)
{
    auto board = usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());
    const uint8_t reg[] = {0x10};
    const uint8_t data[] = {0xDE, 0xAD, 0xBE};

    // The buffer is not cleared first: bytes past the request keep what it
    // held. Byte 0 is the report number even after an exchange that left
    // it 0 (a lost answer, a timed-out query).
    Report& buffer = board::ReportBufferAccess::of(transport);
    buffer.fill(0xEE);
    buffer[0] = 0;
    EXPECT_EQ(transport.I2cWrite(0x50, 3, data, reg), Status::Done);
    EXPECT_EQ(board->i2cMemory[0x11], 0xAD);
    const Report write = board->requests.back();
    EXPECT_EQ(test::Head(write, 10),
              (std::vector<int>{0x01, 0x06, 0x50, 0x03, 0x01, 0x10, 0xDE, 0xAD, 0xBE, 0xEE}));
    EXPECT_EQ(write[63], 0xEE);

    uint8_t back[3] = {};
    buffer.fill(0xEE);
    buffer[0] = 0;
    EXPECT_EQ(transport.I2cRead(0x50, 3, back, reg), Status::Done);
    const Report read = board->requests.back();
    EXPECT_EQ(test::Head(read, 7), (std::vector<int>{0x01, 0x06, 0x51, 0x03, 0x01, 0x10, 0xEE}));
    EXPECT_EQ(back[2], 0xBE);

    // Another address is not acknowledged.
    EXPECT_EQ(transport.I2cReadWithRetry(0x52, 1, back, reg, true), Status::Refused);
    EXPECT_TRUE(t.prompter.asked.empty());

    size_t sent = board->requests.size();
    uint8_t big[64] = {};
    EXPECT_EQ(transport.I2cRead(0x50, 0, back, reg), Status::Refused);
    EXPECT_EQ(transport.I2cWrite(0x50, 59, big, reg), Status::Refused);
    EXPECT_EQ(board->requests.size(), sent);
}

TEST_F(TransportTest, I2cRetryWrapperRepeatsAfterReconnect)
{
    auto board = usb.plug(t.clock);
    ASSERT_TRUE(transport.InitUsbHidConnection());
    board->faults.dropAnswers = 1;
    t.prompter.script = {Answer::Retry};
    const uint8_t reg[] = {0};
    uint8_t back[1] = {};

    EXPECT_EQ(transport.I2cReadWithRetry(0x50, 1, back, reg, false), Status::Done);
    EXPECT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(board->requests.size(), 2u);
}

TEST_F(TransportTest, DelayUsesTheMonotonicClockAndKeepsWindowsAlive)
{
    auto before = t.clock.now();
    transport.Delay(0.5);
    auto waited = (t.clock.now() - before).count();
    EXPECT_GE(waited, 500);
    EXPECT_LT(waited, 510);
    EXPECT_GE(t.pump.yields, 125);

    before = t.clock.now();
    transport.Delay(0);
    transport.Delay(-1);
    EXPECT_EQ(t.clock.now(), before);
}

TEST(HexText, ConversionsOfTheBoardPanel)
{
    EXPECT_EQ(ByteToHex2(10), "0A");
    EXPECT_EQ(ByteToHex2(255), "FF");
    EXPECT_EQ(HexStrToInt("1F"), 31);
    EXPECT_EQ(HexStrToInt("xyz"), 0);
    EXPECT_EQ(HexStrToInt("FFFF"), -1);
    EXPECT_EQ(HexStrToInt("10000"), 0);
    EXPECT_EQ(HexStrToInt(""), 0);
    EXPECT_EQ(SignedText(3), " 3");
    EXPECT_EQ(SignedText(-3), "-3");
    EXPECT_EQ(ParseDec("300", 255), std::nullopt);
    EXPECT_EQ(ParseHex(" 3c ", 255), 0x3Cu);
}

}  // namespace
