// The pipe's fixed counts, each held to its exact number: 51 polls of an
// attempt (one more or one fewer turns a late answer into a lost one or the
// other way round) and two attempts of a transfer.

#include "board/PipeFixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kvb;
using namespace kvb::board;

namespace {

using PipeCounts = test::PipeFixture;

}  // namespace

// The first read and 51 polls: an answer behind 51 reports of an earlier
// transfer is the last one the attempt reads.
TEST_F(PipeCounts, AnAnswerOnTheFiftyFirstPollIsTaken)
{
    board->faults.staleAnswers = 51;
    const PipeResult r = pipe.transfer(pipe.request(readFrame));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.answer[2], 1);
    EXPECT_EQ(board->requests.size(), 1u);
    EXPECT_EQ(view.display.dwait, " 51");
    EXPECT_TRUE(log.empty());
}

TEST_F(PipeCounts, AnAnswerBehindFiftyTwoStaleReportsIsMissed)
{
    board->faults.staleAnswers = 52;
    const PipeResult r = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(r.status, PipeStatus::SyncError);
    EXPECT_EQ(view.display.dwait, " 51");
    // Two attempts with the same request, one retry line between them.
    ASSERT_EQ(board->requests.size(), 2u);
    EXPECT_EQ(board->requests[0], board->requests[1]);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Packet Sync: Retry count =  1BQTY  0XID  1RID  7");
    EXPECT_EQ(t.prompter.texts(), std::vector<std::string>{"HID Packet Sync Error Retry 2x"});
}

TEST_F(PipeCounts, NoAnswerMakesTwoAttemptsOfFiftyOnePolls)
{
    board->faults.noAnswer = true;
    EXPECT_EQ(pipe.transfer(pipe.request(readFrame)).status, PipeStatus::Lost);
    EXPECT_EQ(board->requests.size(), 2u);
    EXPECT_EQ(view.display.dwait, " 51");
    EXPECT_EQ(log.size(), 1u);
    // Each attempt waits 2 ms after its write and 1 ms per poll (and the
    // drain before it at least one 1 ms probe): 2 x (2 + 51) at least.
    EXPECT_GE(t.clock.slept.count(), 2 * (2 + 51));
    EXPECT_LE(t.clock.slept.count(), 2 * (2 + 51 + 1));

    // The next transfer starts again from the first attempt.
    board->faults.noAnswer = false;
    board->faults.dropAnswers = 1;
    board->requests.clear();
    log.clear();
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    EXPECT_EQ(board->requests.size(), 2u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Packet Sync: Retry count =  1BQTY  0XID  2RID  0");
}

// Each transfer takes the next number; a retry keeps it.
TEST_F(PipeCounts, ARetryKeepsItsNumberAndTheNextTransferTakesTheNext)
{
    board->faults.dropAnswers = 1;
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    ASSERT_EQ(board->requests.size(), 3u);
    EXPECT_EQ(board->requests[0][2], 1);
    EXPECT_EQ(board->requests[1][2], 1);
    EXPECT_EQ(board->requests[2][2], 2);
    for (int i = 3; i <= 7; ++i)
        ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    EXPECT_EQ(board->requests.back()[2], 7);
    ASSERT_TRUE(pipe.transfer(pipe.request(readFrame)).ok());
    EXPECT_EQ(board->requests.back()[2], 1);
}

// Each attempt clears the answer's number before it reads: a foreign
// answer read in the first attempt must not make a second attempt that
// heard nothing look like a sync error. No answer in the last attempt means
// the connection is lost.
TEST_F(PipeCounts, AnAttemptThatHearsNothingIsLostWhateverTheOneBeforeHeard)
{
    board->faults.noAnswer = true;
    int yields = 0;
    t.pump.hook = [&] {
        // The first attempt's yield comes after its drain: a report of
        // another transfer arrives then.
        if (++yields == 2) {
            Report foreign{};
            foreign[0] = 1;
            foreign[2] = 5;
            board->queueReport(foreign);
        }
    };
    const PipeResult r = pipe.transfer(pipe.request(readFrame));
    EXPECT_EQ(r.status, PipeStatus::Lost);
    EXPECT_EQ(r.answer[2], 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Packet Sync: Retry count =  1BQTY  0XID  1RID  5");
    EXPECT_EQ(t.prompter.texts(),
              std::vector<std::string>{
                  "USB Communications lost, Disconnect and Reconnect, Polling Terminated"});
}
