#include "link/ErrorLogWindow.h"
#include "link/LinkText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <vector>

using namespace kvb::link;

TEST(LinkText, HexFieldsArePaddedAndCut)
{
    EXPECT_EQ(HexPrefixed(0x3A5A, 2), "0x5A");
    EXPECT_EQ(HexPrefixed(10, 2), "0x0A");
    EXPECT_EQ(HexPrefixed(0, 4), "0x0000");
    EXPECT_EQ(HexPadded(5, 4), "0005");
    EXPECT_EQ(HexPadded(-1, 4), "FFFF");
    EXPECT_EQ(HexPrefixed(0x0ABCDEF1, 8), "0x0ABCDEF1");
    EXPECT_EQ(HexPrefixed(16386, 8), "0x00004002");
    EXPECT_EQ(HexPrefixed("abc", 2), "?");
    EXPECT_EQ(HexPadded("", 2), "?");
    EXPECT_EQ(HexPrefixed("26", 2), "0x1A");
}

// Every digit, the widths around the seven padding zeros, and both sides of
// the 16-bit edge of negative values.
TEST(LinkText, HexFieldsWriteEveryDigitAndEdge)
{
    const std::string digits = "0123456789ABCDEF";
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(HexPadded(n, 1), digits.substr(static_cast<size_t>(n), 1));
        EXPECT_EQ(HexPrefixed(n * 0x111, 3), "0x" + std::string(3, digits[static_cast<size_t>(n)]));
    }
    EXPECT_EQ(HexPadded(5, 7), "0000005");
    EXPECT_EQ(HexPadded(5, 8), "00000005");
    EXPECT_EQ(HexPadded(5, 9), "00000005");  // no digits beyond the zeros and the value
    EXPECT_EQ(HexPadded(-32768, 8), "00008000");
    EXPECT_EQ(HexPadded(-32769, 8), "FFFF7FFF");
    EXPECT_EQ(HexPadded(32767, 8), "00007FFF");
    EXPECT_EQ(HexPadded(32768, 8), "00008000");
}

TEST(LinkText, TrafficLinesNameTheDeviceOnlyWhenGiven)
{
    EXPECT_EQ(TrafficLine("rcv,", "KVB71853", 3, 1, 0x0C, 0x1234),
              "rcv,KVB71853,dev0x03,cat0x01,adr0x0C,dat0x1234");
    EXPECT_EQ(TrafficLine("cmd,", "NA", std::nullopt, 0x0B, 0x3F, -1),
              "cmd,NA,cat0x0B,adr0x3F,dat0xFFFF");
    EXPECT_EQ(TrafficLine("cmd,", "KVB71853", 15, 2, 4, 0x2ABC, 2),
              "cmd,KVB71853,dev0x0F,cat0x02,adr0x04,dat0xBC");
}

TEST(LinkText, DumpsHoldEightBytesALine)
{
    const std::vector<uint8_t> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(ByteDump("Rcvd:", ten), "Rcvd: 01 02 03 04 05 06 07 08\r\n      09 0A\r\n");
    EXPECT_EQ(ByteDump("Sent:", std::span(ten).first(8)), "Sent: 01 02 03 04 05 06 07 08\r\n");
    EXPECT_EQ(ByteDump("Sent:", std::span(ten).first(9)),
              "Sent: 01 02 03 04 05 06 07 08\r\n      09\r\n");
    EXPECT_EQ(ByteDump("Sent:", std::span<const uint8_t>()), "Sent:");
}

TEST(ErrorLogWindow, StartsAfreshWhenTheCounterPassesTheLimit)
{
    ErrorLogWindow window(" Communication Errors");
    auto lines = [&] {
        size_t n = 0;
        for (size_t at = 0; (at = window.text().find("\r\n", at)) != std::string::npos; at += 2)
            ++n;
        return n;
    };
    for (int i = 0; i < 250; ++i)
        window.add("KVB71853", "line");
    EXPECT_EQ(lines(), 250u);
    window.add("KVB71853", "trip");
    EXPECT_EQ(window.text(), "trip\r\n");
    EXPECT_EQ(window.lineCount(), 0);
    for (int i = 0; i < 250; ++i)
        window.add("KVB71853", "line");
    EXPECT_EQ(lines(), 251u);
    window.add("KVB71853", "again");
    EXPECT_EQ(window.text(), "again\r\n");
    EXPECT_EQ(window.caption(), "KVB71853 Communication Errors");
}

TEST(ErrorLogWindow, ClearAndDoneKeepTheCounter)
{
    ErrorLogWindow window(" Fault Status Log");
    window.add("A", "one");
    window.clearText();
    EXPECT_EQ(window.text(), "");
    EXPECT_EQ(window.lineCount(), 1);
    window.add("A", "two");
    window.done();
    EXPECT_FALSE(window.visible());
    window.add("B", "three");
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.text(), "two\r\nthree\r\n");
    EXPECT_EQ(window.caption(), "B Fault Status Log");
}

// The stamp before each error-log line: the short date, a blank, the long
// time, of the local clock. In English as written in the United States.
TEST(ErrorLogWindow, LinesAreStampedWithTheShortDateAndTheLongTime)
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 9;
    local.tm_hour = 13;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&local));
    kvb::EnglishFormatter english;
    EXPECT_EQ(LogTimeStamp(english, when), "12/9/2026 1:05:07 PM");

    auto at = [&](int hour, int minute) {
        return english.longTime({2026, 1, 31, hour, minute, 0});
    };
    EXPECT_EQ(at(0, 0), "12:00:00 AM");
    EXPECT_EQ(at(11, 59), "11:59:00 AM");
    EXPECT_EQ(at(12, 0), "12:00:00 PM");
    EXPECT_EQ(at(23, 59), "11:59:00 PM");
    EXPECT_EQ(english.shortDate({2026, 1, 31, 0, 0, 0}), "1/31/2026");
}
