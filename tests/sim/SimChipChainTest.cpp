// The simulated chips answer as the chips do: read-all answers byte for
// byte, and single-device answers with the bits above the value driven high.

#include "sim/SimChipChain.h"
#include "support/HexBytes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <iomanip>

namespace {

using namespace kvb::sim;
using Bytes = std::vector<uint8_t>;

std::string hex(const Bytes& bytes)
{
    return kvb::test::HexBytes(bytes);
}

// Every register of pages 1 and 2 holds page << 12 | address << 4 | 5.
int16_t value(int page, int adr) { return static_cast<int16_t>(page << 12 | adr << 4 | 5); }

class SimChain : public ::testing::Test {
protected:
    SimChain()
    {
        chain.setDevices(0, 2);
        chain.setDevices(1, 2);
        for (int type = 0; type < 2; ++type)
            for (int n = 1; n <= 2; ++n) {
                auto& d = chain.device(type, n);
                for (int page = 1; page <= 2; ++page)
                    for (int adr = 0; adr < 64; ++adr)
                        d.regs[page * 64 + adr] = value(page, adr);
                d.balanceBanks.fill(value(2, 0x14));  // what the bank port shows
            }
    }
    std::string daisy(uint8_t select, Bytes request)
    {
        return hex(chain.exchange(0x16, select, request));
    }

    SimChipChain chain{SimRegisterMap::Load("./tabdefs_KVB71853_RevB.csv")};
};

}  // namespace

TEST_F(SimChain, ReadAllAnswersOfTypeZero)
{
    // Voltages of device 1: addresses 12 down to 0.
    EXPECT_EQ(daisy(0x00, {0x11, 0x3C, 0x05}),
              "11 31 0C 57 2D 0B 58 29 0A 52 25 09 5F 21 08 55 1D 07 59 19 06 53 15 05 5E "
              "11 04 54 0D 03 57 09 02 5D 05 01 50 01 00 5A");
    // Temperatures: addresses 22 down to 16.
    EXPECT_EQ(daisy(0x00, {0x11, 0x7C, 0x02}),
              "11 59 16 52 55 15 53 51 14 59 4D 13 5A 49 12 50 45 11 5D 41 10 57");
    // Faults of device 2: addresses 6 down to 0.
    EXPECT_EQ(daisy(0x00, {0x22, 0x3C, 0x01}),
              "22 1A 06 5A 16 05 5C 12 04 56 0E 03 55 0A 02 5F 06 01 52 02 00 58");
    // Setup: addresses 29 down to 16.
    EXPECT_EQ(daisy(0x00, {0x22, 0x7C, 0x06}),
              "22 76 1D 55 72 1C 54 6E 1B 57 6A 1A 5D 66 19 50 62 18 5A 5E 17 56 5A 16 5C "
              "56 15 51 52 14 5B 4E 13 58 4A 12 52 46 11 5F 42 10 55");
}

TEST_F(SimChain, ReadAllAnswersOfTypeOneSkipTheRegistersItLacks)
{
    // Faults: 5, 4, 3, 1, 0 (the type has no register at address 2).
    EXPECT_EQ(daisy(0x40, {0x22, 0x3C, 0x01}), "22 16 05 57 12 04 56 0E 03 55 06 01 52 02 00 58");
    // Setup: 29, 28, 27, 23, 22, 17, 16.
    EXPECT_EQ(daisy(0x40, {0x22, 0x7C, 0x06}),
              "22 76 1D 55 72 1C 54 6E 1B 57 5E 17 56 5A 16 5C 46 11 5F 42 10 55");
    // Type 1 has no voltage block: not-acknowledge from device 2.
    EXPECT_EQ(daisy(0x40, {0x21, 0x3C, 0x03}), "23 2C 00 01");
}

TEST_F(SimChain, SingleDeviceAnswersDriveTheTopBitsHigh)
{
    chain.setDevices(0, 1);
    chain.device(0, 1).regs[150] = 0x3A5A;
    // Read page 2, address 0x16, with two bytes clocked for the answer.
    EXPECT_EQ(hex(chain.exchange(0x15, 0x00, Bytes{0x25, 0x80, 0x00, 0x00})), "25 80 FA 5A");
}
