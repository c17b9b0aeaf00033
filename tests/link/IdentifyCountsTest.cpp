// The identify protocol's fixed counts, held to the exact sequence of
// frames the chain receives: three identify tries with a reset between
// them, three passes with a reset before each further pass, device numbers
// 2 to 14. The frames are the chips' own (identify 03 24 04, reset 13 48 0C,
// identify device n, identify completed 03 27 FE).

#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <sstream>

using namespace kvb;

namespace {

class IdentifyCounts : public ::testing::Test, public test::LinkFixture {
protected:
    // The daisy-chain frames the chips received since the last call, each
    // as hexadecimal bytes.
    std::vector<std::string> framesSent(uint8_t pipeCode = 0x16)
    {
        std::vector<std::string> frames;
        for (size_t i = seen; i < chain.received.size(); ++i) {
            const auto& r = chain.received[i];
            if (r.pipeCode != pipeCode)
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

// Passes each frame on to the chips and notes when it arrived; the answers
// to the first `unansweredIdentifies` identify frames are lost on the way.
struct TimedBus : sim::SimChipBus {
    TimedBus(sim::SimChipBus& to, Clock& time) : chips(to), clock(time) {}
    std::vector<uint8_t> exchange(uint8_t pipeCode, uint8_t select,
                                  std::span<const uint8_t> frame) override
    {
        times.push_back(clock.now().count());
        auto answer = chips.exchange(pipeCode, select, frame);
        const uint8_t identify[] = {0x03, 0x24, 0x04};
        if (unansweredIdentifies > 0 && std::ranges::equal(frame, identify)) {
            --unansweredIdentifies;
            answer.clear();
        }
        return answer;
    }
    sim::SimChipBus& chips;
    Clock& clock;
    std::vector<long long> times;
    int unansweredIdentifies = 0;
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
    // The first two identify tries go unanswered: the third succeeds.
    TimedBus bus(chain, t.clock);
    bus.unansweredIdentifies = 2;
    board->setChipBus(&bus);
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

// Each identify try that is not acknowledged waits 50 ms, resets the chain
// and waits 50 ms again before the next try.
TEST_F(IdentifyCounts, TriesAreFiftyMillisecondsApartAroundTheirReset)
{
    chain.setDevices(0, 3);
    chain.faults.silentFrom[0] = 1;
    TimedBus bus(chain, t.clock);
    board->setChipBus(&bus);
    EXPECT_FALSE(connect(true, 3));
    ASSERT_EQ(framesSent(),
              (std::vector<std::string>{kIdentify, kReset, kIdentify, kReset, kIdentify}));
    ASSERT_EQ(bus.times.size(), 5u);
    for (size_t i = 1; i < bus.times.size(); ++i) {
        const long long gap = bus.times[i] - bus.times[i - 1];
        EXPECT_GE(gap, 50) << "between frames " << i - 1 << " and " << i;
        EXPECT_LT(gap, 50 + 15) << "between frames " << i - 1 << " and " << i;
    }
}

// A further pass starts with the reset and its 50 ms wait.
TEST_F(IdentifyCounts, AFurtherPassWaitsFiftyMillisecondsAfterItsReset)
{
    chain.setDevices(0, 3);
    chain.faults.silentFrom[0] = 3;
    TimedBus bus(chain, t.clock);
    board->setChipBus(&bus);
    EXPECT_FALSE(connect(true, 3));
    const auto frames = framesSent();
    ASSERT_EQ(frames.size(), 11u);
    ASSERT_EQ(frames[3], kReset);
    ASSERT_EQ(bus.times.size(), 11u);
    EXPECT_LT(bus.times[3] - bus.times[2], 15);  // no wait before the reset
    EXPECT_GE(bus.times[4] - bus.times[3], 50);
    EXPECT_LT(bus.times[4] - bus.times[3], 50 + 15);
}

// The single device's test: read the user register, write the pattern, read
// it back, restore the register, read both halves of the serial number.
// Each frame of a readable register carries two zero bytes for its answer.
TEST_F(IdentifyCounts, TheSingleDeviceTestMakesSixExchanges)
{
    ASSERT_TRUE(connect(false, 1));
    EXPECT_EQ(framesSent(0x15),
              (std::vector<std::string>{"25 80 00 00", "A5 BA 5A 00 00", "25 80 00 00",
                                        "A5 80 00 00 00", "26 C0 00 00", "27 00 00 00"}));
}
