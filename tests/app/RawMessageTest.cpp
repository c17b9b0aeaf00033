#include "app/RawMessage.h"

#include "link/LinkFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace kvb;

HexEdit atEnd(std::string text)
{
    const int n = static_cast<int>(text.size());
    return HexEdit{std::move(text), n, n, 0};
}

TEST(RawMessageKeys, FieldsShiftLikeACalculatorWithinTheirWidth)
{
    HexEdit data = atEnd("0000");
    RawFieldKeyPress(data, RawData, '7');
    RawFieldKeyPress(data, RawData, 'a');
    EXPECT_EQ(data.text, "007A");
    RawFieldKeyPress(data, RawData, '1');
    EXPECT_EQ(data.text, "07A1");

    HexEdit selected{"07A1", 4, 0, 4};
    RawFieldKeyPress(selected, RawData, '7');
    EXPECT_EQ(selected.text, "7");

    HexEdit one = atEnd("5");
    RawFieldKeyPress(one, RawDataType, kKeyBackspace);
    EXPECT_EQ(one.text, "0");

    HexEdit address = atEnd("3C");
    EXPECT_TRUE(RawFieldKeyPress(address, RawAddress, kKeyEscape));
    EXPECT_EQ(address.text, "00");
    EXPECT_FALSE(RawFieldKeyPress(address, RawAddress, 'G'));
    EXPECT_EQ(address.text, "00");
}

struct Example {
    RawFieldTexts fields;
    std::vector<std::string> bytes;
    std::string crc;
};

TEST(RawMessageEncoding, DaisyChainFramesCarryTheirCrc)
{
    const Example examples[] = {
        {{"1", "3", "12", "0000", "0"}, {"13", "48", "0C"}, "C"},
        {{"0", "3", "09", "0000", "0"}, {"03", "24", "04"}, "4"},
        {{"0", "3", "09", "0002", "0"}, {"03", "24", "26"}, "6"},
        {{"0", "3", "09", "003F", "0"}, {"03", "27", "FE"}, "E"},
    };
    for (const Example& e : examples) {
        const RawFrameDisplay shown = DisplayRawFrame(BuildRawMessage(e.fields, true, 0), true);
        EXPECT_EQ(shown.bytes, e.bytes);
        EXPECT_EQ(shown.crc4, e.crc);
    }
    const link::ChipMessage write = BuildRawMessage({"2", "A", "10", "1234", "0"}, true, 0);
    EXPECT_EQ(write.FrameBytes.size(), 4u);
}

TEST(RawMessageEncoding, SingleDeviceFramesHaveNoDeviceNorCrc)
{
    const link::ChipMessage read = BuildRawMessage({"F", "1", "05", "0000", "7"}, false, 0);
    EXPECT_EQ(read.dev, 0);
    const RawFrameDisplay shown = DisplayRawFrame(read, false);
    EXPECT_EQ(shown.bytes, (std::vector<std::string>{"11", "40"}));
    EXPECT_EQ(shown.crc4, "");
    EXPECT_EQ(BuildRawMessage({"0", "9", "05", "1234", "0"}, false, 0).FrameBytes.size(), 3u);
}

TEST(RawMessageEncoding, DataBeyondSixteenBitsIsRefused)
{
    EXPECT_THROW(BuildRawMessage({"0", "8", "00", "FFFF", "0"}, true, 0), std::overflow_error);
    EXPECT_THROW(BuildRawMessage({"0", "8", "00", "8000", "0"}, true, 0), std::overflow_error);
    EXPECT_THROW(BuildRawMessage({"0", "x", "00", "0000", "0"}, true, 0), std::invalid_argument);
    EXPECT_NO_THROW(BuildRawMessage({"0", "8", "00", "7FFF", "0"}, true, 0));
}

TEST(RawMessageSending, ReadsOrWritesByDataTypeAfterItsChecks)
{
    test::LinkFixture b;
    RawMessageSender sender(b.link, b.t.services);
    sender.cbSendRawMsg_Click({"1", "2", "10", "0000", "0"}, 0);
    ASSERT_EQ(b.t.prompter.asked.size(), 1u);
    EXPECT_EQ(b.t.prompter.asked[0].text, "KVB71853 EVB not connected!");
    EXPECT_TRUE(b.logHas("cbSendRawMsg_Click: EVB not detected. Please check connections."));

    ASSERT_TRUE(b.connect(true, 2));
    b.chain.received.clear();
    sender.cbSendRawMsg_Click({"1", "2", "10", "0000", "0"}, 1);
    EXPECT_EQ(b.t.prompter.asked.back().text, "KVB53961 not present!");
    EXPECT_TRUE(b.chain.received.empty());

    sender.cbSendRawMsg_Click({"2", "A", "10", "0123", "0"}, 0);
    EXPECT_TRUE(b.logHas("wrt,"));
    EXPECT_EQ(b.chain.device(0, 2).regs[144], 0x123);
    EXPECT_EQ(b.link.image.at(0, 2, 144), 0x123);

    b.chain.device(0, 1).regs[145] = 0x222;
    sender.cbSendRawMsg_Click({"1", "2", "11", "0000", "0"}, 0);
    EXPECT_TRUE(b.logHas("cmd,"));
    EXPECT_EQ(b.link.image.at(0, 1, 145), 0x222);
    EXPECT_EQ(b.link.pauseDepth(), 0);

    const size_t asked = b.t.prompter.asked.size();
    b.chain.received.clear();
    sender.cbSendRawMsg_Click({"1", "A", "11", "FFFF", "0"}, 0);
    ASSERT_EQ(b.t.prompter.asked.size(), asked + 1);
    EXPECT_NE(b.t.prompter.asked.back().text.find("Err.Number = 6"), std::string::npos);
    EXPECT_TRUE(b.chain.received.empty());
}

}  // namespace
