// The pipe exchange and single-register access against the simulated board.

#include "LinkFixture.h"
#include "support/ReportBufferAccess.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace kvb;
using namespace kvb::link;
using Bytes = std::vector<uint8_t>;

namespace {

class PipeExchange : public ::testing::Test, public test::LinkFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(transport.InitUsbHidConnection());
        chain.setDevices(0, 3);
        chain.setDevices(1, 2);
        link.TakeChosenLink(true, link.DeviceCount1, link.DeviceCount2);
    }
};

}  // namespace

TEST_F(PipeExchange, DaisyFramesCarryTheirSelectByteAndCode)
{
    ChipMessage read(2, 2, 4, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(read));
    EXPECT_EQ(link.txFrame(), (Bytes{0x00, 0x22, 0x10, 0x0C}));
    EXPECT_EQ(link.txFrameLength(), 4);
    EXPECT_EQ(board->requests.back()[1], 0x16);
    EXPECT_EQ(hexLog.at(0), "Sent: 22 10 0C\r\n");
    EXPECT_EQ(grid.numToWrite, "4");
    EXPECT_EQ(link.rxLength(), 5);  // one 4-byte answer frame

    ChipMessage write(1, 0x0A, 0x16, 0x155, 1);
    ASSERT_TRUE(link.SendReceivePipe(write));
    EXPECT_EQ(link.txFrame().size(), 5u);
    EXPECT_EQ(link.txFrame()[0], 0xC0);

    ChipMessage buffer(0, 0, 0, 0, 1);
    hexLog.clear();
    ASSERT_TRUE(link.SendReceivePipe(buffer));
    EXPECT_EQ(link.txFrame(), Bytes{0x70});
    EXPECT_EQ(pipe.pipeCommandCode(), 0x18);
    EXPECT_EQ(link.answerBytes()[0], sim::SimChipChain::kEmptyBuffer);
    EXPECT_EQ(hexLog.size(), 1u);  // only the "Rcvd:" dump
}

TEST_F(PipeExchange, SingleDeviceTakesTheValueFromTheAnswer)
{
    link.TakeChosenLink(false, link.DeviceCount1, link.DeviceCount2);
    pipe.setPipeCommandCode(board::HidSpiPipe);
    chain.device(0, 1).regs[150] = static_cast<int16_t>(0x3A5A);
    ChipMessage read(0, 2, 0x16, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(read));
    EXPECT_EQ(link.txFrame(), (Bytes{0x00, 0x25, 0x80, 0x00, 0x00}));
    EXPECT_EQ(read.dat, 0x3A5A);

    ChipMessage command(0, 3, 1, 0, 0);  // a command: no room for an answer
    ASSERT_TRUE(link.SendReceivePipe(command));
    EXPECT_EQ(link.txFrame().size(), 3u);
}

// The report a failed transfer left is never read: the parse sees an answer
// of no bytes, and reports the read of one device as unanswered.
TEST_F(PipeExchange, AFailedTransferIsParsedAsAnAnswerOfNoBytes)
{
    board->faults.noAnswer = true;
    ChipMessage read(1, 2, 4, 0, 0);
    link.image.at(0, 1, 132) = 7;
    EXPECT_FALSE(link.ReadSingleReg(read));
    EXPECT_EQ(link.rxLength(), 0);
    EXPECT_EQ(link.image.at(0, 1, 132), 7);
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);
    EXPECT_EQ(sampleFlags, FlagNoResponse);
    EXPECT_FALSE(logHas("rcv,"));
}

TEST_F(PipeExchange, ReadAndWriteLogTheirRequestLines)
{
    chain.device(0, 1).regs[132] = 0x21;
    ChipMessage read(1, 2, 4, 0, 0);
    link.ReadSingleReg(read);
    EXPECT_TRUE(logHas("cmd,KVB71853,dev0x01,cat0x02,adr0x04,dat0x00\r\n"));
    EXPECT_TRUE(logHas("rcv,KVB71853,dev0x01,cat0x02,adr0x04,dat0x0021\r\n"));
    EXPECT_EQ(link.image.at(0, 1, 132), 0x21);

    ChipMessage write(2, 2, 0x16, 0x3A5A, 0);
    link.WriteSingleReg(write);
    EXPECT_EQ(write.cat, 0x0A);
    EXPECT_TRUE(logHas("wrt,KVB71853,dev0x02,cat0x0A,adr0x16,dat0x3A5A\r\n"));
    EXPECT_EQ(chain.device(0, 2).regs[150], 0x3A5A);
    EXPECT_EQ(link.image.at(0, 2, 150), 0x3A5A);  // from the chip's echo
}

