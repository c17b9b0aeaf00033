#pragma once
// The four words a GPIB driver fills after each call once a thread has
// registered them. Drivers implemented here (the loaded library's adapter and
// the simulated bus) keep one of these and post every call's outcome to it.

#include <cstdint>

namespace kvb::bench {

class GpibStatusWords {
public:
    // 0 when registered; 1 when other words are already registered.
    int32_t attach(int32_t* status, int32_t* error, int32_t* count, int32_t* longCount)
    {
        if (status_ && (status_ != status || error_ != error || count_ != count ||
                        longCount_ != longCount))
            return 1;
        status_ = status;
        error_ = error;
        count_ = count;
        longCount_ = longCount;
        return 0;
    }
    int32_t detach()
    {
        status_ = error_ = count_ = longCount_ = nullptr;
        return 0;
    }
    bool attached() const { return status_ != nullptr; }

    // Writes one call's outcome into the registered words, if any.
    void post(int32_t status, int32_t error, int32_t count)
    {
        if (!status_)
            return;
        *status_ = status;
        *error_ = error;
        *count_ = count;
        *longCount_ = count;
    }

private:
    int32_t* status_ = nullptr;
    int32_t* error_ = nullptr;
    int32_t* count_ = nullptr;
    int32_t* longCount_ = nullptr;
};

}  // namespace kvb::bench
