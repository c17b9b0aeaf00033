#include "board/PipeFixture.h"
#include "support/ReportBufferAccess.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kvb;
using namespace kvb::board;

namespace {

using PipeTest = test::PipeFixture;

TEST_F(PipeTest, TransactionNumbersRunOneToSevenAndWrap)
{
    std::vector<int> ids;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
        ids.push_back(board->requests.back()[2]);
    }
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 1}));
}

TEST_F(PipeTest, RequestCarriesCountSelectByteAndFrame)
{
    pipe.setPipeCommandCode(HidSpiPipeDaisyChain);
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    Report sent = board->requests.back();
    EXPECT_EQ(sent[0], 1);
    EXPECT_EQ(sent[1], 0x16);
    EXPECT_EQ(sent[3], 4);
    EXPECT_EQ(sent[4], 0x00);
    EXPECT_EQ(sent[5], 0x22);
    EXPECT_EQ(sent[6], 0x10);
    EXPECT_EQ(sent[7], 0x0C);
    EXPECT_EQ(sent[8], 0x00);  // the count's last position lies past the frame

    pipe.setCommandInProgress(true);
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    sent = board->requests.back();
    EXPECT_EQ(sent[3], 3);
    EXPECT_EQ(sent[7], 0x0C);
}

TEST_F(PipeTest, AnswerIsHandedBackAndShown)
{
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    ASSERT_TRUE(r.ok());
    // With no chips behind the board the bytes loop back: count + 1.
    EXPECT_EQ(r.rxLength(), 4);
    EXPECT_EQ(r.answer[5], 0x22);
    EXPECT_EQ(board::ReportBufferAccess::of(transport), r.answer);
    EXPECT_EQ(view.display.reportCountSent, " 1");
    EXPECT_EQ(view.display.reportCountReceived, " 1");
    EXPECT_EQ(view.display.dwait, "");  // answered on the first read
    EXPECT_EQ(view.display.writeRaw[1], "16");
    EXPECT_EQ(grid.readVal[2], "01");
    EXPECT_FALSE(pipe.busy());
}

TEST_F(PipeTest, AnswerOfAnEarlierTransferIsReadOver)
{
    board->faults.staleAnswers = 2;
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(board->requests.size(), 1u);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(view.display.dwait, " 2");
}

TEST_F(PipeTest, LostFirstAnswerIsRetriedOnceWithTheSameNumberAndBytes)
{
    board->faults.dropAnswers = 1;
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(board->requests.size(), 2u);
    EXPECT_EQ(board->requests[0], board->requests[1]);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Packet Sync: Retry count =  1BQTY  0XID  1RID  0");
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(PipeTest, ForeignNumbersTwiceAreASyncErrorNeverAnAnswer)
{
    board->faults.wrongTransaction = true;
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(r.status, PipeStatus::SyncError);
    EXPECT_EQ(board->requests.size(), 2u);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "HID Packet Sync Error Retry 2x");
    EXPECT_EQ(pollingStops, 0);
    EXPECT_FALSE(pipe.busy());
}

TEST_F(PipeTest, NoAnswerStopsPollingAndKeepsTheProgramRunning)
{
    board->faults.noAnswer = true;
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(r.status, PipeStatus::Lost);
    EXPECT_EQ(pollingStops, 1);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "USB Communications lost, Disconnect and Reconnect, Polling Terminated");
    EXPECT_FALSE(t.programEnd.ending());
    EXPECT_FALSE(pipe.busy());
    // Two attempts of at most 51 one-millisecond polls each.
    EXPECT_LE(t.clock.slept.count(), 2 * (2 + 51 + 1) + 10);
}

TEST_F(PipeTest, LostBoardStopsPollingBeforeItsBox)
{
    board->faults.noAnswer = true;
    size_t boxesWhenStopped = 99;
    host.stopPollingStep = [&] { boxesWhenStopped = t.prompter.asked.size(); };
    EXPECT_EQ(pipe.transfer(pipe.request(readFrame)).status, PipeStatus::Lost);
    EXPECT_EQ(boxesWhenStopped, 0u);
    EXPECT_EQ(t.prompter.asked.size(), 1u);
}

