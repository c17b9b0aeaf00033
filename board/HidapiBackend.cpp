#include "board/HidapiBackend.h"

#include <hidapi/hidapi.h>

namespace kvb::board {

namespace {

class HidapiDevice : public HidDevice {
public:
    explicit HidapiDevice(hid_device* handle) : handle_(handle) {}
    ~HidapiDevice() override { hid_close(handle_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool write(const uint8_t* data, size_t length) override
    {
        return hid_write(handle_, data, length) == static_cast<int>(length);
    }

    int read(uint8_t* data, size_t length, int timeoutMs) override
    {
        return hid_read_timeout(handle_, data, length, timeoutMs);
    }

private:
    hid_device* handle_;
};

}  // namespace

HidapiBackend::HidapiBackend() { hid_init(); }

HidapiBackend::~HidapiBackend() { hid_exit(); }

std::vector<HidDeviceInfo> HidapiBackend::enumerate()
{
    std::vector<HidDeviceInfo> found;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* info = list; info; info = info->next)
        found.push_back({info->path ? info->path : "", info->vendor_id, info->product_id});
    hid_free_enumeration(list);
    return found;
}

std::unique_ptr<HidDevice> HidapiBackend::open(const std::string& path)
{
    hid_device* handle = hid_open_path(path.c_str());
    if (!handle)
        return nullptr;
    return std::make_unique<HidapiDevice>(handle);
}

}  // namespace kvb::board
