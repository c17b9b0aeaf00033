#include "core/UnexpectedError.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <stdexcept>

using namespace kvb;

TEST(RunHandler, AFailureEndsTheHandlerWithTheCommonBoxAndNothingElse)
{
    test::ScriptedPrompter prompter;
    bool after = false;
    EXPECT_FALSE(RunHandler(prompter, "cbRead_Click", [&] {
        throw std::out_of_range("Subscript out of range");
        after = true;
    }));
    EXPECT_FALSE(after);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text,
              "Error in cbRead_Click Err.Number = 9, Err.Description = Subscript out of range");
    EXPECT_EQ(prompter.asked[0].title, "KVB71853 Evaluation Software");
    EXPECT_EQ(prompter.asked[0].buttons, Buttons::Ok);
}

TEST(RunHandler, AHandlerThatFinishesIsNotReported)
{
    test::ScriptedPrompter prompter;
    int runs = 0;
    EXPECT_TRUE(RunHandler(prompter, "Timer2_Timer", [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    // A result passes through; the failure value is only for a failure.
    EXPECT_FALSE(RunHandler(prompter, "WriteSingleReg", true, [] { return false; }));
    EXPECT_EQ(RunHandler(prompter, "cbMainTabBalCtrl_Click", std::optional<bool>{},
                         []() -> std::optional<bool> { return true; }),
              std::optional<bool>(true));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST(RunHandler, AFailingHandlerWithAResultGivesTheFailureValue)
{
    test::ScriptedPrompter prompter;
    const bool result = RunHandler(prompter, "WriteSingleReg", false, []() -> bool {
        throw std::overflow_error("Overflow");
    });
    EXPECT_FALSE(result);
    // A loop that goes on after a failure gets its own value back.
    EXPECT_TRUE(RunHandler(prompter, "cbRead_Click", true,
                           []() -> bool { throw std::runtime_error("Disk full"); }));
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].text,
              "Error in WriteSingleReg Err.Number = 6, Err.Description = Overflow");
    EXPECT_EQ(prompter.asked[1].text,
              "Error in cbRead_Click Err.Number = 5, Err.Description = Disk full");
}

TEST(RunHandler, OutOfMemoryIsNumberSeven)
{
    test::ScriptedPrompter prompter;
    RunHandler(prompter, "ParseDaisyChainResponse", [] { throw std::bad_alloc(); });
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text.rfind("Error in ParseDaisyChainResponse Err.Number = 7, ", 0),
              0u);
}
