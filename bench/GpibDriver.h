#pragma once
// The calls of an NI-488.2 style GPIB driver that the instrument layer uses,
// as one interface: the real driver library loaded at run time and the
// simulated bus both implement it. Status, error and byte count of each call
// are written by the driver into the four words registered for the thread.

#include <cstdint>
#include <string>

namespace kvb::bench {

// Bits of the status word.
inline constexpr int32_t kStatusError = 0x8000;    // the call failed
inline constexpr int32_t kStatusTimeout = 0x4000;  // the time limit ran out
inline constexpr int32_t kStatusEnd = 0x2000;      // end of a message read
inline constexpr int32_t kStatusComplete = 0x0100; // I/O completed

// Error codes reported after a failed call.
inline constexpr int32_t kErrorSystem = 0;      // EDVR: no driver, bad descriptor
inline constexpr int32_t kErrorNoListener = 2;  // ENOL
inline constexpr int32_t kErrorArgument = 4;    // EARG
inline constexpr int32_t kErrorAborted = 6;     // EABO: time-out

class GpibDriver {
public:
    virtual ~GpibDriver() = default;

    // False when no driver could be reached; every call then fails.
    virtual bool available() const { return true; }
    // Why the driver cannot be reached, for the user.
    virtual std::string unavailableReason() const { return {}; }

    // Opens a device: returns its descriptor, or -1.
    virtual int32_t ibdev(int32_t boardIndex, int32_t primaryAddress, int32_t secondaryAddress,
                          int32_t timeoutCode, int32_t endOnEoi, int32_t endOfString) = 0;
    // Selected device clear.
    virtual int32_t ibclr(int32_t device) = 0;
    // Puts the device on line (1) or takes it off line (0); off line frees it.
    virtual int32_t ibonl(int32_t device, int32_t value) = 0;
    // Reads at most `count` bytes into `buffer`.
    virtual int32_t ibrd(int32_t device, char* buffer, int32_t count) = 0;
    // Writes `count` bytes.
    virtual int32_t ibwrt(int32_t device, const char* data, int32_t count) = 0;

    // Registers the four words the driver fills after every call: status,
    // error, count and long count. 0 = registered, 1 = this thread already
    // registered other words, 2 or 3 = the driver's own failures, other
    // values = unknown failure.
    virtual int32_t RegisterGpibGlobalsForThread(int32_t* status, int32_t* error, int32_t* count,
                                                 int32_t* longCount) = 0;
    virtual int32_t UnregisterGpibGlobalsForThread() = 0;
};

}  // namespace kvb::bench
