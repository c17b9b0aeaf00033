// An unexpected error that ends an answer's parse is shown once, in the
// parser's own box, and the read or write that carried the answer reports
// failure, so that nothing is built on a half-parsed answer.

#include "app/BalanceAccess.h"
#include "app/CommandFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kvb::test {
namespace {

using link::ChipMessage;

class ParseFailure : public CommandFixture, public ::testing::Test {
protected:
    void breakMainTab()
    {
        view.refreshMainTabStep = [] { throw std::out_of_range("boom"); };
    }
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> out;
        for (const auto& box : t.prompter.asked)
            out.push_back(box.text);
        return out;
    }
};

TEST_F(ParseFailure, ADaisyChainReadOrWriteWhoseParseFailedIsFalseAfterOneBox)
{
    ASSERT_TRUE(connect(true, 2));
    ASSERT_TRUE(readReg(1, 2, 0x04));  // answered and parsed: true
    ChipMessage clean(1, 2, 0x16, 0x0123, 0);
    ASSERT_TRUE(link.WriteSingleReg(clean));
    ASSERT_TRUE(t.prompter.asked.empty());

    breakMainTab();
    EXPECT_FALSE(readReg(1, 2, 0x04));
    EXPECT_EQ(boxes(),
              std::vector<std::string>{
                  "Error in ParseDaisyChainResponse Err.Number = 9, Err.Description = boom"});

    ChipMessage write(1, 2, 0x16, 0x0124, 0);
    EXPECT_FALSE(link.WriteSingleReg(write));
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1],
              "Error in ParseDaisyChainResponse Err.Number = 9, Err.Description = boom");
    EXPECT_EQ(pipe.busy(), false);
    EXPECT_EQ(link.pauseDepth(), 0);

    // The hook mended, the next read is true again.
    view.refreshMainTabStep = nullptr;
    EXPECT_TRUE(readReg(1, 2, 0x04));
}

TEST_F(ParseFailure, ASingleDeviceReadWhoseParseFailedIsFalseAfterOneBox)
{
    ASSERT_TRUE(connect(false, 1));
    chain.device(0, 1).regs[130] = 0x0123;
    ASSERT_TRUE(readReg(0, 2, 0x02));
    breakMainTab();
    EXPECT_FALSE(readReg(0, 2, 0x02));
    EXPECT_EQ(boxes(),
              std::vector<std::string>{
                  "Error in ParseNonDaisyChainResponse Err.Number = 9, Err.Description = boom"});
}

TEST_F(ParseFailure, AReadModifyWriteStopsAtAFailedParse)
{
    ASSERT_TRUE(connect(true, 2));
    breakMainTab();
    const size_t before = chain.received.size();
    EXPECT_FALSE(ReadModifyWrite(link, 1, 0x13, [](int16_t v) { return v | 0x0001; }));
    EXPECT_EQ(chain.received.size(), before + 1);  // the read went out, no write
    EXPECT_EQ(boxes().size(), 1u);

    // The chip commands' send-and-parse reports it too.
    ChipMessage m(1, 2, 0x04, 0, 0);
    EXPECT_FALSE(link.SendAndParse(m));
    EXPECT_EQ(boxes().size(), 2u);
}

}  // namespace
}  // namespace kvb::test
