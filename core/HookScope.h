#pragma once
// Hooks a window installs into objects that outlive it. Each hook taken
// through `own` is cleared when the scope is cleared or goes, so nothing
// calls into a window that is gone.

#include <functional>
#include <vector>

namespace kvb {

class HookScope {
public:
    HookScope() = default;
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;
    ~HookScope() { clear(); }

    // The hook to assign; it is cleared with the scope.
    template <typename Signature>
    std::function<Signature>& own(std::function<Signature>& hook)
    {
        clears_.push_back([&hook] { hook = nullptr; });
        return hook;
    }

    void clear()
    {
        for (auto& c : clears_)
            c();
        clears_.clear();
    }

private:
    std::vector<std::function<void()>> clears_;
};

}  // namespace kvb
