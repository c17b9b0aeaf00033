// The fault scan over its whole range: every one of the fourteen bits, of
// every device slot 0 to 15, of both device types, reported in device, bit,
// type order.

#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvb::test {
namespace {

class FaultScanBits : public ::testing::Test, public LinkFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connect(true, 1, 1));
        for (int type = 0; type < 2; ++type)
            for (int b = 0; b < 14; ++b)
                link.definitions.regs[type][132].bitNames[b] = "B" + std::to_string(b);
        t.format.date = "D";
        t.format.time = "T";
    }

    // Any answer runs the scan over every slot.
    std::vector<std::string> scan()
    {
        const size_t before = link.log.faultStatus.text().size();
        readReg(1, 2, 0x16);
        std::vector<std::string> lines;
        std::string text = link.log.faultStatus.text().substr(before);
        for (size_t end; (end = text.find("\r\n")) != std::string::npos; text.erase(0, end + 2))
            lines.push_back(text.substr(0, end));
        return lines;
    }
};

}  // namespace

TEST_F(FaultScanBits, EveryBitOfEveryDeviceOfBothTypes)
{
    // All bits of device 0 (type 0) and of device 15 (type 1).
    link.image.store(0, 0, 132, 0x3FFF);
    link.image.store(1, 15, 132, 0x3FFF);
    std::vector<std::string> expected;
    for (int b = 0; b < 14; ++b)
        expected.push_back("D T    KVB71853 device 0 B" + std::to_string(b) + " Fault");
    for (int b = 0; b < 14; ++b)
        expected.push_back("D T    KVB53961 device 15 B" + std::to_string(b) + " Fault");
    EXPECT_EQ(scan(), expected);

    // Devices 1 to 14 each with bit d - 1 of type 0 and bit 14 - d of type 1;
    // the bits above 13 are no faults.
    expected.clear();
    for (int d = 1; d <= 14; ++d) {
        link.image.store(0, d, 132, static_cast<int16_t>(0xC000 | 1 << (d - 1)));
        link.image.store(1, d, 132, static_cast<int16_t>(1 << (14 - d)));
        const std::string device = " device " + std::to_string(d) + " B";
        const int b0 = d - 1, b1 = 14 - d;
        const std::string line0 = "D T    KVB71853" + device + std::to_string(b0) + " Fault";
        const std::string line1 = "D T    KVB53961" + device + std::to_string(b1) + " Fault";
        if (b0 <= b1) {
            expected.push_back(line0);
            expected.push_back(line1);
        } else {
            expected.push_back(line1);
            expected.push_back(line0);
        }
    }
    EXPECT_EQ(scan(), expected);
}

}  // namespace kvb::test
