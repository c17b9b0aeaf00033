// Walking daisy-chain and single-device answers from the simulated chips.

#include "LinkFixture.h"
#include "support/Occurrences.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kvb;
using namespace kvb::link;

namespace {

class AnswerParser : public ::testing::Test, public test::LinkFixture {
protected:
    void SetUp() override { ASSERT_TRUE(connect(true, 3, 1)); }
};

}  // namespace

TEST_F(AnswerParser, ReadAllAnswersFillExactlyTheirBlock)
{
    struct Row {
        int type, dev, cat, adr;
        std::vector<int> registers;  // what the answer carries
    };
    const Row rows[] = {
        {0, 2, 1, 0x0F, {64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76}},
        {0, 2, 1, 0x1F, {80, 81, 82, 83, 84, 85, 86}},
        {0, 2, 2, 0x0F, {128, 129, 130, 131, 132, 133, 134}},
        {0, 2, 2, 0x1F, {144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156, 157}},
        {1, 1, 2, 0x0F, {128, 129, 131, 132, 133}},
        {1, 1, 2, 0x1F, {144, 145, 150, 151, 155, 156, 157}},
    };
    for (const Row& row : rows) {
        auto& chip = chain.device(row.type, row.dev);
        for (int reg = 64; reg < 192; ++reg)
            chip.regs[reg] = static_cast<int16_t>(0x1000 + reg);
        chip.balanceBanks.fill(0x1000 + 148);
        link.image.clear();
        readReg(static_cast<uint8_t>(row.dev), static_cast<uint8_t>(row.cat),
                static_cast<uint8_t>(row.adr), static_cast<int16_t>(row.type));
        const int page = row.cat * 64;
        for (int reg = page; reg < page + 64; ++reg) {
            const bool carried = std::count(row.registers.begin(), row.registers.end(), reg) > 0;
            EXPECT_EQ(link.image.at(row.type, row.dev, reg), carried ? 0x1000 + reg : 0)
                << "type " << row.type << " block " << row.cat << "/" << row.adr << " reg " << reg;
        }
    }
}

TEST_F(AnswerParser, ACorruptFrameStopsTheWalk)
{
    // The third frame of the faults block (addresses 6, 5, 4, ...) fails.
    chain.device(0, 1).regs[134] = 0x11;
    chain.device(0, 1).regs[133] = 0x22;
    chain.device(0, 1).regs[132] = 0x3;
    struct Corrupt : sim::SimChipBus {
        sim::SimChipChain& inner;
        explicit Corrupt(sim::SimChipChain& c) : inner(c) {}
        std::vector<uint8_t> exchange(uint8_t code, uint8_t select,
                                      std::span<const uint8_t> frame) override
        {
            auto bytes = inner.exchange(code, select, frame);
            if (bytes.size() > 10)
                bytes[9] ^= 0x01;  // last byte of the third frame
            return bytes;
        }
    } corrupt(chain);
    board->setChipBus(&corrupt);
    readReg(1, 2, 0x0F);
    EXPECT_EQ(link.image.at(0, 1, 134), 0x11);
    EXPECT_EQ(link.image.at(0, 1, 133), 0x22);
    EXPECT_EQ(link.image.at(0, 1, 132), 0);
    EXPECT_TRUE(logHas("ParseDaisyChainResponse: KVB71853 CRC4 checksum error\r\n"));
    EXPECT_EQ(sampleFlags, FlagCrc4Error);
    EXPECT_NE(link.log.comErrors.text().find("    CRC4 Error "), std::string::npos);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 0);
}

TEST_F(AnswerParser, NackForAnAbsentRegister)
{
    readReg(3, 0, 5);  // page 0 does not exist
    EXPECT_EQ(link.lamps.colour(LampId::Nack0), kLampGreen);
    EXPECT_EQ(sampleFlags, FlagNack);
    // The dumps' line ends become one blank each.
    EXPECT_EQ(link.log.LastSentText, "Sent: 30 14 0F ");
    EXPECT_NE(
        link.log.comErrors.text().find("    NACK Response Sent: 30 14 0F  Rcvd: 33 2C 00 0B  "),
        std::string::npos);
}

