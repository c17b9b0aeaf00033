#pragma once
// Finding the devices on the link: the chips' identify protocol on a daisy
// chain, a register test and the serial number on a single device. It works
// through the link's exchange and log and keeps no state; the link takes the
// count it found (ChipLink::IdentifyDaisyChain, IdentifyNonDaisyChain).

#include "link/ChipLink.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kvb::link {

class DeviceIdentification {
public:
    static constexpr uint16_t kTestPattern = 0x3A5A;

    struct Result {
        bool found = false;
        // The device count as the identification left it; nothing when it
        // did not get as far as counting.
        std::optional<int16_t> count;
    };

    explicit DeviceIdentification(ChipLink& link) : link_(link) {}

    Result identifyDaisyChain(int chain);
    Result identifyNonDaisyChain(int deviceType);

private:
    std::optional<AnswerFrame> identifyExchange(int chain, uint8_t dev, uint8_t adr, int16_t dat);
    void reset(int chain, const std::string& name);
    // The bottom device acknowledges Identify, within three tries with a
    // reset between.
    bool bottomAcknowledges(int chain, const std::string& name);
    // Numbers the devices above the bottom one until the top one reports
    // itself; `count` follows every device found. False when the chain
    // breaks off first.
    bool numberDevices(int chain, const std::string& name, int16_t& count);
    bool singleExchange(ChipMessage& message, const std::string& name);
    void log(const std::string& line) { link_.log.AddToEvbLog(line); }

    ChipLink& link_;
};

}  // namespace kvb::link
