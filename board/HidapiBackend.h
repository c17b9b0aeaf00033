#pragma once
// HID backend over hidapi (hidraw on Linux).

#include "board/HidBackend.h"

namespace kvb::board {

class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
};

}  // namespace kvb::board