// On the daisy chain the image takes what the chip echoes: the value as
// the register keeps it, not the value sent.
TEST_F(PipeExchange, ADaisyChainWriteLeavesTheChipsEchoInTheImage)
{
    ChipMessage write(1, 2, 0x14, 0x3FFF, 0);  // register 148 keeps 12 bits
    ASSERT_TRUE(link.WriteSingleReg(write));
    EXPECT_TRUE(logHas("wrt,KVB71853,dev0x01,cat0x0A,adr0x14,dat0x3FFF\r\n"));
    EXPECT_EQ(link.image.at(0, 1, 148), 0x0FFF);
    EXPECT_TRUE(link.image.known(0, 1, 148));

    // No answer frame: the image keeps what it held.
    chain.faults.silentFrom[0] = 1;
    ChipMessage unanswered(1, 2, 0x14, 0x0123, 0);
    EXPECT_FALSE(link.WriteSingleReg(unanswered));
    EXPECT_EQ(link.image.at(0, 1, 148), 0x0FFF);
}

// On the single-device link a write's answer is not parsed: the image takes
// the data sent, whoever sent it, known only once the chip answered.
TEST_F(PipeExchange, ASingleDeviceWriteLeavesTheDataSentKnownOnlyWhenAnswered)
{
    link.TakeChosenLink(false, 1, 0);
    pipe.setPipeCommandCode(board::HidSpiPipe);
    link.image.at(0, 1, 150) = 0x1234;  // a value the write does not send
    ChipMessage write(0, 2, 0x16, 0x0ABC, 0);
    ASSERT_TRUE(link.WriteSingleReg(write));
    EXPECT_TRUE(logHas("wrt,KVB71853,cat0x0A,adr0x16,dat0x0ABC\r\n"));
    EXPECT_EQ(chain.device(0, 1).regs[150], 0x0ABC);
    EXPECT_EQ(link.image.at(0, 1, 150), 0x0ABC);
    EXPECT_TRUE(link.image.known(0, 1, 150));
    EXPECT_FALSE(logHas("rcv,"));

    // A silent chip (the board answers without chip bytes), then a lost
    // board: nothing becomes known and the image keeps what it held.
    link.image.forgetKnown();
    link.image.at(0, 1, 150) = 0x1234;
    chain.faults.silentFrom[0] = 1;
    ChipMessage unanswered(0, 2, 0x16, 0x0ABC, 0);
    EXPECT_FALSE(link.WriteSingleReg(unanswered));
    EXPECT_FALSE(link.image.known(0, 1, 150));
    board->faults.noAnswer = true;
    ChipMessage lost(0, 2, 0x16, 0x0ABC, 0);
    EXPECT_FALSE(link.WriteSingleReg(lost));
    EXPECT_EQ(link.image.at(0, 1, 150), 0x1234);
    EXPECT_FALSE(link.image.known(0, 1, 150));
}

// A single-device register read that brings no answer reads 0 and counts as
// an unrecognized response, in the exchange and in the parser; the failed
// report is never read.
TEST_F(PipeExchange, ASingleDeviceReadWithoutAnAnswerIsUnrecognized)
{
    link.TakeChosenLink(false, 1, 0);
    pipe.setPipeCommandCode(board::HidSpiPipe);
    link.image.at(0, 1, 150) = 0x1234;
    board->faults.noAnswer = true;
    ChipMessage read(0, 2, 0x16, 0x0155, 0);
    link.ReadSingleReg(read);
    EXPECT_EQ(link.rxLength(), 0);
    EXPECT_EQ(read.dat, 0);
    EXPECT_TRUE(logHas("ParseNonDaisyChainResponse: KVB71853 unrecognized response\r\n"));
    EXPECT_FALSE(logHas("rcv,"));
    EXPECT_EQ(link.log.communicationErrors(), 2);
    EXPECT_NE(link.log.comErrors.text().find("    Unrecognized Response \r\n"), std::string::npos);
    EXPECT_EQ(sampleFlags, FlagUnrecognized);
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);
    EXPECT_EQ(link.image.at(0, 1, 150), 0x1234);

    // A command is no register: its lost answer is not judged.
    ChipMessage command(0, 3, 1, 0x15, 0);
    EXPECT_FALSE(link.SendReceivePipe(command));
    EXPECT_EQ(command.dat, 0x15);
    EXPECT_EQ(link.log.communicationErrors(), 2);
}

