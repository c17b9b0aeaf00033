#include "bench/Vbib32.h"

#include <algorithm>

namespace kvb::bench {

void Vbib32::setDriver(GpibDriver& driver)
{
    driver_ = &driver;
    GpibGlobalsRegistered = 0;
}

int16_t Vbib32::ConvertLongToInt16(int32_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu));
}

void Vbib32::RegisterGpibGlobals()
{
    int32_t rc = driver_->RegisterGpibGlobalsForThread(&threadStatus_, &threadError_,
                                                       &threadCount_, &ibcntl);
    if (rc == 0) {
        GpibGlobalsRegistered = 1;
        return;
    }
    if (rc == 1) {
        driver_->UnregisterGpibGlobalsForThread();
        driver_->RegisterGpibGlobalsForThread(&threadStatus_, &threadError_, &threadCount_,
                                              &ibcntl);
        GpibGlobalsRegistered = 1;
        return;
    }
    if (rc == 2 || rc == 3)
        driver_->UnregisterGpibGlobalsForThread();
    ibsta = static_cast<int16_t>(kStatusError);
    iberr = 0;
    ibcntl = static_cast<int32_t>(0xDEAD37F0u);
    // The driver will not write the thread words now; make them read as a
    // failed call too, so the call that follows cannot look successful on
    // the status of an earlier one.
    threadStatus_ = kStatusError;
    threadError_ = 0;
}

void Vbib32::CopyGpibStatusVars()
{
    ibsta = ConvertLongToInt16(threadStatus_);
    iberr = static_cast<int16_t>(threadError_);
    ibcnt = ConvertLongToInt16(ibcntl);
}

void Vbib32::before()
{
    if (GpibGlobalsRegistered == 0)
        RegisterGpibGlobals();
}

int16_t Vbib32::after(int32_t result)
{
    int16_t r = ConvertLongToInt16(result);
    CopyGpibStatusVars();
    return r;
}

int16_t Vbib32::GpibOpenDevice(int16_t boardIndex, int16_t primaryAddress,
                               int16_t secondaryAddress, int16_t timeoutCode, int16_t endOnEoi,
                               int16_t endOfString)
{
    before();
    return after(driver_->ibdev(boardIndex, primaryAddress, secondaryAddress, timeoutCode,
                                endOnEoi, endOfString));
}

int16_t Vbib32::GpibClear(int16_t device)
{
    before();
    return after(driver_->ibclr(device));
}

int16_t Vbib32::GpibOnline(int16_t device, int16_t value)
{
    before();
    return after(driver_->ibonl(device, value));
}

int16_t Vbib32::GpibRead(int16_t device, std::string& buffer, int32_t count)
{
    before();
    int32_t n = std::clamp<int32_t>(count, 0, static_cast<int32_t>(buffer.size()));
    return after(driver_->ibrd(device, buffer.data(), n));
}

int16_t Vbib32::GpibWrite(int16_t device, const std::string& text, int32_t count)
{
    before();
    int32_t n = std::clamp<int32_t>(count, 0, static_cast<int32_t>(text.size()));
    return after(driver_->ibwrt(device, text.data(), n));
}

}  // namespace kvb::bench
