// The simulated chips behind the board's pipe, held to the chips' wire
// protocol with literal frames: identification, reads, writes, broadcasts,
// not-acknowledges, sleep and wake, the unprompted-response buffers and the
// chain's fault switches. Every other test of the link stands on these
// answers, so each expected frame here is written out byte by byte (CRC
// included) rather than built with any encoder.

#include "sim/SimChipChain.h"
#include "support/HexBytes.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace {

using namespace kvb::sim;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kDaisy = 0x16;
constexpr uint8_t kSingle = 0x15;

std::string hex(const Bytes& bytes)
{
    return kvb::test::HexBytes(bytes);
}

class SimProtocol : public ::testing::Test {
protected:
    SimProtocol() { chain.setDevices(0, 3); }

    std::string send(uint8_t select, Bytes frame, uint8_t code = kDaisy)
    {
        return hex(chain.exchange(code, select, frame));
    }
    // A plain daisy-chain read or command frame of type 0.
    std::string send(Bytes frame) { return send(0x00, std::move(frame)); }

    SimChipChain chain{SimRegisterMap::Load("./tabdefs_KVB71853_RevB.csv")};
};

}  // namespace

TEST_F(SimProtocol, IdentifyNumbersTheChainFromTheBottomUp)
{
    // Identify: the bottom device acknowledges as device 1.
    EXPECT_EQ(send({0x03, 0x24, 0x04}), "13 30 00 06");
    // Device 2 takes its number with more devices above (bits 13 and 12).
    EXPECT_EQ(send({0x03, 0x24, 0x26}), "23 27 00 20");
    // Device 3 is the top one: bit 13 only.
    EXPECT_EQ(send({0x03, 0x24, 0x37}), "33 26 00 34");
    // Nobody takes number 4: the top device acknowledges.
    EXPECT_EQ(send({0x03, 0x24, 0x40}), "33 30 00 01");
    // Identify completed: the top device acknowledges.
    EXPECT_EQ(send({0x03, 0x27, 0xFE}), "33 30 00 01");
}

TEST_F(SimProtocol, IdentifyOfAChainWithASilentDevice)
{
    chain.faults.silentFrom[0] = 3;
    EXPECT_EQ(send({0x03, 0x24, 0x04}), "13 30 00 06");
    // Device 2, the last that answers, still says that devices follow.
    EXPECT_EQ(send({0x03, 0x24, 0x26}), "23 27 00 20");
    EXPECT_EQ(send({0x03, 0x24, 0x37}), "");
    EXPECT_EQ(send({0x03, 0x24, 0x40}), "");
    EXPECT_EQ(send({0x03, 0x27, 0xFE}), "");

    chain.faults.silentFrom[0] = 1;
    EXPECT_EQ(send({0x03, 0x24, 0x04}), "");
}

TEST_F(SimProtocol, ReadsWritesAndTheirAnswers)
{
    chain.device(0, 2).regs[132] = 0x0010;
    // Read the fault status of device 2.
    EXPECT_EQ(send({0x22, 0x10, 0x0C}), "22 10 01 0A");
    // Write 0x3A5A to device 1, page 2, address 0x16: the device echoes the
    // frame as its answer.
    EXPECT_EQ(send(0x80, {0x1A, 0x5B, 0xA5, 0xAB}), "1A 5B A5 AB");
    EXPECT_EQ(chain.device(0, 1).regs[150], 0x3A5A);
    EXPECT_EQ(chain.device(0, 2).regs[150], 0);
    // Read it back.
    EXPECT_EQ(send({0x12, 0x58, 0x06}), "12 5B A5 AE");
    // A device number past the chain's top: nobody answers.
    EXPECT_EQ(send({0x42, 0x10, 0x00}), "");
    // A broadcast read: every device answers, bottom first.
    EXPECT_EQ(send({0xF2, 0x10, 0x05}), "12 10 00 04 22 10 01 0A 32 10 00 03");
}

TEST_F(SimProtocol, NotAcknowledges)
{
    chain.setDevices(1, 2);
    const std::string nack1 = "13 2C 00 0C";
    // A write to a read-only register (the serial number's low half).
    EXPECT_EQ(send(0x80, {0x1A, 0x6C, 0x12, 0x37}), nack1);
    EXPECT_NE(chain.device(0, 1).regs[155], 0x0123);
    // A register the type lacks: page 2, address 0x3F on type 0 ...
    EXPECT_EQ(send({0x12, 0xFC, 0x0E}), nack1);
    // ... and address 2 of page 2, which type 0 has and type 1 lacks.
    EXPECT_EQ(send(0x40, {0x12, 0x08, 0x04}), nack1);
    EXPECT_EQ(send(0x00, {0x12, 0x08, 0x04}).substr(0, 5), "12 08");
    // A request whose CRC fails (the reset frame's last nibble off by one).
    EXPECT_EQ(send({0x13, 0x48, 0x0D}), nack1);
    EXPECT_EQ(send({0x13, 0x48, 0x0C}), "13 30 00 06");
}

TEST_F(SimProtocol, SleepAndWake)
{
    // Sleep to all devices: each acknowledges, bottom first.
    EXPECT_EQ(send({0xF3, 0x28, 0x0E}), "13 30 00 06 23 30 00 0B 33 30 00 01");
    EXPECT_TRUE(chain.device(0, 2).asleep);
    // A sleeping device answers nothing but the wake-up.
    EXPECT_EQ(send({0x22, 0x10, 0x0C}), "");
    EXPECT_EQ(send({0x23, 0x3C, 0x0E}), "23 30 00 0B");
    EXPECT_FALSE(chain.device(0, 2).asleep);
    EXPECT_TRUE(chain.device(0, 1).asleep);
    EXPECT_EQ(send({0x22, 0x10, 0x0C}), "22 10 00 09");
    // A broadcast reaches only the devices awake.
    EXPECT_EQ(send({0xF2, 0x10, 0x05}), "22 10 00 09");
}

