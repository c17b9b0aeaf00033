#pragma once
// The system's GPIB driver library, loaded at run time with dlopen (first
// "libgpib.so.0", then "libgpib.so") into a table of its calls. The library
// reports status per thread through ThreadIbsta, ThreadIberr and
// ThreadIbcntl; this adapter copies them into the registered status words
// after every call. Without the library every call fails with the error bit
// and error code 0, and every open returns -1.

#include "bench/GpibDriver.h"
#include "bench/GpibStatusWords.h"

#include <string>
#include <vector>

namespace kvb::bench {

class GpibLibrary : public GpibDriver {
public:
    // Names tried in order; the library is loaded on the first call.
    explicit GpibLibrary(std::vector<std::string> names = {"libgpib.so.0", "libgpib.so"});
    ~GpibLibrary() override;
    GpibLibrary(const GpibLibrary&) = delete;
    GpibLibrary& operator=(const GpibLibrary&) = delete;

    bool available() const override;
    std::string unavailableReason() const override;

    int32_t ibdev(int32_t boardIndex, int32_t primaryAddress, int32_t secondaryAddress,
                  int32_t timeoutCode, int32_t endOnEoi, int32_t endOfString) override;
    int32_t ibclr(int32_t device) override;
    int32_t ibonl(int32_t device, int32_t value) override;
    int32_t ibrd(int32_t device, char* buffer, int32_t count) override;
    int32_t ibwrt(int32_t device, const char* data, int32_t count) override;
    int32_t RegisterGpibGlobalsForThread(int32_t* status, int32_t* error, int32_t* count,
                                         int32_t* longCount) override;
    int32_t UnregisterGpibGlobalsForThread() override;

private:
    // The library's calls, declared from how they are used.
    struct Calls {
        int (*ibdev)(int, int, int, int, int, int) = nullptr;
        int (*ibclr)(int) = nullptr;
        int (*ibonl)(int, int) = nullptr;
        int (*ibrd)(int, void*, long) = nullptr;
        int (*ibwrt)(int, const void*, long) = nullptr;
        int (*ThreadIbsta)() = nullptr;
        int (*ThreadIberr)() = nullptr;
        long (*ThreadIbcntl)() = nullptr;
    };

    void load() const;
    // Copies the library's thread status into the registered words.
    void postStatus();
    // The outcome of a call made without a library.
    int32_t failWithoutLibrary();

    std::vector<std::string> names_;
    mutable bool tried_ = false;
    mutable void* handle_ = nullptr;
    mutable Calls calls_;
    mutable std::string reason_;
    GpibStatusWords words_;
};

}  // namespace kvb::bench
