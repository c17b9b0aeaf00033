#pragma once
// The narrow view of a USB HID stack that the transport needs: list the
// devices, open one, write a report, read a report with a bounded wait. The
// hidapi backend talks to real boards; the simulated board implements the
// same interface in-process.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvb::board {

struct HidDeviceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Writes one output report (byte 0 is the report number). True when the
    // whole report was accepted.
    virtual bool write(const uint8_t* data, size_t length) = 0;
    // Reads one input report into data, waiting at most timeoutMs (0: only
    // what is already waiting). Returns the number of bytes read, 0 when the
    // wait ran out, -1 on an error of the device.
    virtual int read(uint8_t* data, size_t length, int timeoutMs) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // Null when the device cannot be opened.
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
};

}  // namespace kvb::board