TEST_F(SimProtocol, ACommandOneByteShortRunsWithoutAnAnswer)
{
    const int scans = chain.device(0, 1).scans;
    // Scan voltages to device 1, its last byte not clocked.
    EXPECT_EQ(send({0x13, 0x04}), "");
    EXPECT_EQ(chain.device(0, 1).scans, scans + 1);
    EXPECT_EQ(chain.device(0, 2).scans, scans);
    // Sleep to all, shortened.
    EXPECT_EQ(send({0xF3, 0x28}), "");
    EXPECT_TRUE(chain.device(0, 3).asleep);
    // The whole frame is answered as usual.
    EXPECT_EQ(send({0xF3, 0x3C, 0x07}), "13 30 00 06 23 30 00 0B 33 30 00 01");
    // A read one byte short is not a command: it changes nothing.
    EXPECT_EQ(send({0x22, 0x10}), "");
    // Two bytes short: not a frame at all.
    EXPECT_EQ(send({0x13}), "");
    EXPECT_EQ(chain.device(0, 1).scans, scans + 1);
}

TEST_F(SimProtocol, UnpromptedResponsesWaitInTheirTypesBuffer)
{
    chain.setDevices(1, 2);
    EXPECT_EQ(send(0x30, {}, 0x17), "88");
    EXPECT_EQ(send(0x70, {}, 0x18), "88");

    chain.raiseFault(0, 2, 0x0010);
    chain.raiseFault(0, 2, 0x0001);
    EXPECT_EQ(chain.pendingUnprompted(0), 2u);
    EXPECT_EQ(chain.pendingUnprompted(1), 0u);
    EXPECT_EQ(send(0x70, {}, 0x18), "88");
    // Both responses in the order raised; the second carries both bits.
    EXPECT_EQ(send(0x30, {}, 0x17), "22 10 01 0A 22 10 01 1B");
    EXPECT_EQ(chain.device(0, 2).regs[132], 0x0011);
    // A read empties the buffer.
    EXPECT_EQ(send(0x30, {}, 0x17), "88");

    chain.raiseFault(1, 1, 0x0010);
    EXPECT_EQ(send(0x30, {}, 0x17), "88");
    EXPECT_EQ(send(0x70, {}, 0x18), "12 10 01 07");
    EXPECT_EQ(send(0x70, {}, 0x18), "88");

    // Fitting the devices again drops what was pending.
    chain.raiseFault(0, 1, 0x0010);
    chain.setDevices(0, 3);
    EXPECT_EQ(chain.pendingUnprompted(0), 0u);
}

TEST_F(SimProtocol, FaultSwitches)
{
    // corruptCrc: the next N frames answered fail their CRC (the last
    // nibble flipped), then answers are whole again.
    chain.faults.corruptCrc = 1;
    EXPECT_EQ(send({0x03, 0x24, 0x04}), "13 30 00 07");
    EXPECT_EQ(send({0x03, 0x24, 0x04}), "13 30 00 06");
    chain.faults.corruptCrc = 2;
    EXPECT_EQ(send({0xF2, 0x10, 0x05}), "12 10 00 05 22 10 00 08 32 10 00 03");
    EXPECT_EQ(chain.faults.corruptCrc, 0);

    // nack: every addressed device answers not-acknowledge.
    chain.faults.nack = true;
    EXPECT_EQ(send({0x22, 0x10, 0x0C}), "23 2C 00 01");
    EXPECT_EQ(send(0x80, {0x1A, 0x5B, 0xA5, 0xAB}), "13 2C 00 0C");
    EXPECT_NE(chain.device(0, 1).regs[150], 0x3A5A);
    chain.faults.nack = false;

    // silentFrom: devices from that number on answer nothing.
    chain.faults.silentFrom[0] = 2;
    EXPECT_EQ(send({0x22, 0x10, 0x0C}), "");
    EXPECT_EQ(send({0xF2, 0x10, 0x05}), "12 10 00 04");
}

TEST_F(SimProtocol, SingleDeviceFraming)
{
    chain.setDevices(0, 1);
    // Write 0x3A5A to page 2, address 0x16: no answer bytes of its own.
    EXPECT_EQ(send(0x00, {0xA5, 0xBA, 0x5A}, kSingle), "A5 BA 5A");
    EXPECT_EQ(chain.device(0, 1).regs[150], 0x3A5A);
    // Read it back, with two bytes clocked for the answer.
    EXPECT_EQ(send(0x00, {0x25, 0x80, 0x00, 0x00}, kSingle), "25 80 FA 5A");
    // Sleep (page 3, address 0x0A): a sleeping device clocks nothing back.
    EXPECT_EQ(send(0x00, {0x32, 0x80, 0x00, 0x00}, kSingle), "32 80 00 00");
    EXPECT_TRUE(chain.device(0, 1).asleep);
    EXPECT_EQ(send(0x00, {0x25, 0x80, 0x00, 0x00}, kSingle), "25 80 00 00");
    // Wake-up (address 0x0F) and the device answers again.
    send(0x00, {0x33, 0xC0, 0x00, 0x00}, kSingle);
    EXPECT_FALSE(chain.device(0, 1).asleep);
    EXPECT_EQ(send(0x00, {0x25, 0x80, 0x00, 0x00}, kSingle), "25 80 FA 5A");
    // No device of the selected type: nothing comes back.
    EXPECT_EQ(send(0x40, {0x25, 0x80, 0x00, 0x00}, kSingle), "");
}
