// The simulated evaluation board, held to the board's report protocol with
// literal reports: the pipe's request and answer layout, the board commands
// the program relies on, and each of the board's fault switches.

#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using namespace kvb;
using namespace kvb::sim;
using board::Report;

Report Request(std::initializer_list<uint8_t> head)
{
    Report r{};
    std::copy(head.begin(), head.end(), r.begin());
    return r;
}

class SimBoardReports : public ::testing::Test {
protected:
    SimBoardReports() { chain.setDevices(0, 3); }

    bool send(const Report& r) { return board.write(r.data(), r.size()); }
    // The next input report, or nullopt when none is waiting.
    std::optional<Report> next()
    {
        Report r{};
        if (board.read(r.data(), r.size(), 0) != static_cast<int>(r.size()))
            return std::nullopt;
        return r;
    }
    // Reads the next report, failing the test when there is none.
    Report answer()
    {
        auto r = next();
        EXPECT_TRUE(r.has_value());
        return r.value_or(Report{});
    }
    void plugChips() { board.setChipBus(&chain); }

    // Reading the fault status of device 2 through the daisy-chain pipe:
    // transaction 5, count 4 (select byte and three frame bytes).
    Report faultRead(uint8_t transaction = 5)
    {
        return Request({1, 0x16, transaction, 4, 0x00, 0x22, 0x10, 0x0C});
    }

    test::FakeClock clock;
    SimBoard board{clock};
    SimChipChain chain{SimRegisterMap::Load("./tabdefs_KVB71853_RevB.csv")};
};

}  // namespace

TEST_F(SimBoardReports, PipeAnswerCarriesTheNumberTheCountAndTheChipBytes)
{
    plugChips();
    ASSERT_TRUE(send(faultRead()));
    const Report a = answer();
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], 5);
    EXPECT_EQ(a[3], 5);  // four chip bytes + 1
    EXPECT_EQ(a[4], 0);
    EXPECT_EQ((std::vector<uint8_t>(a.begin() + 5, a.begin() + 10)),
              (std::vector<uint8_t>{0x22, 0x10, 0x00, 0x09, 0x00}));
    EXPECT_FALSE(next());
    // The chips received the select byte and the three frame bytes only.
    ASSERT_EQ(chain.received.size(), 1u);
    EXPECT_EQ(chain.received[0].pipeCode, 0x16);
    EXPECT_EQ(chain.received[0].select, 0x00);
    EXPECT_EQ(chain.received[0].frame, (std::vector<uint8_t>{0x22, 0x10, 0x0C}));
    // The board keeps the request as written.
    ASSERT_EQ(board.requests.size(), 1u);
    EXPECT_EQ(board.requests[0], faultRead());
}

TEST_F(SimBoardReports, PipeRelaysTheSelectByteAndTheBufferReads)
{
    plugChips();
    // A 4-byte write frame: count 5, select 0x80.
    ASSERT_TRUE(send(Request({1, 0x16, 1, 5, 0x80, 0x1A, 0x5B, 0xA5, 0xAB})));
    const Report a = answer();
    EXPECT_EQ(a[3], 5);
    EXPECT_EQ((std::vector<uint8_t>(a.begin() + 5, a.begin() + 9)),
              (std::vector<uint8_t>{0x1A, 0x5B, 0xA5, 0xAB}));
    EXPECT_EQ(chain.device(0, 1).regs[150], 0x3A5A);

    // The type-0 buffer read: select 0x30 alone, answered with 88 when empty.
    ASSERT_TRUE(send(Request({1, 0x17, 2, 1, 0x30})));
    const Report empty = answer();
    EXPECT_EQ(empty[2], 2);
    EXPECT_EQ(empty[3], 2);
    EXPECT_EQ(empty[5], 0x88);
    ASSERT_EQ(chain.received.size(), 2u);
    EXPECT_EQ(chain.received[1].pipeCode, 0x17);
    EXPECT_EQ(chain.received[1].select, 0x30);
    EXPECT_TRUE(chain.received[1].frame.empty());
}

TEST_F(SimBoardReports, PipeWithoutChipsLoopsTheBytesBack)
{
    ASSERT_TRUE(send(faultRead(7)));
    const Report a = answer();
    EXPECT_EQ(a[2], 7);
    EXPECT_EQ(a[3], 4);
    EXPECT_EQ((std::vector<uint8_t>(a.begin() + 5, a.begin() + 9)),
              (std::vector<uint8_t>{0x22, 0x10, 0x0C, 0x00}));
}

