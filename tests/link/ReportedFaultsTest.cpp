// The fault scan compares the fault status the chips reported. Wherever
// the program zeroes the image (new definitions, Clear All Faults), those
// reports go with it, so a fault that is still present is reported again.

#include "app/CommandFixture.h"
#include "link/RegisterDefinitionFile.h"
#include "support/Occurrences.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

class ReportedFaults : public CommandFixture, public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connect(true, 2));
        // Device 2's battery connection is open and stays open.
        chain.device(0, 2).faultCauses = 0x100;
        chain.raiseFault(0, 2, 0x100);
    }
    static constexpr const char* kVbatOpen = "    KVB71853 device 2 VBAT Open Fault\r\n";
};

TEST_F(ReportedFaults, NewDefinitionsForgetThemAndAPresentFaultIsReportedAgain)
{
    readReg(2, 2, 0x04);
    readReg(2, 2, 0x04);
    ASSERT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 1);

    ASSERT_TRUE(link::LoadTabdefs(t.services, std::string("./") + link::kTabdefsFileName,
                                  link.definitions, link.image, nullptr)
                    .ok());
    readReg(2, 2, 0x00);  // any answer: the scan sees the zeroed fault status
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 1);
    readReg(2, 2, 0x04);
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 2);
}

TEST_F(ReportedFaults, ClearAllFaultsForgetsThemAndAPresentFaultIsReportedAgain)
{
    readReg(2, 2, 0x04);
    ASSERT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 1);

    commands.cbClearAllFaults_Click();
    EXPECT_EQ(link.image.at(0, 2, 132), 0);
    EXPECT_EQ(chain.device(0, 2).regs[132], 0x100);  // the chip keeps it
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 1);
    readReg(2, 2, 0x00);
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 1);
    readReg(2, 2, 0x04);
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 2);

    // A fault that went away is not reported.
    chain.device(0, 2).faultCauses = 0;
    commands.cbClearAllFaults_Click();
    readReg(2, 2, 0x00);
    readReg(2, 2, 0x04);
    EXPECT_EQ(Occurrences(link.log.faultStatus.text(), kVbatOpen), 2);
}

}  // namespace
}  // namespace kvb::test
