#include "bench/GpibLibrary.h"
#include "bench/GpibStatusWords.h"
#include "bench/Vbib32.h"

#include <gtest/gtest.h>

using namespace kvb::bench;

namespace {

// A driver whose every call posts the scripted status, error and count.
class ScriptedDriver : public GpibDriver {
public:
    int32_t status = kStatusComplete;
    int32_t error = 0;
    int32_t count = 0;
    std::vector<int32_t> registerResults;  // consumed front first; then 0
    int registrations = 0;
    int unregistrations = 0;

    int32_t ibdev(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { return post(7); }
    int32_t ibclr(int32_t) override { return post(status); }
    int32_t ibonl(int32_t, int32_t) override { return post(status); }
    int32_t ibrd(int32_t, char*, int32_t) override { return post(status); }
    int32_t ibwrt(int32_t, const char*, int32_t) override { return post(status); }
    int32_t RegisterGpibGlobalsForThread(int32_t* s, int32_t* e, int32_t* c, int32_t* l) override
    {
        ++registrations;
        int32_t rc = 0;
        if (!registerResults.empty()) {
            rc = registerResults.front();
            registerResults.erase(registerResults.begin());
        }
        if (rc == 0)
            words.attach(s, e, c, l);
        return rc;
    }
    int32_t UnregisterGpibGlobalsForThread() override
    {
        ++unregistrations;
        return words.detach();
    }

    GpibStatusWords words;

private:
    int32_t post(int32_t result)
    {
        words.post(status, error, count);
        return result;
    }
};

}  // namespace

TEST(GpibLayer, StatusWordsAreTheLowSixteenBitsOfTheDriversWords)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    driver.status = 0x8100;
    driver.error = 6;
    driver.count = 70000;
    std::string buffer(1024, ' ');
    EXPECT_EQ(gpib.GpibRead(1, buffer, 1024), -32512);
    EXPECT_EQ(gpib.ibsta, -32512);
    EXPECT_TRUE(gpib.failed());
    EXPECT_EQ(gpib.iberr, 6);
    EXPECT_EQ(gpib.ibcntl, 70000);
    EXPECT_EQ(gpib.ibcnt, 4464);

    driver.status = 0x2100;
    driver.count = 0x18000;  // bit 15 set in the low half
    gpib.GpibWrite(1, "X", 1);
    EXPECT_EQ(gpib.ibcnt, -32768);
    EXPECT_FALSE(gpib.failed());
    EXPECT_EQ(Vbib32::ConvertLongToInt16(0x7FFF), 0x7FFF);
    EXPECT_EQ(Vbib32::ConvertLongToInt16(-1), -1);
}

TEST(GpibLayer, RegistersOnceAndReRegistersAfterFailures)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    gpib.GpibClear(1);
    gpib.GpibClear(1);
    EXPECT_EQ(driver.registrations, 1);
    EXPECT_EQ(gpib.GpibGlobalsRegistered, 1);

    // Already registered with other words: unregister, register again.
    ScriptedDriver other;
    other.registerResults = {1};
    gpib.setDriver(other);
    gpib.GpibClear(1);
    EXPECT_EQ(other.unregistrations, 1);
    EXPECT_EQ(other.registrations, 2);
    EXPECT_EQ(gpib.GpibGlobalsRegistered, 1);

    // An unknown result: the status reads as a failed call, and the next
    // wrapper call tries again.
    ScriptedDriver failing;
    failing.registerResults = {4};
    gpib.setDriver(failing);
    gpib.RegisterGpibGlobals();
    EXPECT_EQ(gpib.ibsta, static_cast<int16_t>(0x8000));
    EXPECT_EQ(gpib.iberr, 0);
    EXPECT_EQ(static_cast<uint32_t>(gpib.ibcntl), 0xDEAD37F0u);
    EXPECT_EQ(gpib.GpibGlobalsRegistered, 0);
    gpib.GpibClear(1);
    EXPECT_EQ(failing.registrations, 2);
    EXPECT_FALSE(gpib.failed());
}

TEST(GpibLayer, ACallWhoseStatusCannotBeRegisteredReadsAsFailed)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    gpib.GpibClear(1);  // an earlier success
    ScriptedDriver failing;
    failing.registerResults = {2, 2};
    gpib.setDriver(failing);
    gpib.GpibClear(1);
    EXPECT_TRUE(gpib.failed());
    EXPECT_EQ(failing.unregistrations, 1);
}

TEST(GpibLayer, WithoutTheLibraryEveryOpenFailsWithAClearStatus)
{
    GpibLibrary library({"libkvb-no-such-gpib.so.0"});
    Vbib32 gpib(library);
    EXPECT_FALSE(library.available());
    EXPECT_NE(library.unavailableReason().find("No GPIB library was found"), std::string::npos);
    EXPECT_EQ(gpib.GpibOpenDevice(0, 3, 0, 12, 1, 0), -1);
    EXPECT_TRUE(gpib.failed());
    EXPECT_EQ(gpib.iberr, kErrorSystem);
    gpib.GpibWrite(1, "*IDN?", 5);
    EXPECT_TRUE(gpib.failed());
}

TEST(GpibLayer, ALibraryWithoutTheCallsIsNotUsed)
{
    GpibLibrary library({"libm.so.6"});
    EXPECT_FALSE(library.available());
    EXPECT_NE(library.unavailableReason().find("libm.so.6 lacks the call ibdev"),
              std::string::npos);
}
