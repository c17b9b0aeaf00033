// The fault scan compares the fault status the chips reported. Wherever
// the program zeroes the image (new definitions, Clear All Faults), those
// reports go with it, so a fault that is still present is reported again.

#include "app/CommandFixture.h"
#include "link/RegisterDefinitionFile.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

using link::ChipMessage;

class ReportedFaults : public CommandFixture, public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connect(true, 2));
        // Device 2's battery connection is open and stays open.
        chain.device(0, 2).faultCauses = 0x100;
        chain.raiseFault(0, 2, 0x100);
    }
    void read(uint8_t adr)
    {
        ChipMessage m(2, 2, adr, 0, 0);
        link.ReadSingleReg(m);
    }
    int reports(const std::string& text) const
    {
        int n = 0;
        const std::string& lines = link.log.faultStatus.text();
        for (size_t at = 0; (at = lines.find(text, at)) != std::string::npos; at += text.size())
            ++n;
        return n;
    }
    static constexpr const char* kVbatOpen = "    KVB71853 device 2 VBAT Open Fault\r\n";
};

TEST_F(ReportedFaults, NewDefinitionsForgetThemAndAPresentFaultIsReportedAgain)
{
    read(0x04);
    read(0x04);
    ASSERT_EQ(reports(kVbatOpen), 1);

    ASSERT_TRUE(link::LoadTabdefs(t.services, std::string("./") + link::kTabdefsFileName,
                                  link.definitions, link.image, nullptr)
                    .ok());
    read(0x00);  // any answer: the scan sees the zeroed fault status
    EXPECT_EQ(reports(kVbatOpen), 1);
    read(0x04);
    EXPECT_EQ(reports(kVbatOpen), 2);
}

TEST_F(ReportedFaults, ClearAllFaultsForgetsThemAndAPresentFaultIsReportedAgain)
{
    read(0x04);
    ASSERT_EQ(reports(kVbatOpen), 1);

    commands.cbClearAllFaults_Click();
    EXPECT_EQ(link.image.at(0, 2, 132), 0);
    EXPECT_EQ(chain.device(0, 2).regs[132], 0x100);  // the chip keeps it
    EXPECT_EQ(reports(kVbatOpen), 1);
    read(0x00);
    EXPECT_EQ(reports(kVbatOpen), 1);
    read(0x04);
    EXPECT_EQ(reports(kVbatOpen), 2);

    // A fault that went away is not reported.
    chain.device(0, 2).faultCauses = 0;
    commands.cbClearAllFaults_Click();
    read(0x00);
    read(0x04);
    EXPECT_EQ(reports(kVbatOpen), 2);
}

}  // namespace
}  // namespace kvb::test
