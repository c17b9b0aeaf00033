#include "panel/PanelFixture.h"
#include "panel/RegistersFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using Bytes = std::vector<uint8_t>;

namespace {

std::optional<Bytes> parse(const std::string& text, int count)
{
    std::istringstream in(text);
    return ReadRegistersList(in, count);
}

TEST(RegistersList, ParsesItemsAndRefusesBadLists)
{
    EXPECT_EQ(parse("generic, 0x12\nabc,0x7\n", 3), (Bytes{0x12, 0x00, 0x07}));
    EXPECT_EQ(parse("generic,0x1234,\"a,b\",0xfF", 3), (Bytes{0x12, 0x00, 0xFF}));
    EXPECT_EQ(parse("generic\r\n0x01\r\n\r\n0x02\r\n", 2), (Bytes{0x01, 0x02}));
    EXPECT_EQ(parse("generic,,0x02", 2), (Bytes{0x00, 0x02}));  // an empty field is an item
    EXPECT_FALSE(parse("Generic,0x12", 1));
    EXPECT_FALSE(parse("generics,0x12", 1));
    EXPECT_FALSE(parse("generic,0x12", 2));
    EXPECT_FALSE(parse("generic,0xZZ", 1));
    EXPECT_FALSE(parse("generic,0x", 1));
}

TEST(RegistersList, AnItemIsJudgedWholeWhateverBlanksStandInsideIt)
{
    EXPECT_FALSE(parse("generic x,0x12", 1));
    EXPECT_FALSE(parse("generic,0x1 x", 1));
    EXPECT_FALSE(parse("generic,0x1      x", 1));
    EXPECT_FALSE(parse("generic,0x 1", 1));
    // Blanks around an item are no part of it.
    EXPECT_EQ(parse("  generic  ,  0x1      \r\n0x2 ,0x3", 3), (Bytes{0x01, 0x02, 0x03}));
    // Past the fourth character nothing counts, blanks included.
    EXPECT_EQ(parse("generic,0x12 x,0x34      y", 2), (Bytes{0x12, 0x34}));
}

TEST(RegistersList, StopsReadingAfterTheLastItemItNeeds)
{
    // Items after the Nth are not read: a bad one there refuses nothing, and
    // the rest of a big file stays unread.
    std::istringstream in("generic,0x12,0x34\r\n0xZZ," + std::string(100000, 'x'));
    EXPECT_EQ(ReadRegistersList(in, 2), (Bytes{0x12, 0x34}));
    EXPECT_EQ(in.tellg(), 19);
}

// The panel's transfers reading the list from a file of the test's own.
class RegistersFileTest : public test::PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        grid().registersFile = path;
        grid().fileWriteData = true;
    }
    void TearDown() override { std::filesystem::remove(path); }

    void writeList(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    // Four bytes from the file to registers 10..13 of the I2C slave.
    void writeFourToRegisterTen()
    {
        board->i2cMemory.fill(0xEE);
        i2cBlockWrite("10", "4");
    }
    Bytes slaveRegisters(int first, int count) const
    {
        return Bytes(board->i2cMemory.begin() + first, board->i2cMemory.begin() + first + count);
    }

    std::string path =
        ::testing::TempDir() + "kvb_registers_" + std::to_string(::getpid()) + ".txt";
};

TEST_F(RegistersFileTest, EachLineEndIsOneBreakForTheI2cBlockWrite)
{
    for (const std::string end : {"\r", "\n", "\r\n"}) {
        writeList("generic" + end + "0x12" + end + "0x34" + end + "0x56" + end + "0x78" + end);
        writeFourToRegisterTen();
        EXPECT_EQ(slaveRegisters(0x0F, 6), (Bytes{0xEE, 0x12, 0x34, 0x56, 0x78, 0xEE}))
            << testing::PrintToString(end);
    }
    // A quoted item before a lone CR keeps the items after it.
    writeList("generic\r\"0x12\"\r0x34\r\"0x56\" \r0x78\r");
    writeFourToRegisterTen();
    EXPECT_EQ(slaveRegisters(0x10, 4), (Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(RegistersFileTest, TheRawSpiWriteAndTheFillReadCrOnlyFilesAlike)
{
    writeList("generic\r0xA1\r0xB2\r0xC3\r");
    grid().numToWrite = "3";
    panel().spi.phaseChangeByte = "0";
    panel().spi.spiWrite();
    const Report r = sent(HidSpiPipeDaisyChain).back();
    EXPECT_EQ((Bytes{r[6], r[7], r[8], r[9]}), (Bytes{3, 0xA1, 0xB2, 0xC3}));

    panel().i2c.fillOption = 0;  // "File"
    panel().i2c.fillWriteBoxes();
    EXPECT_EQ(grid().writeVal[0], "A1");
    EXPECT_EQ(grid().writeVal[2], "C3");
    EXPECT_EQ(grid().writeVal[3], "00");
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(RegistersFileTest, ARefusedFileSendsNothingAndSaysSo)
{
    const std::string folder = ::testing::TempDir();
    for (const std::string& list : {std::string("generic\r0x12\r0x34\r0x56\r"),  // three of four
                                    std::string("generic\r\n0x12\r\n0xZZ\r\n0x1\r\n0x2"),
                                    std::string("Generic\n0x12\n0x34\n0x56\n0x78\n")}) {
        writeList(list);
        t.prompter.asked.clear();
        board->requests.clear();
        writeFourToRegisterTen();
        EXPECT_TRUE(sent(HidI2cTransfer).empty()) << list;
        ASSERT_EQ(t.prompter.asked.size(), 1u) << list;
        EXPECT_EQ(t.prompter.asked[0].text, "Register file does not exist or is invalid");
        EXPECT_EQ(t.prompter.asked[0].title, "Error");
    }
    // A missing file, and a folder in the file's place.
    for (const std::string& other : {path + ".missing", folder}) {
        grid().registersFile = other;
        t.prompter.asked.clear();
        board->requests.clear();
        writeFourToRegisterTen();
        EXPECT_TRUE(sent(HidI2cTransfer).empty()) << other;
        EXPECT_EQ(t.prompter.asked.size(), 1u) << other;
    }
}

}  // namespace