TEST_F(SimBoardReports, BoardCommands)
{
    // Firmware version: major, minor, year (two bytes), month, day.
    ASSERT_TRUE(send(Request({1, 0x00})));
    Report a = answer();
    EXPECT_EQ((std::vector<uint8_t>(a.begin() + 2, a.begin() + 8)),
              (std::vector<uint8_t>{2, 1, 0x07, 0xEA, 12, 8}));

    // A special-function register written, then read back in byte 3.
    ASSERT_TRUE(send(Request({1, 0x12, 0, 0xA4, 0x5C})));
    EXPECT_FALSE(next());  // a set is not answered
    ASSERT_TRUE(send(Request({1, 0x12, 1, 0xA4})));
    a = answer();
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[3], 0x5C);
    EXPECT_EQ(board.sfr[0xA4], 0x5C);

    // SPI clock: set, then get answers system clock and code.
    ASSERT_TRUE(send(Request({1, 0x08, 0, 0x03})));
    EXPECT_FALSE(next());
    ASSERT_TRUE(send(Request({1, 0x08, 1})));
    a = answer();
    EXPECT_EQ(a[2], 24);
    EXPECT_EQ(a[3], 0x03);

    // The set-up record of nine bytes, and its read-back from byte 2.
    ASSERT_TRUE(send(Request({1, 0x14, 0, 8, 0xFF, 0xFF, 0x80, 0x03, 0, 0, 2, 0x80})));
    EXPECT_FALSE(next());
    ASSERT_TRUE(send(Request({1, 0x14, 1})));
    a = answer();
    EXPECT_EQ((std::vector<uint8_t>(a.begin() + 2, a.begin() + 11)),
              (std::vector<uint8_t>{8, 0xFF, 0xFF, 0x80, 0x03, 0, 0, 2, 0x80}));

    // An unknown command is refused.
    ASSERT_TRUE(send(Request({1, 0x3F})));
    EXPECT_EQ(answer()[1], 1);

    // An I2C transfer to another slave than 0x50 is not acknowledged; to
    // 0x50 it writes, and a read (address + 1) answers from byte 2.
    ASSERT_TRUE(send(Request({1, 0x06, 0x52, 1, 1, 0x10, 0xAB})));
    EXPECT_EQ(answer()[1], 1);
    ASSERT_TRUE(send(Request({1, 0x06, 0x50, 2, 1, 0x10, 0xAB, 0xCD})));
    EXPECT_EQ(answer()[1], 0);
    ASSERT_TRUE(send(Request({1, 0x06, 0x51, 2, 1, 0x10})));
    a = answer();
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], 0xAB);
    EXPECT_EQ(a[3], 0xCD);
}

TEST_F(SimBoardReports, NoAnswerAndDroppedAnswers)
{
    plugChips();
    board.faults.noAnswer = true;
    ASSERT_TRUE(send(faultRead()));
    EXPECT_EQ(board.pendingReports(), 0u);
    // A read with nothing waiting takes its whole time-out.
    Report r{};
    EXPECT_EQ(board.read(r.data(), r.size(), 6), 0);
    EXPECT_EQ(clock.slept.count(), 6);
    board.faults.noAnswer = false;

    board.faults.dropAnswers = 2;
    ASSERT_TRUE(send(faultRead(1)));
    ASSERT_TRUE(send(faultRead(2)));
    EXPECT_EQ(board.pendingReports(), 0u);
    ASSERT_TRUE(send(faultRead(3)));
    EXPECT_EQ(answer()[2], 3);
    EXPECT_EQ(board.faults.dropAnswers, 0);
    // The chips saw every request, answered or not.
    EXPECT_EQ(chain.received.size(), 4u);
}

TEST_F(SimBoardReports, WrongAndStaleTransactionNumbers)
{
    plugChips();
    board.faults.wrongTransaction = true;
    ASSERT_TRUE(send(faultRead(5)));
    Report a = answer();
    EXPECT_EQ(a[2], 4);
    EXPECT_EQ(a[5], 0x22);  // the chips' answer all the same
    // The number before 1 is 7.
    ASSERT_TRUE(send(faultRead(1)));
    EXPECT_EQ(answer()[2], 7);
    board.faults.wrongTransaction = false;

    // Stale answers come first, each with the number before; then the answer.
    board.faults.staleAnswers = 2;
    ASSERT_TRUE(send(faultRead(1)));
    ASSERT_EQ(board.pendingReports(), 3u);
    EXPECT_EQ(answer()[2], 7);
    EXPECT_EQ(answer()[2], 7);
    a = answer();
    EXPECT_EQ(a[2], 1);
    EXPECT_EQ(a[5], 0x22);
    // The switch stays until cleared.
    ASSERT_TRUE(send(faultRead(4)));
    EXPECT_EQ(board.pendingReports(), 3u);
}

TEST_F(SimBoardReports, ErrorByteFailedWritesAndAnsweredSets)
{
    board.faults.errorByte = true;
    ASSERT_TRUE(send(Request({1, 0x08, 1})));
    Report a = answer();
    EXPECT_EQ(a[1], 1);
    EXPECT_EQ(a[2], 24);  // the data is there all the same
    board.faults.errorByte = false;

    const size_t written = board.requests.size();
    board.faults.failWrite = true;
    EXPECT_FALSE(send(Request({1, 0x12, 0, 0xA4, 0x11})));
    EXPECT_EQ(board.requests.size(), written);
    EXPECT_NE(board.sfr[0xA4], 0x11);
    // A report that is not 64 bytes is refused too.
    board.faults.failWrite = false;
    const Report r = Request({1, 0x12, 0, 0xA4, 0x11});
    EXPECT_FALSE(board.write(r.data(), 63));
    EXPECT_EQ(board.requests.size(), written);

    // answerEverySet: a set command is answered with its payload from byte 2.
    board.faults.answerEverySet = true;
    ASSERT_TRUE(send(Request({1, 0x12, 0, 0xA4, 0x11})));
    a = answer();
    EXPECT_EQ(a[2], 0xA4);
    EXPECT_EQ(a[3], 0x11);

    // sfrReadFlag: byte 2 of every register read's answer.
    board.faults.answerEverySet = false;
    board.faults.sfrReadFlag = 0x5A;
    ASSERT_TRUE(send(Request({1, 0x12, 1, 0xA4})));
    a = answer();
    EXPECT_EQ(a[2], 0x5A);
    EXPECT_EQ(a[3], 0x11);
}

