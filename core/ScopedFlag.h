#pragma once
// Raises a flag for the lifetime of the object and lowers it on every way
// out: the guard flags that hold event handlers off while code changes a
// control, or that keep a handler from running inside itself.

namespace kvb {

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace kvb
