// The board command's bounded wait, held to its exact length: a get
// command without an answer waits 6000 ms for it (after the drain's one
// 1 ms probe), no more and no less.

#include "board/PipeFixture.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::board;

namespace {

using AnswerWait = test::PipeFixture;

}  // namespace

TEST_F(AnswerWait, AMissingAnswerIsAwaitedSixSeconds)
{
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    const auto before = t.clock.now();
    EXPECT_EQ(transport.Query(HidSpiClock), Status::TimedOut);
    EXPECT_EQ((t.clock.now() - before).count(), 1 + 6000);
}

TEST_F(AnswerWait, AnAnswerThatComesIsNotWaitedFor)
{
    const auto before = t.clock.now();
    EXPECT_EQ(transport.Query(HidSpiClock), Status::Done);
    EXPECT_EQ((t.clock.now() - before).count(), 1);  // the drain's probe only
    EXPECT_TRUE(t.prompter.asked.empty());
}