TEST_F(AnswerParser, FaultBitsAreReportedOnceWhenTheyAppear)
{
    chain.raiseFault(0, 2, 0x5);
    readReg(2, 2, 4);
    EXPECT_EQ(link.lamps.colour(LampId::Fault0), kLampRed);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 2);
    const std::string& text = link.log.faultStatus.text();
    EXPECT_LT(text.find("KVB71853 device 2 Cell OV Fault"),
              text.find("KVB71853 device 2 Cell Open Fault"));
    readReg(2, 2, 4);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 2);

    // A value typed into the image is no report from a chip.
    link.image.at(0, 3, 132) = 0x100;
    readReg(1, 2, 4);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 2);

    // Cleared and set again: reported again.
    ChipMessage clear(2, 2, 4, 0, 0);
    link.WriteSingleReg(clear);
    chain.raiseFault(0, 2, 0x1);
    readReg(2, 2, 4);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 3);
}

TEST_F(AnswerParser, RowsFollowOnlyTheSelectedDevice)
{
    link.selectDevice(2);
    readReg(1, 2, 4);
    readReg(2, 2, 4);
    ASSERT_EQ(shownRows.size(), 1u);
    EXPECT_EQ(shownRows[0].first, 132);
    link.setShowActivityLogs(false);
    log.clear();
    readReg(2, 2, 4);
    EXPECT_FALSE(logHas("rcv,"));
}

TEST_F(AnswerParser, BroadcastSleepAndWake)
{
    ChipMessage sleep(15, 3, 0x0A, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(sleep));
    EXPECT_EQ(link.rxLength(), 1 + 3 * 4);  // an acknowledge from every device
    link.ParseDaisyChainResponse(sleep, "rcv,");
    EXPECT_EQ(test::Occurrences(log, "rcv,KVB71853,dev0x0"), 3);
    EXPECT_EQ(link.lamps.colour(LampId::Ack0), kLampGreen);

    ChipMessage read(1, 2, 4, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(read));
    EXPECT_EQ(link.rxLength(), 1);  // asleep: no answer
    ChipMessage wake(15, 3, 0x0F, 0, 0);
    link.SendReceivePipe(wake);
    ASSERT_TRUE(link.SendReceivePipe(read));
    EXPECT_EQ(link.rxLength(), 5);
}

TEST_F(AnswerParser, BalanceBanksSitBehindOnePort)
{
    auto write = [&](int adr, int16_t value) {
        ChipMessage m(1, 2, static_cast<uint8_t>(adr), value, 0);
        link.WriteSingleReg(m);
    };
    write(0x13, 5 * 32);
    write(0x14, 0x0A5);
    write(0x13, 12 * 32);
    write(0x14, 0x0FF);
    write(0x13, 5 * 32);
    readReg(1, 2, 0x14);
    EXPECT_EQ(link.image.at(0, 1, 148), 0x0A5);
    EXPECT_EQ(chain.device(0, 1).balanceBanks[12], 0x0FF);
}

TEST_F(AnswerParser, UnpromptedResponsesWaitInTheBoardsBuffer)
{
    chain.raiseFault(0, 3, 0x2);
    ChipMessage request(0, 0, 0, 0, 0);
    ASSERT_TRUE(link.SendReceivePipe(request));
    EXPECT_EQ(pipe.pipeCommandCode(), 0x17);
    EXPECT_EQ(link.answerBytes()[0], 0x32);  // device 3, page 2
    ASSERT_TRUE(link.SendReceivePipe(request));
    EXPECT_EQ(link.answerBytes()[0], sim::SimChipChain::kEmptyBuffer);
}

TEST_F(AnswerParser, SingleDeviceAnswers)
{
    ASSERT_TRUE(connect(false, 1));
    chain.device(0, 1).regs[130] = 0x123;
    ChipMessage read(0, 2, 2, 0, 0);
    link.ReadSingleReg(read);
    EXPECT_EQ(read.dev, 1);
    EXPECT_EQ(read.dat, 0x123);
    EXPECT_EQ(link.image.at(0, 1, 130), 0x123);
    EXPECT_TRUE(logHas("rcv,KVB71853,cat0x02,adr0x02,dat0x0123\r\n"));

    chain.faults.silentFrom[0] = 1;  // the device stops answering
    link.ReadSingleReg(read);
    EXPECT_TRUE(logHas("ParseNonDaisyChainResponse: KVB71853 unrecognized response\r\n"));
    EXPECT_EQ(sampleFlags & FlagUnrecognized, FlagUnrecognized);
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);
}

