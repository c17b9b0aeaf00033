// The number readers given a well-formed number cut short at every
// position: a text that ends on a sign, a point, a bare exponent letter or
// an exponent sign must read what stands before it, and say where it ended,
// never run past the text's end or take the dangling character.

#include "core/Hex.h"
#include "core/LeadingNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace kvb;

struct Cut {
    std::optional<double> value;
    size_t end;
};

}  // namespace

TEST(CutNumbers, LeadingNumberAtEveryCutOfASignedNumberWithExponent)
{
    const std::string whole = "-12.5e+3";
    // What each prefix of the text reads, and where the number ends.
    const Cut expected[] = {
        {std::nullopt, 0},  // ""
        {std::nullopt, 0},  // "-"
        {-1.0, 2},          // "-1"
        {-12.0, 3},         // "-12"
        {-12.0, 4},         // "-12."
        {-12.5, 5},         // "-12.5"
        {-12.5, 5},         // "-12.5e"
        {-12.5, 5},         // "-12.5e+"
        {-12500.0, 8},      // "-12.5e+3"
    };
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("text \"" + whole.substr(0, n) + "\"");
        size_t end = 99;
        const auto value = ReadLeadingNumber(whole.substr(0, n), &end);
        EXPECT_EQ(value, expected[n].value);
        if (value) {
            EXPECT_EQ(end, expected[n].end);
        }
        EXPECT_DOUBLE_EQ(LeadingNumber(whole.substr(0, n)), expected[n].value.value_or(0.0));
        // The same prefix followed by a letter reads the same and ends at
        // the same place: the letter never joins the number.
        end = 99;
        const auto followed = ReadLeadingNumber(whole.substr(0, n) + "V", &end);
        EXPECT_EQ(followed, expected[n].value);
        if (followed) {
            EXPECT_EQ(end, expected[n].end);
        }
    }
}

TEST(CutNumbers, LeadingNumberAtEveryCutOfAPointFirstNumber)
{
    const std::string whole = "+.25E-2";
    const Cut expected[] = {
        {std::nullopt, 0},  // ""
        {std::nullopt, 0},  // "+"
        {std::nullopt, 0},  // "+."
        {0.2, 3},           // "+.2"
        {0.25, 4},          // "+.25"
        {0.25, 4},          // "+.25E"
        {0.25, 4},          // "+.25E-"
        {0.0025, 7},        // "+.25E-2"
    };
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("text \"" + whole.substr(0, n) + "\"");
        size_t end = 99;
        const auto value = ReadLeadingNumber(whole.substr(0, n), &end);
        ASSERT_EQ(value.has_value(), expected[n].value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *expected[n].value);
            EXPECT_EQ(end, expected[n].end);
        }
    }
    // Blanks in front count toward the end index.
    size_t end = 0;
    EXPECT_EQ(ReadLeadingNumber("  7e", &end), 7.0);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(ReadLeadingNumber("\t-", &end), std::nullopt);
}

TEST(CutNumbers, HexReadersAtEveryCut)
{
    const std::string whole = "3FA7";
    const unsigned values[] = {0, 0x3, 0x3F, 0x3FA, 0x3FA7};
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("text \"" + whole.substr(0, n) + "\"");
        const std::string text = whole.substr(0, n);
        if (n == 0) {
            EXPECT_FALSE(ParseHex(text));
            EXPECT_FALSE(ReadDigits(text).value);
            EXPECT_EQ(HexStrToInt(text), 0);
            continue;
        }
        EXPECT_EQ(ParseHex(text), values[n]);
        EXPECT_EQ(HexStrToInt(text), static_cast<int16_t>(values[n]));
        // Leading digits: the cut text, then a character that is no digit.
        const DigitsRead lead = ReadDigits(text + "G", {.leadingOnly = true});
        EXPECT_EQ(lead.value, values[n]);
        EXPECT_EQ(lead.digits, n);
        // Strict: the same text with a character after it is refused.
        EXPECT_FALSE(ParseHex(text + "G"));
        EXPECT_EQ(HexStrToInt(text + "G"), 0);
        // Trimmed: a blank after the cut is no digit and no refusal.
        EXPECT_EQ(ParseHex(text + " "), values[n]);
    }
    // A prefix alone is no number.
    EXPECT_FALSE(ParseHex("0x"));
    EXPECT_FALSE(ReadDigits("&H", {.leadingOnly = true}).value);
    EXPECT_FALSE(ParseDec(""));
    EXPECT_EQ(ParseDec("6"), 6u);
    EXPECT_EQ(ParseDec("65"), 65u);
    EXPECT_FALSE(ParseDec("65-"));
}
