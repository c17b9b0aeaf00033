#include "core/Hex.h"

#include <gtest/gtest.h>

using namespace kvb;

namespace {

std::optional<unsigned long long> read(std::string_view text, const DigitRules& rules = {})
{
    return ReadDigits(text, rules).value;
}

}  // namespace

// Register-row boxes, "registers.txt" bytes and configuration-file fields:
// every character a digit, either case, nothing around them.
TEST(ReadDigits, PlainTextIsDigitsOnly)
{
    EXPECT_EQ(read("3fFf"), 0x3FFFu);
    EXPECT_EQ(read("0"), 0u);
    EXPECT_EQ(read("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(read(""));
    EXPECT_FALSE(read("3FFZ"));
    EXPECT_FALSE(read("G0"));
    EXPECT_FALSE(read(" 1"));
    EXPECT_FALSE(read("0x1F"));
    EXPECT_FALSE(read("-1"));
    // The row value reads at most eight digits.
    EXPECT_EQ(read("0000FFFF", {.maxLength = 8}), 0xFFFFu);
    EXPECT_FALSE(read("00000FFFF", {.maxLength = 8}));
}

// The strict number boxes: blanks trimmed, ten characters at most, a limit.
TEST(ReadDigits, TrimmedTextWithLengthAndValueLimits)
{
    const DigitRules box{.trimBlanks = true, .maxLength = 10, .max = 0xFFFF};
    EXPECT_EQ(read(" \t1F ", box), 0x1Fu);
    EXPECT_EQ(read("FFFF", box), 0xFFFFu);
    EXPECT_FALSE(read("10000", box));
    EXPECT_TRUE(ReadDigits("10000", box).tooLarge);
    EXPECT_FALSE(read("   ", box));
    EXPECT_FALSE(read("1 2", box));
    EXPECT_EQ(read(" 000000FFFF ", box), 0xFFFFu);  // ten digits once trimmed
    EXPECT_FALSE(read("0000000FFFF", box));
    // Decimal: letters are not digits.
    const DigitRules dec{.base = 10, .trimBlanks = true, .maxLength = 10, .max = 0xFFFF};
    EXPECT_EQ(read("65535", dec), 65535u);
    EXPECT_FALSE(read("65536", dec));
    EXPECT_FALSE(read("1A", dec));
    EXPECT_EQ(ParseHex(" ff "), 0xFFu);
    EXPECT_EQ(HexStrToInt("FFFF"), -1);
    EXPECT_EQ(HexStrToInt("10000"), 0);
}

// "&H" and "&O" numbers in the register-definition file: the digits at the
// front count, and a value wider than 32 bits is an overflow.
TEST(ReadDigits, LeadingDigitsStopAtTheFirstOtherCharacter)
{
    const DigitRules hex{.leadingOnly = true};
    DigitsRead r = ReadDigits("1Fzz", hex);
    EXPECT_EQ(r.value, 0x1Fu);
    EXPECT_EQ(r.digits, 2u);
    r = ReadDigits("zz", hex);
    EXPECT_FALSE(r.value);
    EXPECT_EQ(r.digits, 0u);
    EXPECT_FALSE(r.tooLarge);
    EXPECT_EQ(ReadDigits("FFFFFFFF", hex).value, 0xFFFFFFFFu);
    r = ReadDigits("100000000", hex);
    EXPECT_FALSE(r.value);
    EXPECT_TRUE(r.tooLarge);
    // Too wide even when something else follows, and long runs do not wrap.
    EXPECT_TRUE(ReadDigits("123456789z", hex).tooLarge);
    EXPECT_TRUE(ReadDigits("100000000000000000000", hex).tooLarge);
    const DigitRules octal{.base = 8, .leadingOnly = true};
    r = ReadDigits("178", octal);
    EXPECT_EQ(r.value, 017u);
    EXPECT_EQ(r.digits, 2u);
    EXPECT_EQ(ReadDigits("37777777777", octal).value, 0xFFFFFFFFu);
    EXPECT_TRUE(ReadDigits("40000000000", octal).tooLarge);
}

TEST(ReadDigits, HexDigitClass)
{
    EXPECT_TRUE(IsHexDigit('0'));
    EXPECT_TRUE(IsHexDigit('9'));
    EXPECT_TRUE(IsHexDigit('a'));
    EXPECT_TRUE(IsHexDigit('F'));
    EXPECT_FALSE(IsHexDigit('g'));
    EXPECT_FALSE(IsHexDigit('G'));
    EXPECT_FALSE(IsHexDigit('/'));
    EXPECT_FALSE(IsHexDigit(':'));
    EXPECT_FALSE(IsHexDigit('@'));
    EXPECT_FALSE(IsHexDigit('`'));
}