namespace {

// Chips that answer every request with the same bytes.
struct Scripted : sim::SimChipBus {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> exchange(uint8_t, uint8_t, std::span<const uint8_t>) override
    {
        return bytes;
    }
};

// The chain's answers with the last byte of the third frame spoilt.
struct BreakThirdFrame : sim::SimChipBus {
    sim::SimChipChain& inner;
    explicit BreakThirdFrame(sim::SimChipChain& c) : inner(c) {}
    std::vector<uint8_t> exchange(uint8_t code, uint8_t select,
                                  std::span<const uint8_t> frame) override
    {
        auto bytes = inner.exchange(code, select, frame);
        if (bytes.size() > 10)
            bytes[9] ^= 0x01;
        return bytes;
    }
};

}  // namespace

TEST_F(AnswerParser, OnlyRegistersAreStoredAndEachTypeLightsItsOwnLamps)
{
    // A command (kind 2) echoed with data is not stored; the acknowledge
    // frame (kind 0 in the file) is.
    Scripted script;
    script.bytes = {0x13, 0x04, 0x15, 0x56, 0x13, 0x30, 0x02, 0xAA};
    board->setChipBus(&script);
    readReg(1, 3, 1);
    EXPECT_EQ(link.image.at(0, 1, 193), 0);
    EXPECT_EQ(link.image.at(0, 1, 204), 0x2A);
    board->setChipBus(&chain);

    // A type-1 acknowledge lights the type-1 lamp only.
    link.lamps.set(LampKind::Ack, 0, kLampGrey);
    readReg(1, 3, 1, 1);
    EXPECT_EQ(link.lamps.colour(LampId::Ack1), kLampGreen);
    EXPECT_EQ(link.lamps.colour(LampId::Ack0), kLampGrey);
}

TEST_F(AnswerParser, TheFaultScanReportsTypeZeroBeforeTypeOne)
{
    // A type-1 fault block broken after its fault-status frame stores the
    // value but runs no scan.
    chain.device(1, 1).regs[132] = 0x1;
    BreakThirdFrame broken(chain);
    board->setChipBus(&broken);
    readReg(1, 2, 0x0F, 1);
    EXPECT_EQ(link.image.at(1, 1, 132), 0x1);
    EXPECT_EQ(link.log.faultStatus.lineCount(), 0);

    board->setChipBus(&chain);
    chain.device(0, 1).regs[132] = 0x1;
    readReg(1, 2, 4);
    ASSERT_EQ(link.log.faultStatus.lineCount(), 2);
    const std::string& text = link.log.faultStatus.text();
    const size_t zero = text.find("KVB71853 device 1 Cell OV Fault");
    const size_t one = text.find("KVB53961 device 1 Cell OV Fault");
    ASSERT_NE(zero, std::string::npos);
    ASSERT_NE(one, std::string::npos);
    EXPECT_LT(zero, one);
}

TEST_F(AnswerParser, SingleDeviceStoresRegister87WhateverItsKind)
{
    ASSERT_TRUE(connect(false, 1));
    ASSERT_EQ(link.definitions.kind(0, 87), KindAbsent);  // as the shipped file has it
    Scripted script;
    script.bytes = {0x15, 0xC0, 0xC1, 0x23};  // the value 0x0123 under high top bits
    board->setChipBus(&script);
    ChipMessage read(0, 1, 0x17, 0, 0);
    link.ReadSingleReg(read);
    EXPECT_EQ(read.dat, 0x0123);
    EXPECT_EQ(link.image.at(0, 1, 87), 0x0123);
    EXPECT_TRUE(logHas("rcv,KVB71853,cat0x01,adr0x17,dat0x0123\r\n"));
}
