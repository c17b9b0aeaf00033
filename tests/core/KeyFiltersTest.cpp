#include "core/KeyFilters.h"

#include <gtest/gtest.h>

using namespace kvb;

TEST(KeyFilters, HexUpperCasesAndDropsTheRest)
{
    EXPECT_EQ(HexKeyFilter('a'), 'A');
    EXPECT_EQ(HexKeyFilter('F'), 'F');
    EXPECT_EQ(HexKeyFilter('7'), '7');
    EXPECT_EQ(HexKeyFilter(13), 13);
    EXPECT_EQ(HexKeyFilter(8), 8);
    EXPECT_EQ(HexKeyFilter('g'), 0);
    EXPECT_EQ(HexKeyFilter(22), 0);  // Ctrl+V's control character
    EXPECT_EQ(DecKeyFilter('9'), '9');
    EXPECT_EQ(DecKeyFilter('a'), 0);
    EXPECT_EQ(DecKeyFilter(8), 8);
}

TEST(KeyFilters, EditKeysNeedCtrlAlone)
{
    EXPECT_EQ(TextBoxEditKeys(86, true, false, false), EditKey::Paste);
    EXPECT_EQ(TextBoxEditKeys(86, true, true, false), EditKey::None);
    EXPECT_EQ(TextBoxEditKeys(65, true, false, false), EditKey::SelectAll);
    EXPECT_EQ(TextBoxEditKeys(67, true, false, true), EditKey::None);
    EXPECT_EQ(TextBoxEditKeys(67, false, false, false), EditKey::None);
}

TEST(KeyFilters, CountTextIsTheLeadingNumberHeldToTheRange)
{
    // Pasted text: sign, exponent and a blank inside the number.
    EXPECT_EQ(ClampCountText("+45", 1, 255), 45);
    EXPECT_EQ(ClampCountText("1e2", 1, 255), 100);
    EXPECT_EQ(ClampCountText("4 5", 1, 255), 4);
    EXPECT_EQ(ClampCountText("12ab", 1, 32), 12);
    EXPECT_EQ(ClampCountText("", 1, 32), 1);
    EXPECT_EQ(ClampCountText("-3", 1, 32), 1);
    // Each side of both limits; a fraction rounds, halves to even.
    EXPECT_EQ(ClampCountText("32", 1, 32), 32);
    EXPECT_EQ(ClampCountText("33", 1, 32), 32);
    EXPECT_EQ(ClampCountText("1", 1, 32), 1);
    EXPECT_EQ(ClampCountText("0.5", 1, 32), 1);
    EXPECT_EQ(ClampCountText("2.5", 1, 32), 2);
    EXPECT_EQ(ClampCountText("2.6", 1, 32), 3);
    EXPECT_EQ(ClampCountText("99999999999999999999", 1, 255), 255);
    EXPECT_EQ(ClampCountText("1e400", 1, 32), 32);
}
