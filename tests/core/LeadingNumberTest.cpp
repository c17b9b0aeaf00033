#include "core/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kvb;

TEST(LeadingNumber, ReadsSignDigitsPointAndExponent)
{
    EXPECT_DOUBLE_EQ(LeadingNumber(" 75ms"), 75.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(LeadingNumber("+1.5E2V"), 150.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("12E"), 12.0);  // no exponent digits
    EXPECT_DOUBLE_EQ(LeadingNumber("12e-"), 12.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_FALSE(ReadLeadingNumber("-."));
    EXPECT_FALSE(ReadLeadingNumber(""));
    size_t end = 0;
    EXPECT_DOUBLE_EQ(*ReadLeadingNumber("  -1.2e+3 V", &end), -1200.0);
    EXPECT_EQ(end, 9u);
}

TEST(LeadingNumber, NumbersBeyondADoubleAreInfiniteOrZero)
{
    EXPECT_EQ(LeadingNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("-1e400"), -HUGE_VAL);
    EXPECT_EQ(LeadingNumber(std::string(400, '9')), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("1e-400"), 0.0);
    EXPECT_EQ(LeadingNumber("0.000e400"), 0.0);  // zero, whatever its exponent
    EXPECT_EQ(LeadingNumber("0E400"), 0.0);
    EXPECT_EQ(LeadingNumber("0.00001e-99999999999999999999"), 0.0);
}
