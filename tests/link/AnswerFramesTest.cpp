// The answer parser on its own: answer bytes in, frames out.

#include "link/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kvb::link;

namespace {

using Bytes = std::vector<uint8_t>;

struct Expected {
    uint8_t dev, cat, adr;
    int16_t dat;
};

void expectFrames(const std::vector<AnswerFrame>& frames, const std::vector<Expected>& expected)
{
    ASSERT_EQ(frames.size(), expected.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].dev, expected[i].dev) << "frame " << i;
        EXPECT_EQ(frames[i].cat, expected[i].cat) << "frame " << i;
        EXPECT_EQ(frames[i].adr, expected[i].adr) << "frame " << i;
        EXPECT_EQ(frames[i].dat, expected[i].dat) << "frame " << i;
        EXPECT_TRUE(frames[i].crcOk) << "frame " << i;
    }
}

// The answer to a type-1 read-all of the faults block (page 2, 0x0F; five
// frames, the first carrying address 5) sent to device 1: a frame of device
// 3 first, the block, a frame after it and three bytes left over.
const Bytes kFaultsAnswer = {
    0x32, 0x10, 0x01, 0x11,  // device 3, page 2, address 4, 0x0011
    0x12, 0x14, 0x10, 0x19,  // device 1, page 2, address 5, 0x0101: the block starts
    0x10, 0x10, 0x25,        // address 4, 0x0102
    0x0C, 0x10, 0x3E,        // address 3, 0x0103
    0x04, 0x10, 0x48,        // address 1, 0x0104
    0x00, 0x10, 0x50,        // address 0, 0x0105: the block ends
    0x12, 0x10, 0x02, 0x20,  // device 1, page 2, address 4, 0x0022
    0x00, 0x00, 0x11,        // a whole short frame, but 4-byte frames are due again
};

const ChipMessage kReadAllFaults{1, 2, 0x0F, 0, 1};

}  // namespace

TEST(AnswerFrames, AReadAllBlockIsWalkedInShortFramesBetweenItsFirstFrameAndItsEnd)
{
    const std::vector<Expected> walked = {{3, 2, 4, 0x0011}, {1, 2, 5, 0x0101}, {1, 2, 4, 0x0102},
                                          {1, 2, 3, 0x0103}, {1, 2, 1, 0x0104}, {1, 2, 0, 0x0105},
                                          {1, 2, 4, 0x0022}};
    expectFrames(parseDaisyAnswer(kFaultsAnswer, 1, kReadAllFaults, true), walked);

    // A read-all command the table does not know waits for the device's
    // frame with address 0; every frame after it is a short one.
    const Bytes unknown = {0x12, 0x03, 0xFF, 0xFF,  // device 1, page 2, address 0, 0x3FFF
                           0x00, 0x00, 0x11,        // address 0, 0x0001
                           0x14, 0x00, 0x5E};       // address 5, 0x0005
    expectFrames(parseDaisyAnswer(unknown, 0, ChipMessage(1, 2, 0x20, 0, 0), true),
                 {{1, 2, 0, 0x3FFF}, {1, 2, 0, 0x0001}, {1, 2, 5, 0x0005}});
}

// Without the read-all, or when the answer is of the other device type,
// every frame is a 4-byte frame: here the third one (10 10 25 0C) fails its
// CRC and ends the walk.
TEST(AnswerFrames, OnlyTheRequestedReadAllSwitchesToShortFrames)
{
    for (const auto& [type, readAll] : {std::pair{1, false}, std::pair{0, true}}) {
        const auto frames = parseDaisyAnswer(kFaultsAnswer, type, kReadAllFaults, readAll);
        ASSERT_EQ(frames.size(), 3u) << type << readAll;
        EXPECT_TRUE(frames[1].crcOk);
        EXPECT_FALSE(frames[2].crcOk);
        EXPECT_EQ(frames[2].dev, 1);  // 0x10: read as a 4-byte frame
    }
}

TEST(AnswerFrames, AFrameThatFailsItsCrcEndsTheAnswerAndIsReturnedLast)
{
    Bytes answer = kFaultsAnswer;
    answer[13] ^= 0x01;  // the second short frame: 0C 10 3F
    const auto frames = parseDaisyAnswer(answer, 1, kReadAllFaults, true);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_TRUE(frames[2].crcOk);
    EXPECT_FALSE(frames[3].crcOk);
    // Its fields are read all the same (the log line shows them).
    EXPECT_EQ(frames[3].dev, 1);
    EXPECT_EQ(frames[3].adr, 3);

    EXPECT_TRUE(parseDaisyAnswer(Bytes{0x13, 0x30, 0x00}, 0, kReadAllFaults, false).empty());
}

TEST(AnswerFrames, TheFirstFrameCountsOnlyWholeAndRight)
{
    const auto ack = firstDaisyFrame(Bytes{0x13, 0x30, 0x00, 0x06, 0x99});
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->dev, 1);
    EXPECT_EQ(ack->cat, 3);
    EXPECT_EQ(ack->adr, 0x0C);
    EXPECT_EQ(ack->dat, 0);
    EXPECT_EQ(ack->reg(), RegisterIndex(3, 0x0C));

    EXPECT_FALSE(firstDaisyFrame(Bytes{0x13, 0x30, 0x00}));
    EXPECT_FALSE(firstDaisyFrame(Bytes{0x13, 0x30, 0x00, 0x07}));
}

// The single-device answer: count byte, two bytes, then the value in report
// bytes 7 and 8 (answer bytes 2 and 3) under two dropped bits.
TEST(AnswerFrames, TheSingleDeviceValueNeedsFourAnswerBytes)
{
    EXPECT_EQ(singleDeviceValue(Bytes{0x00, 0x00, 0xFA, 0x5A}), 0x3A5A);
    EXPECT_EQ(singleDeviceValue(Bytes{0x15, 0xC0, 0xC1, 0x23, 0xFF}), 0x0123);
    EXPECT_FALSE(singleDeviceValue(Bytes{0x00, 0x00, 0xFA}));
}
