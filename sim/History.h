#pragma once
// The simulated devices record what reached them for tests to inspect. A
// long session with polling must not let that record grow without end: past
// a limit the oldest half is dropped.

#include <cstddef>
#include <vector>

namespace kvb::sim {

inline constexpr size_t kHistoryLimit = 100000;

template <typename T>
void Record(std::vector<T>& history, T entry)
{
    if (history.size() >= kHistoryLimit)
        history.erase(history.begin(), history.begin() + kHistoryLimit / 2);
    history.push_back(std::move(entry));
}

}  // namespace kvb::sim
