// Register rows read and written alone and as a group, on both links.

#include "CommandFixture.h"

#include <gtest/gtest.h>

using namespace kvb;

namespace {

class RowActions : public ::testing::Test, public test::CommandFixture {
protected:
    void SetUp() override
    {
        auto& defs = link.definitions;
        defs.regs[0][200].kind = link::KindCommandData;
        defs.tabNames[0][0] = "Limits";
        // Rows: read/write, read-only, command, read-all, command with data,
        // empty, read/write.
        defs.tabRegisters[0][0] = {144, 64, 193, 143, 200, -1, 145, -1};
    }

    void show(int device) { ASSERT_TRUE(rows.showTab(0, 0, device)); }
};

}  // namespace

TEST_F(RowActions, DaisyChainRowReadAndWrite)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    show(2);
    chain.device(0, 2).regs[144] = 0x155;
    rowActions.cbRead_Click(0);
    EXPECT_EQ(lines("cmd,"),
              std::vector<std::string>{"cmd,KVB71853,dev0x02,cat0x02,adr0x10,dat0x00"});
    EXPECT_EQ(link.image.at(0, 2, 144), 0x155);

    link.image.at(0, 2, 144) = 0x1F40;  // as the row's editors store it
    rowActions.cbWrite_Click(0);
    EXPECT_EQ(lines("wrt,"),
              std::vector<std::string>{"wrt,KVB71853,dev0x02,cat0x0A,adr0x10,dat0x1F40"});
    EXPECT_EQ(chain.device(0, 2).regs[144], 0x1F40);
    EXPECT_EQ(link.pauseDepth(), 0);
}

TEST_F(RowActions, SingleDeviceRowReadAndWriteUseDeviceOne)
{
    ASSERT_TRUE(connect(false, 1));
    link.selectDevice(5);
    show(1);
    chain.device(0, 1).regs[144] = 0x2A;
    rowActions.cbRead_Click(0);
    EXPECT_EQ(link.SelectedDevice, 1);
    EXPECT_EQ(lines("cmd,"), std::vector<std::string>{"cmd,KVB71853,cat0x02,adr0x10,dat0x00"});
    EXPECT_EQ(link.image.at(0, 1, 144), 0x2A);

    link.image.at(0, 1, 144) = 0x0123;
    rowActions.cbWrite_Click(0);
    EXPECT_EQ(lines("wrt,"), std::vector<std::string>{"wrt,KVB71853,cat0x0A,adr0x10,dat0x0123"});
    EXPECT_EQ(chain.device(0, 1).regs[144], 0x0123);
}

TEST_F(RowActions, CommandRowsSendTheirDataBitsAndOddRowsSendNothing)
{
    ASSERT_TRUE(connect(true, 1));
    show(1);
    link.image.at(0, 1, 200) = 0x1234;
    rowActions.cbRead_Click(4);
    EXPECT_TRUE(logHas("cmd,KVB71853,dev0x01,cat0x03,adr0x08,dat0x34\r\n"));

    const size_t sent = chain.received.size();
    log.clear();
    rowActions.cbWrite_Click(1);  // a read-only row
    EXPECT_EQ(log, "cbWrite_Click: KVB71853,cat0x09,adr0x00 write not supported\r\n");
    rowActions.cbRead_Click(5);  // an empty row
    rowActions.cbWrite_Click(5);
    rowActions.cbRead_Click(9);
    EXPECT_EQ(chain.received.size(), sent);
    EXPECT_EQ(log, "cbWrite_Click: KVB71853,cat0x09,adr0x00 write not supported\r\n");
}

TEST_F(RowActions, GroupReadReadsOnlyRegisterRowsWithItsButtonDisabled)
{
    ASSERT_TRUE(connect(true, 1));
    show(1);
    std::vector<std::pair<RowGroup, bool>> enabling;
    rowActions.groupButtonEnabled = [&](RowGroup g, bool on) { enabling.push_back({g, on}); };
    int secondPresses = 0;
    t.pump.hook = [&] {
        if (rowActions.groupRunning(RowGroup::Read) && secondPresses++ == 0)
            rowActions.cbReadRegs_Click();  // ignored while the group runs
    };
    log.clear();
    rowActions.cbReadRegs_Click();

    EXPECT_EQ(lines("cmd,"), (std::vector<std::string>{
                                 "cmd,KVB71853,dev0x01,cat0x02,adr0x10,dat0x00",
                                 "cmd,KVB71853,dev0x01,cat0x01,adr0x00,dat0x00",
                                 "cmd,KVB71853,dev0x01,cat0x02,adr0x11,dat0x00"}));
    EXPECT_EQ(log.rfind("Reading register group:\r\n", 0), 0u);
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
    EXPECT_GT(secondPresses, 0);
    EXPECT_EQ(enabling, (std::vector<std::pair<RowGroup, bool>>{{RowGroup::Read, false},
                                                                {RowGroup::Read, true}}));
    EXPECT_FALSE(rowActions.groupRunning(RowGroup::Read));
}

TEST_F(RowActions, WithoutBoardEachWriteOfTheGroupComplains)
{
    show(1);
    rowActions.cbWriteRegs_Click();
    ASSERT_EQ(t.prompter.asked.size(), 2u);  // rows 0 and 6
    EXPECT_EQ(t.prompter.asked[0].text, "KVB71853 EVB not connected!");
    EXPECT_TRUE(logHas("cbWrite_Click: EVB not detected. Please check connections.\r\n"));

    rowActions.cbReadRegs_Click();
    EXPECT_TRUE(logHas("Error: EVB not detected. Please check connections.\r\n"));
    rowActions.cbReadAllRegs_Click();
    EXPECT_EQ(t.prompter.asked.back().text, "Not yet implemented");
    EXPECT_TRUE(chain.received.empty());
}
