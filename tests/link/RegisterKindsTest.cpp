// Each register kind against what the link does with it: only read-only
// (0) and read/write (1) registers have room for an answer on the single
// device link and are stored from an answer; only read/write registers are
// written. Absent (-1), commands (2, 3, 4) and read-all commands (5) are
// neither.

#include "LinkFixture.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

class RegisterKinds : public ::testing::Test, public LinkFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(transport.InitUsbHidConnection());
        chain.setDevices(0, 1);
        chain.device(0, 1).regs[150] = 0x1234;
    }
};

}  // namespace

TEST_F(RegisterKinds, OnlyReadableKindsAreAnsweredAndOnlyReadWriteIsWritten)
{
    for (int kind = -1; kind <= 5; ++kind) {
        link.definitions.regs[0][150].kind = kind;
        const bool readable = kind == 0 || kind == 1;

        link.TakeChosenLink(false, 1, 0);
        pipe.setPipeCommandCode(board::HidSpiPipe);
        link::ChipMessage read(0, 2, 0x16, 0, 0);
        ASSERT_TRUE(link.SendReceivePipe(read));
        EXPECT_EQ(link.txFrame().size(), readable ? 5u : 3u) << kind;
        EXPECT_EQ(read.dat, readable ? 0x1234 : 0) << kind;

        link.TakeChosenLink(true, 1, 0);
        pipe.setPipeCommandCode(board::HidSpiPipeDaisyChain);
        link.image.clear();
        readReg(1, 2, 0x16);
        EXPECT_EQ(link.image.known(0, 1, 150), readable) << kind;
        EXPECT_EQ(link.image.at(0, 1, 150), readable ? 0x1234 : 0) << kind;

        const size_t sent = board->requests.size();
        log.clear();
        link::ChipMessage write(1, 2, 0x16, 0x0155, 0);
        link.WriteSingleReg(write);
        EXPECT_EQ(board->requests.size() > sent, kind == 1) << kind;
        EXPECT_EQ(logHas("WriteSingleReg: KVB71853,cat0x0A,adr0x16 write not supported\r\n"),
                  kind != 1)
            << kind;
    }
}

}  // namespace kvb::test