// The error logs stamp each line through the user's date and time formats.
TEST_F(PipeExchange, ErrorLogLinesBeginWithTheUsersDateAndTime)
{
    t.format.date = "09.12.2026";
    t.format.time = "13:05:07";
    link.log.LogCrc4Error();
    link.log.LogFaultStatus("KVB71853 device 1 Cell OV Fault");
    EXPECT_EQ(link.log.comErrors.text(), "09.12.2026 13:05:07    CRC4 Error \r\n");
    EXPECT_EQ(link.log.faultStatus.text(),
              "09.12.2026 13:05:07    KVB71853 device 1 Cell OV Fault\r\n");
}

TEST_F(PipeExchange, WritesAreJudgedByTheMessagesOwnType)
{
    link.definitions.regs[1][150].kind = KindReadOnly;
    const size_t sent = board->requests.size();
    ChipMessage write(1, 2, 0x16, 5, 1);
    link.WriteSingleReg(write);
    EXPECT_TRUE(logHas("WriteSingleReg: NA,cat0x0A,adr0x16 write not supported\r\n"));
    EXPECT_EQ(board->requests.size(), sent);
    EXPECT_EQ(link.pauseDepth(), 0);
}

TEST_F(PipeExchange, NoBoardIsReported)
{
    transport.CloseHidHandles();
    transport.EvbConnected = false;
    ChipMessage read(1, 2, 4, 0, 0);
    link.ReadSingleReg(read);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "KVB71853EVB not connected!");
    EXPECT_EQ(log, "ReadSingleReg: KVB71853EVB not detected. Please check connections.\r\n");
}

TEST_F(PipeExchange, PollingPausesNestAndAlwaysResume)
{
    pollingTicked = true;
    link.PauseUprPolling();
    {
        PollingPause inner(link);
        ChipMessage read(1, 2, 4, 0, 0);
        link.ReadSingleReg(read);
    }
    EXPECT_EQ(pollTimer, std::vector<bool>{false});  // inner pairs leave the timer alone
    link.ResumeUprPolling();
    EXPECT_EQ(pollTimer, (std::vector<bool>{false, true}));

    // A failure inside an exchange still releases the pause.
    view.appendLogStep = [](const std::string&) { throw std::out_of_range("boom"); };
    ChipMessage read(1, 2, 4, 0, 0);
    link.ReadSingleReg(read);
    EXPECT_EQ(link.pauseDepth(), 0);
    EXPECT_EQ(pollTimer.back(), true);
    EXPECT_EQ(t.prompter.asked.back().text,
              "Error in ReadSingleReg Err.Number = 9, Err.Description = boom");

    // The single-device link never touches the timer.
    link.TakeChosenLink(false, link.DeviceCount1, link.DeviceCount2);
    pollTimer.clear();
    link.PauseUprPolling();
    link.ResumeUprPolling();
    EXPECT_TRUE(pollTimer.empty());
}

// Reads, writes and exchanges asked for from inside the pipe's wait (where
// only code run by the event pump can be) are refused before they write
// anything: the frame on its way, its transaction, the report and the
// answer's type stay the outer exchange's, and nothing waits on the pipe.
TEST_F(PipeExchange, ExchangesAskedForInsideATransferAreRefusedUntouched)
{
    pollingTicked = true;
    link.SetFittedParts(true, link.PartName1, "KVB53961");
    chain.device(0, 1).regs[132] = 0x0001;
    chain.device(1, 1).regs[132] = 0x0004;

    bool once = false;
    std::vector<uint8_t> txFrame;
    uint8_t code = 0, transaction = 0;
    board::Report report{};
    std::string logBefore;
    std::vector<bool> timerBefore;
    t.pump.hook = [&] {
        if (once || !pipe.busy())
            return;
        once = true;
        txFrame = link.txFrame();
        code = pipe.pipeCommandCode();
        transaction = pipe.transferId();
        report = board::ReportBufferAccess::of(transport);
        logBefore = log;
        timerBefore = pollTimer;
        ChipMessage read(1, 2, 4, 0, 0);
        link.ReadSingleReg(read);
        ChipMessage write(1, 2, 0x16, 0x155, 0);
        EXPECT_FALSE(link.WriteSingleReg(write));
        ChipMessage buffer(0, 0, 0, 0, 0);
        EXPECT_FALSE(link.SendReceivePipe(buffer));
        // A chip command's send: nothing went out, so nothing is parsed and
        // no missing answer is reported.
        ChipMessage command(2, 2, 4, 0, 0);
        EXPECT_FALSE(link.SendAndParse(command));
        EXPECT_EQ(link.txFrame(), txFrame);
        EXPECT_EQ(pipe.pipeCommandCode(), code);
        EXPECT_EQ(pipe.transferId(), transaction);
        EXPECT_EQ(board::ReportBufferAccess::of(transport), report);
        EXPECT_EQ(pollTimer, timerBefore);
        EXPECT_EQ(log, logBefore + "USB Still Busy from previous call, exit comm routine\r\n"
                                   "USB Still Busy from previous call, exit comm routine\r\n"
                                   "USB Still Busy from previous call, exit comm routine\r\n"
                                   "USB Still Busy from previous call, exit comm routine\r\n");
    };
    const size_t from = board->requests.size();
    ChipMessage outer(1, 2, 4, 0, 1);
    link.ReadSingleReg(outer);
    ASSERT_TRUE(once);
    EXPECT_FALSE(t.programEnd.ending());
    EXPECT_EQ(link.image.at(1, 1, 132), 0x0004);
    EXPECT_EQ(link.image.at(0, 1, 132), 0);
    EXPECT_EQ(link.log.communicationErrors(), 0);
    EXPECT_EQ(board->requests.size(), from + 1);
    EXPECT_EQ(pollTimer, (std::vector<bool>{false, true}));
}