TEST_F(PipeTest, FailedWriteIsNotLookedAtAndThePollsRunOut)
{
    board->faults.failWrite = true;
    EXPECT_EQ(pipe.transfer(pipe.request(readFrame)).status, PipeStatus::Lost);
    // Two attempts, each with its 51 polls: one retry line, one box.
    expectLostAfterTwoAttempts();
}

TEST_F(PipeTest, BytesPastTheCountKeepWhatTheBufferHeld)
{
    transport.FlushHidInput();
    board::ReportBufferAccess::of(transport).fill(0xA5);
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    const Report sent = board->requests.back();
    // The count's last position lies past the frame and carries 0.
    const std::vector<int> head{0x01, 0x16, 0x01, 0x04, 0x00, 0x22, 0x10, 0x0C, 0x00};
    EXPECT_EQ(std::vector<int>(sent.begin(), sent.begin() + 9), head);
    for (size_t i = 9; i < kReportSize; ++i)
        EXPECT_EQ(sent[i], 0xA5) << i;

    // A retry is built over the buffer again, after its own drain: nothing
    // came in between, so it sends the same report.
    board::ReportBufferAccess::of(transport).fill(0x5A);
    board->faults.dropAnswers = 1;
    board->requests.clear();
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    ASSERT_EQ(board->requests.size(), 2u);
    EXPECT_EQ(board->requests[0], board->requests[1]);
    EXPECT_EQ(board->requests[1][2], 0x02);
    EXPECT_EQ(board->requests[1][9], 0x5A);
    EXPECT_EQ(board->requests[1][63], 0x5A);
}

TEST_F(PipeTest, NestedTransferIsRefusedUntouchedAndTheOuterOneCompletes)
{
    PipeStatus inner = PipeStatus::Done;
    bool once = false;
    t.pump.hook = [&] {
        if (!once) {
            once = true;
            // A type-1 frame asked for inside the outer transfer's wait.
            const std::vector<uint8_t> typeOne{0x40, 0x12, 0x10, 0x0A};
            inner = pipe.transfer(pipe.request(typeOne)).status;
        }
    };
    PipeResult outer = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(inner, PipeStatus::Busy);
    EXPECT_TRUE(outer.ok());
    EXPECT_EQ(board->requests.size(), 1u);
    // The refused transfer took no number and left the select byte alone.
    EXPECT_EQ(pipe.transferId(), 1);
    EXPECT_EQ(pipe.selectByte(), readFrame[0]);
    EXPECT_EQ(outer.answer[2], 1);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "USB Still Busy from previous call, exit comm routine");
    EXPECT_FALSE(t.programEnd.ending());
    EXPECT_FALSE(pipe.busy());
}

TEST_F(PipeTest, WithoutABoardThePipeRunsAndEndsLost)
{
    transport.CloseHidHandles();
    const auto sleptBefore = t.clock.slept;
    PipeResult r = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(r.status, PipeStatus::Lost);
    EXPECT_EQ(pipe.transferId(), 1);
    EXPECT_EQ(view.display.writeRaw[0], "01");
    EXPECT_EQ(view.display.writeRaw[1], "16");
    EXPECT_EQ(view.display.writeRaw[2], "01");
    EXPECT_EQ(view.display.writeRaw[3], "04");
    EXPECT_EQ(view.display.writeRaw[5], "22");
    EXPECT_EQ(view.display.reportCountSent, " 1");
    expectLostAfterTwoAttempts();
    EXPECT_FALSE(pipe.busy());
    // The polls take their time: two attempts of 2 ms and 51 one-millisecond
    // polls each.
    EXPECT_EQ((t.clock.slept - sleptBefore).count(), 2 * (2 + 51));

    // An empty frame is still refused before anything happens.
    EXPECT_EQ(pipe.transfer(pipe.request(std::vector<uint8_t>{})).status, PipeStatus::NotSent);
    EXPECT_EQ(pipe.transferId(), 1);
    EXPECT_EQ(t.prompter.asked.size(), 1u);
}

}  // namespace
