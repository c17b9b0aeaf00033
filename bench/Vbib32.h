#pragma once
// The thin layer between the instrument panel and the GPIB driver: five
// wrappers (open, clear, on/off line, read, write) that register the
// driver's per-thread status words on first use, call the driver and copy
// its status into the 16-bit words the panel tests.

#include "bench/GpibDriver.h"

#include <cstdint>
#include <string>

namespace kvb::bench {

class Vbib32 {
public:
    explicit Vbib32(GpibDriver& driver) : driver_(&driver) {}
    // The driver keeps the addresses of the status words: never copied or moved.
    Vbib32(const Vbib32&) = delete;
    Vbib32& operator=(const Vbib32&) = delete;

    // Switches to another driver (the simulated bus); registers again on
    // the next call.
    void setDriver(GpibDriver& driver);
    GpibDriver& driver() const { return *driver_; }

    int16_t GpibOpenDevice(int16_t boardIndex, int16_t primaryAddress, int16_t secondaryAddress,
                           int16_t timeoutCode, int16_t endOnEoi, int16_t endOfString);
    int16_t GpibClear(int16_t device);
    int16_t GpibOnline(int16_t device, int16_t value);
    // Reads at most `count` bytes (never more than the buffer holds) into
    // `buffer`; ibcntl tells how many came.
    int16_t GpibRead(int16_t device, std::string& buffer, int32_t count);
    // Writes the first `count` characters of `text` (at most all of them).
    int16_t GpibWrite(int16_t device, const std::string& text, int32_t count);

    void RegisterGpibGlobals();
    void CopyGpibStatusVars();
    // The low 16 bits of `value` read as a signed 16-bit number.
    static int16_t ConvertLongToInt16(int32_t value);

    // True when the last call set the error bit.
    bool failed() const { return (ibsta & kStatusError) != 0; }

    int16_t ibsta = 0;
    int16_t iberr = 0;
    int16_t ibcnt = 0;
    int32_t ibcntl = 0;
    int16_t GpibGlobalsRegistered = 0;

private:
    void before();
    int16_t after(int32_t result);

    GpibDriver* driver_;
    // Written by the driver after each call once registered.
    int32_t threadStatus_ = 0;
    int32_t threadError_ = 0;
    int32_t threadCount_ = 0;
};

}  // namespace kvb::bench
