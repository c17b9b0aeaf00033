// Instrument replies cut short at every position: the leading number reads
// what stands before the cut, and a reply that ends on a dangling sign,
// point-less sign or bare exponent is no whole number.

#include "bench/NumberText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace kvb::bench;

}  // namespace

TEST(ReplyCut, LeadingAndWholeNumberAtEveryCut)
{
    const std::string reply = "-1.25E+03";
    struct Expected {
        std::optional<double> leading;
        std::optional<double> whole;
    };
    const Expected expected[] = {
        {std::nullopt, std::nullopt},  // ""
        {std::nullopt, std::nullopt},  // "-"
        {-1.0, -1.0},                  // "-1"
        {-1.0, -1.0},                  // "-1."
        {-1.2, -1.2},                  // "-1.2"
        {-1.25, -1.25},                // "-1.25"
        {-1.25, std::nullopt},         // "-1.25E": the letter is left over
        {-1.25, std::nullopt},         // "-1.25E+"
        {-1.25, -1.25},                // "-1.25E+0"
        {-1250.0, -1250.0},            // "-1.25E+03"
    };
    for (size_t n = 0; n <= reply.size(); ++n) {
        const std::string text = reply.substr(0, n);
        SCOPED_TRACE("reply \"" + text + "\"");
        const auto leading = leadingNumber(text);
        ASSERT_EQ(leading.has_value(), expected[n].leading.has_value());
        if (leading) {
            EXPECT_DOUBLE_EQ(*leading, *expected[n].leading);
        }
        EXPECT_DOUBLE_EQ(numericValue(text), expected[n].leading.value_or(0.0));
        const auto whole = wholeNumber(text);
        ASSERT_EQ(whole.has_value(), expected[n].whole.has_value());
        if (whole) {
            EXPECT_DOUBLE_EQ(*whole, *expected[n].whole);
        }
        // Blanks around a whole number leave it whole.
        EXPECT_EQ(wholeNumber(" " + text + " ").has_value(), expected[n].whole.has_value());
        // Anything else after it does not.
        EXPECT_FALSE(wholeNumber(text + "V"));
    }
    // A reading too large for a double is no number at all.
    EXPECT_FALSE(leadingNumber("1E400"));
    EXPECT_FALSE(wholeNumber("-1E400"));
    EXPECT_EQ(wholeNumber("1E-400"), 0.0);
}