namespace {

// The grid's first sixteen rows and its counts as the panel saw them when
// told the grid changed.
struct GridSight {
    std::vector<std::string> write;
    std::vector<std::string> read;
    std::string numToWrite;
    std::string encodeLength;
};

void WatchGrid(panel::ByteGrid& grid, std::vector<GridSight>& sights)
{
    grid.changed = [&grid, &sights] {
        sights.push_back({{grid.writeVal.begin(), grid.writeVal.begin() + 16},
                          {grid.readVal.begin(), grid.readVal.begin() + 16},
                          grid.numToWrite,
                          grid.encodeLength});
    };
}

std::vector<std::string> Rows(std::initializer_list<std::string> first, size_t dashes)
{
    std::vector<std::string> rows(first);
    rows.insert(rows.end(), dashes, "--");
    return rows;
}

}  // namespace

// Before the pipe takes a request the grid shows it: first rows 0..15
// cleared, then the chip frame in the write boxes with the length sent and,
// on the chain, the frame length the chain sees. The pipe's own rows 0..10
// follow; rows 11..15 keep the link's clearing.
TEST_F(PipeExchange, TheGridShowsEachRequestBeforeThePipeTakesIt)
{
    std::vector<GridSight> sights;
    grid.writeVal.fill("77");
    grid.readVal.fill("66");
    WatchGrid(grid, sights);
    ChipMessage read(2, 2, 4, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(read));
    ASSERT_GE(sights.size(), 3u);
    EXPECT_EQ(sights[0].write, Rows({}, 16));
    EXPECT_EQ(sights[0].read, Rows({}, 16));
    EXPECT_EQ(sights[0].numToWrite, "");
    EXPECT_EQ(sights[0].encodeLength, "");
    EXPECT_EQ(sights[1].write, Rows({"22", "10", "0C"}, 13));
    EXPECT_EQ(sights[1].read, Rows({}, 16));
    EXPECT_EQ(sights[1].numToWrite, "4");
    EXPECT_EQ(sights[1].encodeLength, "2");
    EXPECT_EQ(sights[2].write, Rows({}, 16));  // the pipe's attempt clears rows 0..10
    EXPECT_EQ(grid.writeVal[16], "77");
    EXPECT_EQ(grid.readVal[16], "66");
    for (size_t row = 11; row < 16; ++row) {
        EXPECT_EQ(grid.writeVal[row], "--") << row;
        EXPECT_EQ(grid.readVal[row], "--") << row;
    }

    // The chain's buffer read shows no frame, only the one byte sent.
    sights.clear();
    ChipMessage buffer(0, 0, 0, 0, 1);
    ASSERT_TRUE(link.SendReceivePipe(buffer));
    ASSERT_GE(sights.size(), 2u);
    EXPECT_EQ(sights[1].write, Rows({}, 16));
    EXPECT_EQ(sights[1].numToWrite, "1");
    EXPECT_EQ(sights[1].encodeLength, "2");

    // A single device's request keeps the chain's frame length.
    link.TakeChosenLink(false, link.DeviceCount1, link.DeviceCount2);
    pipe.setPipeCommandCode(board::HidSpiPipe);
    sights.clear();
    ChipMessage single(0, 2, 0x16, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(single));
    ASSERT_GE(sights.size(), 2u);
    EXPECT_EQ(sights[1].write, Rows({"25", "80"}, 14));
    EXPECT_EQ(sights[1].numToWrite, "5");
    EXPECT_EQ(sights[1].encodeLength, "2");
}
