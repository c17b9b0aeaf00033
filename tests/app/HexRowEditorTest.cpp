#include "app/HexRowEditor.h"

#include <gtest/gtest.h>

using kvb::HexEdit;
using kvb::HexKeyPress;
using kvb::HexPaste;

namespace {

HexEdit at(std::string text, int caret)
{
    return HexEdit{std::move(text), caret, caret, 0};
}

}  // namespace

TEST(HexRowEditor, DigitsAppendOvertypeAndStayWithinFourteenBits)
{
    HexEdit e = at("0123", 4);
    EXPECT_TRUE(HexKeyPress(e, '4'));
    EXPECT_EQ(e.text, "1234");
    EXPECT_EQ(e.caret, 4);

    e = at("0000", 0);
    EXPECT_TRUE(HexKeyPress(e, 'F'));
    EXPECT_EQ(e.text, "3000");  // F000 is above 0x3FFF
    EXPECT_EQ(e.caret, 1);

    e = at("3FFF", 4);
    HexKeyPress(e, '5');
    EXPECT_EQ(e.text, "3FF5");  // FFF5 limited

    e = at("0000", 0);
    for (char c : std::string("1234"))
        HexKeyPress(e, c);
    EXPECT_EQ(e.text, "1234");  // overtyping moves along the digits

    e = at("0000", 2);
    HexKeyPress(e, 'b');
    EXPECT_EQ(e.text, "00B0");

    e = HexEdit{"1234", 1, 1, 2};
    HexKeyPress(e, '9');
    EXPECT_EQ(e.text, "194");
    EXPECT_EQ(e.caret, 2);
}

TEST(HexRowEditor, BackspaceEscapeAndRefusedKeys)
{
    HexEdit e = at("1", 1);
    EXPECT_TRUE(HexKeyPress(e, kvb::kKeyBackspace));
    EXPECT_EQ(e.text, "0");
    EXPECT_EQ(e.caret, 1);

    e = at("1234", 0);
    EXPECT_TRUE(HexKeyPress(e, kvb::kKeyBackspace));  // handled, nothing deleted
    EXPECT_EQ(e.text, "1234");

    e = HexEdit{"1234", 3, 1, 2};
    HexKeyPress(e, kvb::kKeyBackspace);
    EXPECT_EQ(e.text, "14");

    e = at("2A5", 1);
    EXPECT_TRUE(HexKeyPress(e, kvb::kKeyEscape));
    EXPECT_EQ(e.text, "0000");

    for (int key : {int('G'), int(' '), int('\r'), 22, 3, 127}) {
        e = at("0123", 2);
        EXPECT_FALSE(HexKeyPress(e, key)) << key;
        EXPECT_EQ(e.text, "0123");
    }
}

TEST(HexRowEditor, PasteIsTypedOrRefusedWhole)
{
    HexEdit e = at("0000", 0);
    EXPECT_TRUE(HexPaste(e, "1a"));
    EXPECT_EQ(e.text, "1A00");

    e = at("0000", 4);
    EXPECT_TRUE(HexPaste(e, "FFFFF"));
    EXPECT_EQ(e.text, "3FFF");

    for (const char* bad : {"", "12G4", " 12", "0x12", "-1", "1\n"}) {
        e = at("0123", 4);
        EXPECT_FALSE(HexPaste(e, bad)) << bad;
        EXPECT_EQ(e.text, "0123");
    }
}

TEST(HexRowEditor, RowTextsAndValues)
{
    EXPECT_EQ(kvb::HexRowValue(""), 0u);
    EXPECT_EQ(kvb::HexRowValue("FFFF"), 65535u);
    EXPECT_EQ(kvb::HexRowValue("02a5"), 0x2A5u);
    EXPECT_TRUE(kvb::IsRowText(""));
    EXPECT_TRUE(kvb::IsRowText("3FFF"));
    EXPECT_FALSE(kvb::IsRowText("4000"));
    EXPECT_FALSE(kvb::IsRowText("00000"));
    EXPECT_FALSE(kvb::IsRowText("1 2"));
}
