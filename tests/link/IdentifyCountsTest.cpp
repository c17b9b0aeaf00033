// The identify protocol's fixed counts, held to the exact sequence of
// frames the chain receives: three identify tries with a reset between
// them, three passes with a reset before each further pass, device numbers
// 2 to 14. The frames are the chips' own (identify 03 24 04, reset 13 48 0C,
// identify device n, identify completed 03 27 FE).

#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

using namespace kvb;

namespace {

class IdentifyCounts : public ::testing::Test, public test::LinkFixture {
protected:
    // The daisy-chain frames the chips received since the last call, each
    // as hexadecimal bytes.
    std::vector<std::string> framesSent()
    {
        std::vector<std::string> frames;
        for (size_t i = seen; i < chain.received.size(); ++i) {
            const auto& r = chain.received[i];
            if (r.pipeCode != 0x16)
                continue;
            std::ostringstream out;
            for (size_t b = 0; b < r.frame.size(); ++b)
                out << (b ? " " : "") << std::uppercase << std::hex << std::setw(2)
                    << std::setfill('0') << int(r.frame[b]);
            frames.push_back(out.str());
        }
        seen = chain.received.size();
        return frames;
    }
    size_t seen = 0;
};

const std::string kIdentify = "03 24 04";
const std::string kReset = "13 48 0C";
const std::string kCompleted = "03 27 FE";

}  // namespace

TEST_F(IdentifyCounts, AWholeChainIsNumberedOnceWithoutAReset)
{
    ASSERT_TRUE(connect(true, 3));
    EXPECT_EQ(framesSent(),
              (std::vector<std::string>{kIdentify, "03 24 26", "03 24 37", kCompleted}));
}

TEST_F(IdentifyCounts, FourteenDevicesAreNumberedUpToFourteen)
{
    ASSERT_TRUE(connect(true, 14));
    const auto frames = framesSent();
    ASSERT_EQ(frames.size(), 15u);  // identify, devices 2 to 14, completed
    EXPECT_EQ(frames[0], kIdentify);
    EXPECT_EQ(frames[1], "03 24 26");
    EXPECT_EQ(frames[13], "03 24 EA");  // device 14
    EXPECT_EQ(frames[14], kCompleted);
    EXPECT_EQ(link.DeviceCount1, 14);
}

TEST_F(IdentifyCounts, ThreeIdentifyTriesWithAResetBetweenThem)
{
    chain.faults.silentFrom[0] = 1;  // nobody answers
    EXPECT_FALSE(connect(true, 3));
    EXPECT_EQ(framesSent(),
              (std::vector<std::string>{kIdentify, kReset, kIdentify, kReset, kIdentify}));
    EXPECT_EQ(link.DeviceCount1, 0);
    EXPECT_TRUE(logHas("IdentifyDaisyChain: KVB71853 did not respond with ACK\r\n"));
}

TEST_F(IdentifyCounts, TheThirdTryIsStillTaken)
{
    // The first two identify acknowledges fail their CRC (and the first
    // reset's acknowledge between them): the third try succeeds.
    chain.faults.corruptCrc = 3;
    ASSERT_TRUE(connect(true, 2));
    EXPECT_EQ(framesSent(), (std::vector<std::string>{kIdentify, kReset, kIdentify, kReset,
                                                      kIdentify, "03 24 26", kCompleted}));
    EXPECT_EQ(link.DeviceCount1, 2);
}

TEST_F(IdentifyCounts, ThreePassesThenTheChainIsGivenUp)
{
    chain.faults.silentFrom[0] = 3;  // the third of three devices is silent
    EXPECT_FALSE(connect(true, 3));
    const std::vector<std::string> pass{kIdentify, "03 24 26", "03 24 37"};
    std::vector<std::string> expected = pass;
    for (int i = 0; i < 2; ++i) {
        expected.push_back(kReset);
        expected.insert(expected.end(), pass.begin(), pass.end());
    }
    EXPECT_EQ(framesSent(), expected);
    EXPECT_EQ(link.DeviceCount1, 2);
    EXPECT_TRUE(logHas("IdentifyDaisyChain: KVB71853 responded incorrectly to Identify command"));
}

// A count found by an earlier connect never survives a new one.
TEST_F(IdentifyCounts, AReconnectStartsBothCountsAfresh)
{
    ASSERT_TRUE(connect(true, 3, 2));
    EXPECT_EQ(link.DeviceCount1, 3);
    EXPECT_EQ(link.DeviceCount2, 2);
    ASSERT_TRUE(connect(true, 2, 0));
    EXPECT_EQ(link.DeviceCount1, 2);
    EXPECT_EQ(link.DeviceCount2, 0);
}
