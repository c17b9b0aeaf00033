#include "app/DeviceMenu.h"
#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

using namespace kvb;

TEST(DeviceMenu, DaisyChainOfThreeListsDevicesZeroToThreeAndFifteen)
{
    DeviceMenuState s = RefreshDeviceMenu({0, 1, 3, 0, true});
    EXPECT_EQ(s.comboEntries, (std::vector<std::string>{"Device 0", "Device 1", "Device 2",
                                                        "Device 3", "Device 15"}));
    EXPECT_EQ(s.comboSelection, 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(s.items[0][i].enabled, i <= 3 || i == 15) << i;
    EXPECT_TRUE(s.items[0][1].checked);
    for (int i = 0; i < 16; ++i)
        EXPECT_FALSE(s.items[1][i].enabled);
}

TEST(DeviceMenu, NoDeviceOfTheSelectedTypeEmptiesTheCombos)
{
    DeviceMenuState s = RefreshDeviceMenu({1, 1, 3, 0, true});
    EXPECT_TRUE(s.rebuildCombos);
    EXPECT_TRUE(s.comboEntries.empty());
    EXPECT_EQ(s.comboSelection, -1);
    EXPECT_FALSE(s.items[0][1].checked);
}

TEST(DeviceMenu, SingleDeviceLinkDisablesZeroAndFifteenAndKeepsCombos)
{
    DeviceMenuState s = RefreshDeviceMenu({0, 1, 1, 0, false});
    EXPECT_FALSE(s.rebuildCombos);
    EXPECT_FALSE(s.items[0][0].enabled);
    EXPECT_TRUE(s.items[0][1].enabled);
    EXPECT_FALSE(s.items[0][15].enabled);
}

TEST(DeviceMenu, DeviceFifteenAndDevicesAboveTheCount)
{
    DeviceMenuState s = RefreshDeviceMenu({0, 15, 3, 0, true});
    EXPECT_EQ(s.comboSelection, 4);
    EXPECT_EQ(s.selectedDevice, 15);
    EXPECT_EQ(DeviceForComboEntry(4, 5), 15);
    EXPECT_EQ(DeviceForComboEntry(3, 5), 3);

    // Device 9 selected, then a type with two devices: the combos select
    // the highest device instead of an entry that does not exist.
    s = RefreshDeviceMenu({1, 9, 14, 2, true});
    EXPECT_EQ(s.comboSelection, 2);
    EXPECT_EQ(s.selectedDevice, 2);
    EXPECT_EQ(s.comboEntries.size(), 4u);
}

TEST(DeviceMenu, TheCheckMarkFollowsTheDeviceTheCountLowersTo)
{
    // Device 3 was chosen on a chain of three; the chain now has two.
    DeviceMenuState s = RefreshDeviceMenu({0, 3, 2, 0, true});
    EXPECT_EQ(s.selectedDevice, 2);
    EXPECT_EQ(s.comboSelection, 2);
    EXPECT_TRUE(s.items[0][2].checked);
    EXPECT_FALSE(s.items[0][3].checked);

    // Type 1 device 4, then type 0 with two devices.
    s = RefreshDeviceMenu({0, 4, 2, 4, true});
    EXPECT_EQ(s.selectedDevice, 2);
    EXPECT_TRUE(s.items[0][2].checked);
    EXPECT_FALSE(s.items[0][4].checked);
    for (const DeviceMenuItem& item : s.items[1])
        EXPECT_FALSE(item.checked);

    // A device within the count keeps its own check mark.
    s = RefreshDeviceMenu({0, 2, 2, 0, true});
    EXPECT_TRUE(s.items[0][2].checked);
}

TEST(MainWindowLists, BalanceListsAndLogLayout)
{
    auto timeouts = BalanceTimeoutEntries();
    ASSERT_EQ(timeouts.size(), 128u);
    EXPECT_EQ(timeouts[0], "Disabled");
    EXPECT_EQ(timeouts[1], "0.33 Minute");
    EXPECT_EQ(timeouts[2], "0.67 Minute");
    EXPECT_EQ(timeouts[3], "1.00 Minute");
    EXPECT_EQ(timeouts[4], "1.33 Minutes");
    EXPECT_EQ(timeouts[127], "42.33 Minutes");
    EXPECT_EQ(BalanceWaitEntries()[7], "64 seconds");

    // Added height goes to the logs, pixel for pixel, and the log buttons
    // stay under them; the tab strip follows the width.
    const MainWindowGeometry at700 = LayOutMainWindow(1280, 700, 130);
    const MainWindowGeometry at701 = LayOutMainWindow(1280, 701, 130);
    EXPECT_EQ(at701.logHeight, at700.logHeight + 1);
    EXPECT_EQ(at701.logTop, at700.logTop);
    EXPECT_EQ(at700.logControlsTop + kMainLogControlsHeight + 4, 700);
    EXPECT_EQ(at700.tabStripWidth, 1280 - 29);
    EXPECT_EQ(at700.commandsLeft + 130 + 8, 1280);
    // A window too short for the logs keeps them readable.
    EXPECT_EQ(LayOutMainWindow(1280, 300, 130).logHeight, kMainMinLogHeight);
    // The least area holds the page beside the commands column, and the
    // logs at their least height with their buttons below them; a pixel
    // more goes to the logs.
    const Extent least = LeastMainWindowArea(1126, 115);
    const MainWindowGeometry atLeast = LayOutMainWindow(least.width, least.height, 115);
    EXPECT_EQ(atLeast.pageWidth, 1126);
    EXPECT_EQ(atLeast.logHeight, kMainMinLogHeight);
    EXPECT_EQ(atLeast.logControlsTop + kMainLogControlsHeight + 4, least.height);
    EXPECT_EQ(LayOutMainWindow(least.width, least.height + 1, 115).logHeight,
              kMainMinLogHeight + 1);

    EXPECT_EQ(PollIntervalFromText("500"), 500);
    EXPECT_EQ(PollIntervalFromText("10"), 50);
    EXPECT_EQ(PollIntervalFromText("99999"), 5000);
    EXPECT_EQ(PollIntervalFromText("abc"), 50);
    EXPECT_EQ(PollIntervalFromText("120.6"), 121);
}
