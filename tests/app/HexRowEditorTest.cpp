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

    e = at("0000", 2);
    HexKeyPress(e, 'b');
    EXPECT_EQ(e.text, "00B0");

    e = HexEdit{"1234", 1, 1, 2};
    HexKeyPress(e, '9');
    EXPECT_EQ(e.text, "194");
    EXPECT_EQ(e.caret, 2);
}

// An overtype rewrites the whole text, which leaves the caret at the start:
// the next digit overtypes the first one.
TEST(HexRowEditor, OvertypeLeavesTheCaretAtTheStart)
{
    HexEdit e = at("0123", 1);
    EXPECT_TRUE(HexKeyPress(e, '5'));
    EXPECT_EQ(e.text, "0523");
    EXPECT_EQ(e.caret, 0);
    EXPECT_EQ(e.selLength, 0);
    EXPECT_TRUE(HexKeyPress(e, '2'));
    EXPECT_EQ(e.text, "2523");
    EXPECT_EQ(e.caret, 0);

    // The last digit is still inside the text; at the end the digit appends.
    e = at("0123", 3);
    HexKeyPress(e, '9');
    EXPECT_EQ(e.text, "0129");
    EXPECT_EQ(e.caret, 0);
    e = at("0123", 4);
    HexKeyPress(e, '9');
    EXPECT_EQ(e.text, "1239");
    EXPECT_EQ(e.caret, 4);

    // A shorter text, left by Backspace, is overtyped the same way.
    e = at("123", 1);
    HexKeyPress(e, 'A');
    EXPECT_EQ(e.text, "1A3");
    EXPECT_EQ(e.caret, 0);

    // Over the limit the caret goes one place past the start, after the "3".
    e = at("0123", 2);
    HexKeyPress(e, '6');
    HexKeyPress(e, 'C');
    EXPECT_EQ(e.text, "3163");  // C163 is above 0x3FFF
    EXPECT_EQ(e.caret, 1);

    // A selection is replaced, and the caret stands after the digit.
    e = HexEdit{"0123", 1, 1, 1};
    HexKeyPress(e, '7');
    EXPECT_EQ(e.text, "0723");
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
    // Each pasted digit is typed: inside the text it overtypes and leaves
    // the caret at the start, at the end it appends.
    HexEdit e = at("0000", 0);
    EXPECT_TRUE(HexPaste(e, "12"));
    EXPECT_EQ(e.text, "2000");
    e = at("0000", 4);
    EXPECT_TRUE(HexPaste(e, "1a"));
    EXPECT_EQ(e.text, "001A");

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
    EXPECT_FALSE(kvb::IsRowText("02a5"));  // the rules type upper case only
}
