// Every character the entry boxes can receive, against the classes the
// boxes admit: hexadecimal digits in both cases (lower case entering as
// upper case), decimal digits, carriage return and backspace; every other
// key is dropped. And every key code against the three edit keys.

#include "core/Hex.h"
#include "core/KeyFilters.h"

#include <gtest/gtest.h>

#include <string>

using namespace kvb;

namespace {

const std::string kDecimal = "0123456789";
const std::string kUpperHex = "ABCDEF";
const std::string kLowerHex = "abcdef";

bool in(const std::string& set, char c)
{
    return set.find(c) != std::string::npos;
}

}  // namespace

TEST(KeyClasses, EachCharacterIsAdmittedOrDroppedByItsClass)
{
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const bool control = code == 13 || code == 8;

        char hex = 0;
        if (control || in(kDecimal, c) || in(kUpperHex, c))
            hex = c;
        else if (in(kLowerHex, c))
            hex = kUpperHex[kLowerHex.find(c)];
        EXPECT_EQ(HexKeyFilter(c), hex) << "code " << code;

        const char dec = control || in(kDecimal, c) ? c : 0;
        EXPECT_EQ(DecKeyFilter(c), dec) << "code " << code;

        const bool hexDigit = in(kDecimal, c) || in(kUpperHex, c) || in(kLowerHex, c);
        EXPECT_EQ(IsHexDigit(c), hexDigit) << "code " << code;
    }
}

// Each digit's value in both cases, read alone and as part of a number, and
// each nibble written back.
TEST(KeyClasses, EachHexDigitHasItsValue)
{
    for (unsigned v = 0; v < 16; ++v) {
        const std::string upper(1, "0123456789ABCDEF"[v]);
        const std::string lower(1, "0123456789abcdef"[v]);
        EXPECT_EQ(ReadDigits(upper).value, v) << upper;
        EXPECT_EQ(ReadDigits(lower).value, v) << lower;
        EXPECT_EQ(ReadDigits("1" + lower + "0").value, 0x100 + v * 16) << lower;
        EXPECT_EQ(ParseHex(upper), v) << upper;
        if (v < 10)
            EXPECT_EQ(ParseDec(upper), v) << upper;
        else
            EXPECT_FALSE(ParseDec(upper)) << upper;
        EXPECT_EQ(ByteToHex2(static_cast<uint8_t>(v)), "0" + upper);
        EXPECT_EQ(ByteToHex2(static_cast<uint8_t>(v << 4)), upper + "0");
    }
    // Octal stops at 8.
    EXPECT_EQ(ReadDigits("7", {.base = 8}).value, 7u);
    EXPECT_FALSE(ReadDigits("8", {.base = 8}).value);
}

TEST(KeyClasses, OnlyCtrlAloneWithA_C_OrVIsAnEditKey)
{
    for (int code = 0; code < 256; ++code)
        for (int mods = 0; mods < 8; ++mods) {
            const bool ctrl = mods & 1, shift = mods & 2, alt = mods & 4;
            EditKey expected = EditKey::None;
            if (ctrl && !shift && !alt) {
                if (code == 65)
                    expected = EditKey::SelectAll;
                else if (code == 67)
                    expected = EditKey::Copy;
                else if (code == 86)
                    expected = EditKey::Paste;
            }
            EXPECT_EQ(TextBoxEditKeys(code, ctrl, shift, alt), expected)
                << "code " << code << " mods " << mods;
        }
}
