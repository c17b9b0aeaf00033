#include "app/ManualConfig.h"

#include <gtest/gtest.h>

using kvb::DeviceChoice;
using kvb::LinkChoice;
using kvb::ManualConfigFor;

TEST(ManualConfig, FreshDialogConfiguresADaisyChainOfOneKvb53960)
{
    const auto r = ManualConfigFor({});
    EXPECT_TRUE(r.daisyChain);
    EXPECT_EQ(r.pipeCommandCode, 0x16);
    EXPECT_EQ(r.gpioSetupByte, 8);
    EXPECT_EQ(r.deviceCount1, 1);
    EXPECT_EQ(r.deviceCount2, 0);
    EXPECT_FALSE(r.secondTypePresent);
    EXPECT_EQ(r.partName1, "KVB53960");
    EXPECT_EQ(r.partName2, "");
    EXPECT_FALSE(r.hideRawDeviceTypes);
    EXPECT_EQ(r.rawDeviceTypeCaptions[0], "KVB53960");
}

TEST(ManualConfig, DaisyChainMappings)
{
    auto r = ManualConfigFor({LinkChoice::DaisyChain, DeviceChoice::Kvb53960And53961, 5});
    EXPECT_EQ(r.deviceCount1, 5);
    EXPECT_EQ(r.deviceCount2, 5);
    EXPECT_TRUE(r.secondTypePresent);
    EXPECT_EQ(r.partName2, "KVB53961");
    EXPECT_EQ(r.rawDeviceTypeCaptions[1], "KVB53961");

    r = ManualConfigFor({LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 14});
    EXPECT_EQ(r.deviceCount1, 14);
    EXPECT_EQ(r.partName1, "KVB71853");
    EXPECT_EQ(r.partName2, "NONE");
    EXPECT_EQ(r.rawDeviceTypeCaptions[1], "");

    r = ManualConfigFor({LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 40});
    EXPECT_EQ(r.deviceCount1, 14);  // the stack holds at most 14 devices
}

TEST(ManualConfig, SingleDeviceIgnoresTheStackSize)
{
    auto r = ManualConfigFor({LinkChoice::NonDaisyChain, DeviceChoice::Kvb71853Only, 9});
    EXPECT_FALSE(r.daisyChain);
    EXPECT_EQ(r.pipeCommandCode, 0x15);
    EXPECT_EQ(r.gpioSetupByte, 0);
    EXPECT_EQ(r.deviceCount1, 1);
    EXPECT_EQ(r.deviceCount2, 0);
    EXPECT_EQ(r.partName2, "");  // not "NONE" on a single-device link
    EXPECT_TRUE(r.hideRawDeviceTypes);

    r = ManualConfigFor({LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960And53961, 9});
    EXPECT_EQ(r.deviceCount1, 1);
    EXPECT_EQ(r.deviceCount2, 1);
    EXPECT_TRUE(r.secondTypePresent);
}

TEST(ManualConfig, CancelKeepsTheAcceptedConfigurationAndCaptionNamesTheMode)
{
    kvb::ManualConfig config;
    EXPECT_FALSE(config.result.daisyChain);
    config.accept({LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 3});
    config.cancel();
    EXPECT_TRUE(config.done);
    EXPECT_FALSE(config.accepted);
    EXPECT_EQ(config.result.deviceCount1, 3);
    config.failed();
    EXPECT_FALSE(config.done);

    EXPECT_EQ(kvb::ManualConfigCaption(true), "KVB71853 Device: Daisy Chain  Version 1.0.0");
    EXPECT_EQ(kvb::ManualConfigCaption(false), "KVB71853 Device: Non-Daisy Chain  Version 1.0.0");
}

TEST(ManualConfig, TypedStackSizeIsHeldWithinOneToFourteen)
{
    using kvb::StackSizeFromText;
    EXPECT_EQ(StackSizeFromText("14"), 14);
    EXPECT_EQ(StackSizeFromText("15"), 14);
    EXPECT_EQ(StackSizeFromText("99"), 14);
    EXPECT_EQ(StackSizeFromText("99999999999999999999"), 14);
    EXPECT_EQ(StackSizeFromText("1"), 1);
    EXPECT_EQ(StackSizeFromText("0"), 1);
    EXPECT_EQ(StackSizeFromText("09"), 9);
    EXPECT_EQ(StackSizeFromText(""), std::nullopt);  // still being typed
    EXPECT_EQ(StackSizeFromText("-3"), std::nullopt);
}
