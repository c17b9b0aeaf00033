#pragma once
// Hooks and views a window installs into objects that outlive it. Each hook
// taken through `own` is cleared, and each `onClear` step (detaching a view)
// run, when the scope is cleared or goes, so nothing calls into a window
// that is gone.

#include <functional>
#include <utility>
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

    // Runs `detach` when the scope is cleared or goes.
    void onClear(std::function<void()> detach) { clears_.push_back(std::move(detach)); }

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
