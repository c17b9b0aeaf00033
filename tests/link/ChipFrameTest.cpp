#include "link/ChipFrame.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kvb::link;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes daisy(uint8_t dev, uint8_t cat, uint8_t adr, int16_t dat)
{
    ChipMessage m{dev, cat, adr, dat};
    EXPECT_TRUE(EncodeDaisyChainMessage(m));
    return m.FrameBytes;
}

Bytes single(uint8_t cat, uint8_t adr, int16_t dat)
{
    ChipMessage m{0, cat, adr, dat};
    EXPECT_TRUE(EncodeNonDaisyMessage(m));
    return m.FrameBytes;
}

}  // namespace

TEST(ChipFrame, RequestFramesMatchTheChipsWireFormat)
{
    EXPECT_EQ(daisy(1, 3, 0x12, 0), (Bytes{0x13, 0x48, 0x0C}));  // reset
    EXPECT_EQ(daisy(0, 3, 9, 0), (Bytes{0x03, 0x24, 0x04}));     // identify
    EXPECT_EQ(daisy(0, 3, 9, 2), (Bytes{0x03, 0x24, 0x26}));
    EXPECT_EQ(daisy(0, 3, 9, 14), (Bytes{0x03, 0x24, 0xEA}));
    EXPECT_EQ(daisy(0, 3, 9, 0x3F), (Bytes{0x03, 0x27, 0xFE}));
    EXPECT_EQ(daisy(1, 3, 1, 0), (Bytes{0x13, 0x04, 0x0C}));
    EXPECT_EQ(daisy(2, 2, 4, 0), (Bytes{0x22, 0x10, 0x0C}));
    EXPECT_EQ(daisy(15, 3, 0x0A, 0), (Bytes{0xF3, 0x28, 0x0E}));
    EXPECT_EQ(daisy(1, 0x0A, 0x16, 0x3A5A), (Bytes{0x1A, 0x5B, 0xA5, 0xAB}));
    EXPECT_EQ(single(2, 0x16, 0), (Bytes{0x25, 0x80}));
    EXPECT_EQ(single(0x0A, 0x16, 0x3A5A), (Bytes{0xA5, 0xBA, 0x5A}));
    // A category with bit 3 set is a write of page 3: the 4-byte form.
    EXPECT_EQ(daisy(1, 0x0B, 0, 0).size(), 4u);
}

TEST(ChipFrame, EncodersCutFieldsInPlace)
{
    ChipMessage read{16, 0x13, 0x45, 0x3FFF};
    EncodeDaisyChainMessage(read);
    EXPECT_EQ(read.dev, 0);
    EXPECT_EQ(read.cat, 3);
    EXPECT_EQ(read.adr, 5);
    EXPECT_EQ(read.dat, 0x3F);  // a read carries 6 data bits only

    ChipMessage write{1, 0x0A, 0x16, static_cast<int16_t>(0x7A5A)};
    EncodeNonDaisyMessage(write);
    EXPECT_EQ(write.dat, 0x3A5A);
}

TEST(ChipFrame, AnswerFramesDecode)
{
    uint8_t dev = 9, cat = 9, adr = 0;
    int16_t dat = 0;
    EXPECT_TRUE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{0x13, 0x30, 0x00, 0x06}));
    EXPECT_EQ(dev, 1);
    EXPECT_EQ(cat, 3);
    EXPECT_EQ(adr, 0x0C);
    EXPECT_EQ(dat, 0);
    EXPECT_TRUE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{0x21, 0x06, 0x00, 0x05}));
    EXPECT_EQ(dev, 2);
    EXPECT_EQ(cat, 1);
    EXPECT_EQ(adr, 1);
    EXPECT_EQ(dat, 0x2000);

    // A short frame leaves device and category as the caller holds them.
    EXPECT_TRUE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{0x2D, 0x23, 0x48}));
    EXPECT_EQ(dev, 2);
    EXPECT_EQ(cat, 1);
    EXPECT_EQ(adr, 0x0B);
    EXPECT_EQ(dat, 0x1234);

    // Other lengths change nothing.
    EXPECT_FALSE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{0x13, 0x30}));
    EXPECT_FALSE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(adr, 0x0B);
    EXPECT_EQ(dat, 0x1234);

    // Fields are written even when the CRC is wrong.
    EXPECT_FALSE(DecodeDaisyChainResponse(dev, cat, adr, dat, Bytes{0x13, 0x30, 0x00, 0x07}));
    EXPECT_EQ(adr, 0x0C);
}

TEST(ChipFrame, CrcCoversAllButItsOwnNibble)
{
    EXPECT_EQ(ComputeCrc4(Bytes{0x13, 0x48, 0x0C}), 0x0C);
    EXPECT_EQ(ComputeCrc4(Bytes{0x13, 0x48, 0x00}), 0x0C);
    EXPECT_TRUE(CheckCrc4(Bytes{0x13, 0x48, 0x0C}));
    EXPECT_FALSE(CheckCrc4(Bytes{0x13, 0x48, 0x0D}));
    // A one-byte frame is covered by its high nibble: 1010 mod x^4+x+1.
    EXPECT_EQ(ComputeCrc4(Bytes{0xA0}), 0x0A);
    EXPECT_EQ(ComputeCrc4(Bytes{0xA5}), 0x0A);
}

TEST(ChipFrame, EveryCoveredBitFlipIsDetected)
{
    const std::vector<Bytes> frames{{0x13, 0x48, 0x0C},       {0x1A, 0x5B, 0xA5, 0xAB},
                                    {0x13, 0x30, 0x00, 0x06}, {0x21, 0x06, 0x00, 0x05},
                                    {0x2D, 0x23, 0x48},       {0xF3, 0x28, 0x0E}};
    for (const Bytes& frame : frames) {
        ASSERT_TRUE(CheckCrc4(frame));
        const size_t coveredBits = frame.size() * 8 - 4;
        for (size_t bit = 0; bit < coveredBits; ++bit) {
            Bytes flipped = frame;
            flipped[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
            EXPECT_FALSE(CheckCrc4(flipped)) << "bit " << bit;
        }
        for (int bit = 0; bit < 4; ++bit) {  // the CRC nibble itself
            Bytes flipped = frame;
            flipped.back() ^= static_cast<uint8_t>(1 << bit);
            EXPECT_FALSE(CheckCrc4(flipped));
        }
    }
}

TEST(ChipFrame, SelectBytes)
{
    EXPECT_EQ(SelectByte(0, true, 3), 0x00);
    EXPECT_EQ(SelectByte(1, true, 3), 0x40);
    EXPECT_EQ(SelectByte(0, true, 4), 0x80);
    EXPECT_EQ(SelectByte(1, true, 4), 0xC0);
    EXPECT_EQ(SelectByte(1, false, 3), 0x40);
    EXPECT_EQ(SelectByte(0, false, 3), 0x00);
    EXPECT_EQ(UprBufferSelectByte(0), 0x30);
    EXPECT_EQ(UprBufferSelectByte(1), 0x70);
}
