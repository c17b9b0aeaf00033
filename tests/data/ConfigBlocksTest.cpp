// A saved device configuration and EEPROM/test file line by line: every
// title, in order, and every register line with its category, address and
// the value of the register it is saved from.

#include "data/DeviceConfigFiles.h"
#include "link/LinkFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kvb::test {
namespace {

int16_t mark(int type, int reg)
{
    return static_cast<int16_t>(type * 0x1000 + reg * 5);
}

std::string line(const char* part, const char* cat, int adr, int value)
{
    char text[80];
    std::snprintf(text, sizeof text, "wrt,%s,dev0x01,cat%s,adr0x%02X,dat0x%04X", part, cat, adr,
                  value);
    return text;
}

class ConfigBlocksTest : public LinkFixture, public ::testing::Test {
protected:
    ConfigBlocksTest()
    {
        link.SetFittedParts(true, "KVB71853", "KVB53961");
        link.TakeChosenLink(false, 1, 1);
        for (int bank = 0; bank < 13; ++bank)
            link.image.banks.set(1, bank, static_cast<int16_t>(0x100 + bank));
        for (int type = 0; type < 2; ++type)
            for (int reg = 128; reg < 344; ++reg)
                link.image.store(type, 1, reg, mark(type, reg));
        // Bits outside mode, wait and enable must not reach the bank pointers.
        link.image.at(0, 1, 147) = 0x3FFF;
    }
};

}  // namespace

TEST_F(ConfigBlocksTest, EveryTitleAndRegisterLineOfBothTypes)
{
    const char* p0 = "KVB71853";
    std::vector<std::string> expected = {"", "**** Parameters for 53960 at device address 1 ****"};
    auto single = [&](const std::string& title, int adr, int reg) {
        expected.push_back(title);
        expected.push_back(line(p0, "0x0A", adr, mark(0, reg)));
    };
    single("53960 Fault Setup Register", 0x03, 131);
    single("53960 Cell Setup Register", 0x05, 133);
    single("53960 OV Limit Register", 0x10, 144);
    single("53960 UV Limit Register", 0x11, 145);
    single("53960 ET Limit Register", 0x12, 146);
    expected.push_back("53960 Balance Status Registers");
    for (int bank = 0; bank < 13; ++bank) {
        expected.push_back(line(p0, "0x0A", 0x13, bank * 32 + 0x21F));
        expected.push_back(line(p0, "0x0A", 0x14, 0x100 + bank));
    }
    expected.push_back("53960 Balance Setup Register");
    expected.push_back(line(p0, "0x0A", 0x13, 0x3FFF));
    single("53960 Watchdog and Balance Time Register", 0x15, 149);
    single("53960 User Register 01", 0x16, 150);
    single("53960 User Register 23", 0x17, 151);
    expected.push_back("53960 Balance Value Registers");
    for (int i = 0; i < 24; ++i)
        expected.push_back(line(p0, "0x0A", 0x20 + i, mark(0, 160 + i)));

    const char* p1 = "KVB53961";
    expected.push_back("");
    expected.push_back("**** Parameters for 53961 at device address 1 ****");
    for (const auto& [title, adr] :
         {std::pair{"53961 Scan Setup Register", 0x03},
          std::pair{"53961 Cell Setup Register", 0x05}, std::pair{"53961 User Register 01", 0x16},
          std::pair{"53961 User Register 23", 0x17}}) {
        expected.push_back(title);
        expected.push_back(line(p1, "0x0A", adr, mark(1, 128 + adr)));
    }

    const std::vector<std::string> lines = data::DeviceConfigLines(link);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i;
}

TEST_F(ConfigBlocksTest, EveryEepromAndTestRegisterLine)
{
    std::vector<std::string> expected = {"",
                                         "**** Parameters for 53960 at device address EEPROM1 ****",
                                         "53960 EEPROM Value Registers"};
    for (int a = 0; a < 64; ++a)
        expected.push_back(line("KVB71853", "0x0C", a, mark(0, 256 + a)));
    expected.push_back("53960 Test Value Registers");
    for (int a = 0; a < 24; ++a)
        expected.push_back(line("KVB71853", "0x0D", a, mark(0, 320 + a)));

    const std::vector<std::string> lines = data::EeTestLines(link);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i;
}

}  // namespace kvb::test
