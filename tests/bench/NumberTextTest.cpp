#include "bench/NumberText.h"

#include <gtest/gtest.h>

using namespace kvb::bench;

TEST(NumberText, FormatsByPatternWithAPointAlways)
{
    EXPECT_EQ(formatPattern(16.53, "0.00"), "16.53");
    EXPECT_EQ(formatPattern(15.8, "0.00"), "15.80");
    EXPECT_EQ(formatPattern(0.02, "##.0######"), ".02");
    EXPECT_EQ(formatPattern(5.0, "##.###"), "5.");
    EXPECT_EQ(formatPattern(0.001, "##.###"), ".001");
    EXPECT_EQ(formatPattern(12.0, "##.0##"), "12.0");
    EXPECT_EQ(formatPattern(1.2, "##.0##"), "1.2");
    EXPECT_EQ(formatPattern(1234.5, "#,###,###.000######"), "1,234.500");
    EXPECT_EQ(formatPattern(1234567.25, "#,###,###.000######"), "1,234,567.250");
    EXPECT_EQ(formatPattern(1.23456, "#,###,###.000######"), "1.23456");
    EXPECT_EQ(formatPattern(-0.5, "##0.0000000000"), "-0.5000000000");
    EXPECT_EQ(formatPattern(1000000.0123, "##0.0000000000"), "1000000.0123000000");
}

TEST(NumberText, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(numericValue("  +1.23456E+0\r\n"), 1.23456);
    EXPECT_DOUBLE_EQ(numericValue("+1.00000012345000E+006\n"), 1000000.12345);
    EXPECT_DOUBLE_EQ(numericValue("17.200"), 17.2);
    EXPECT_DOUBLE_EQ(numericValue(".5V"), 0.5);
    EXPECT_DOUBLE_EQ(numericValue("12E"), 12.0);
    EXPECT_FALSE(leadingNumber("").has_value());
    EXPECT_FALSE(leadingNumber("abc").has_value());
    EXPECT_FALSE(leadingNumber("-.").has_value());
}