// The board commands of the panel, each by its literal code: the state a set
// leaves and the bytes a get answers with, where the program reads them.
TEST_F(SimBoardReports, PanelCommandsByTheirCodes)
{
    ASSERT_TRUE(send(Request({1, 0x01, 0, 2})));
    EXPECT_EQ(board.leds, 2);
    ASSERT_TRUE(send(Request({1, 0x02, 0, 0xF6, 0x0F, 1})));
    EXPECT_EQ(board.gpioConfig, (std::array<uint8_t, 3>{0xF6, 0x0F, 1}));
    ASSERT_TRUE(send(Request({1, 0x07, 0, 5})));
    EXPECT_EQ(board.spiConfig, 5);
    ASSERT_TRUE(send(Request({1, 0x04, 0, 3, 1, 0})));
    EXPECT_EQ(board.i2cOptions, (std::array<uint8_t, 3>{3, 1, 0}));
    EXPECT_FALSE(next());  // sets are not answered

    // The SCL toggle answers with the SDA flag in bit 0 of byte 2.
    board.sclToggleAnswer = 1;
    ASSERT_TRUE(send(Request({1, 0x04, 0, 0, 0, 1})));
    EXPECT_EQ(answer()[2], 1);

    // The microcontroller ADC's settings as their reads answer them.
    struct Setting {
        uint8_t code;
        std::vector<int> payload;  // the set's, from byte 3
        std::vector<int> head;     // the read's answer from byte 2
    };
    for (const Setting& s :
         {Setting{0x0A, {0x38}, {24, 0x38}}, Setting{0x0D, {1}, {1}}, Setting{0x0E, {10}, {10}},
          Setting{0x0F, {0x12, 0x34}, {24, 0x12, 0x34}}, Setting{0x10, {1}, {1}}}) {
        Report set = Request({1, s.code, 0});
        for (size_t i = 0; i < s.payload.size(); ++i)
            set[3 + i] = static_cast<uint8_t>(s.payload[i]);
        ASSERT_TRUE(send(set));
        while (next()) {
        }
        ASSERT_TRUE(send(Request({1, s.code, 1})));
        const Report a = answer();
        EXPECT_EQ(std::vector<int>(a.begin() + 2, a.begin() + 2 + static_cast<long>(s.head.size())),
                  s.head)
            << int(s.code);
    }

    // The multiplexer read: both inputs, then the port registers it depends
    // on, P0MDIN P0SKIP P1MDIN P1SKIP P2MDIN P2SKIP P3MDIN P3SKIP P4MDIN.
    const uint8_t registers[] = {0xF1, 0xD4, 0xF2, 0xD5, 0xF3, 0xD6, 0xF4, 0xDF, 0xF5};
    for (uint8_t i = 0; i < 9; ++i)
        board.sfr[registers[i]] = static_cast<uint8_t>(0x40 + i);
    ASSERT_TRUE(send(Request({1, 0x0C, 0, 0x0B, 0x1F})));
    ASSERT_TRUE(send(Request({1, 0x0C, 1})));
    Report a = answer();
    EXPECT_EQ(std::vector<int>(a.begin() + 2, a.begin() + 13),
              (std::vector<int>{0x0B, 0x1F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48}));

    // A conversion: the count high byte first.
    board.adcConversion = 0x03FF;
    ASSERT_TRUE(send(Request({1, 0x11, 0, 0})));
    a = answer();
    EXPECT_EQ(a[2], 0x03);
    EXPECT_EQ(a[3], 0xFF);

    // The ADC chip: a register write shifts the register back out, bit 7 in
    // bit 0 of byte 2, bits 6..0 in bits 7..1 of byte 3; a read answers the
    // 24-bit conversion in bytes 3 to 5.
    ASSERT_TRUE(send(Request({1, 0x13, 0, 0x84, 0x85, 0x01})));
    a = answer();
    EXPECT_EQ(a[2], 0x01);
    EXPECT_EQ(a[3], 0x0A);
    board.adcChipConversion = 0x123456;
    ASSERT_TRUE(send(Request({1, 0x13, 1, 0x84, 0x02, 0x01})));
    a = answer();
    EXPECT_EQ(std::vector<int>(a.begin() + 3, a.begin() + 6), (std::vector<int>{0x12, 0x34, 0x56}));
}
