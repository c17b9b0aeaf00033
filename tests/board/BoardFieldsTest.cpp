// The board's identity and the bit fields of its answers, each bit alone.

#include "app/BoardPrompter.h"
#include "board/BoardReports.h"
#include "board/HidTransport.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::board;

namespace {

// Only vendor 0x2B7E with product 0x2035 is the board; a device one off in
// either ID is closed again and not listed.
TEST(BoardIdentity, OnlyTheBoardsVendorAndProductAreOpened)
{
    struct Device {
        uint16_t vendor;
        uint16_t product;
        bool board;
    };
    for (const Device d : {Device{0x2B7E, 0x2035, true}, Device{0x2B7E, 0x2034, false},
                           Device{0x2B7E, 0x2036, false}, Device{0x2B7D, 0x2035, false},
                           Device{0x2B7F, 0x2035, false}, Device{0x2035, 0x2B7E, false}}) {
        test::TestServices t;
        sim::SimHidBackend usb;
        BoardPrompter user{t.services};
        HidTransport transport{usb, t.services, user};
        usb.plug(t.clock, d.product, d.vendor);
        t.prompter.script = {Answer::Cancel};
        EXPECT_EQ(transport.InitUsbHidConnection(), d.board) << std::hex << d.vendor << d.product;
        EXPECT_EQ(transport.boardCount(), d.board ? 1u : 0u) << std::hex << d.vendor << d.product;
        EXPECT_EQ(t.prompter.asked.empty(), d.board) << std::hex << d.vendor << d.product;
    }
}

// The ADC chip's register value: bit 0 of answer byte 2 is bit 7, bits 7..1
// of byte 3 are bits 6..0; every other bit is dropped.
TEST(AnswerBits, AdcChipRegisterValueTakesEachBitFromItsPlace)
{
    const int fromByte2[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};
    const int fromByte3[8] = {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40};
    for (int bit = 0; bit < 8; ++bit) {
        const auto one = static_cast<uint8_t>(1u << bit);
        EXPECT_EQ(AdcChipRegisterValue(one, 0), fromByte2[bit]) << "byte 2 bit " << bit;
        EXPECT_EQ(AdcChipRegisterValue(0, one), fromByte3[bit]) << "byte 3 bit " << bit;
    }
}

// The ADC chip's conversion: 24 bits high byte first, bit 23 the sign.
TEST(AnswerBits, AdcChipConversionWeighsEachOfItsTwentyFourBits)
{
    for (int bit = 0; bit < 24; ++bit) {
        const uint32_t raw = 1u << bit;
        const auto high = static_cast<uint8_t>(raw >> 16);
        const auto middle = static_cast<uint8_t>(raw >> 8);
        const auto low = static_cast<uint8_t>(raw);
        const int32_t expected = bit == 23 ? -8388608 : static_cast<int32_t>(raw);
        EXPECT_EQ(AdcChipValue(high, middle, low), expected) << "bit " << bit;
    }
    // Each side of the sign's edge.
    EXPECT_EQ(AdcChipValue(0x7F, 0xFF, 0xFF), 8388607);
    EXPECT_EQ(AdcChipValue(0x80, 0x00, 0x00), -8388608);
    EXPECT_EQ(AdcChipValue(0x80, 0x00, 0x01), -8388607);
}

// The microcontroller ADC's count, [2] x 256 + [3], and the SDA flag, bit 0
// of [2] after an SCL toggle: each bit alone.
TEST(AnswerBits, ConversionCountAndSdaFlagEachBitAlone)
{
    for (int bit = 0; bit < 8; ++bit) {
        Report answer{};
        answer[2] = static_cast<uint8_t>(1u << bit);
        EXPECT_EQ(ConversionCount(answer), 256u << bit) << "byte 2 bit " << bit;
        EXPECT_EQ(SdaError(answer), bit == 0) << "byte 2 bit " << bit;
        answer[2] = 0;
        answer[3] = static_cast<uint8_t>(1u << bit);
        EXPECT_EQ(ConversionCount(answer), 1u << bit) << "byte 3 bit " << bit;
        EXPECT_FALSE(SdaError(answer)) << "byte 3 bit " << bit;
    }
}

}  // namespace
