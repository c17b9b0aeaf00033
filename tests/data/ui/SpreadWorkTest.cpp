// The spreading of a refresh's work: every item exactly once, whatever the
// count against the threads, on no more threads than allowed, and a failure
// in any run reported only once every run has finished with the items.

#include "data/ui/SpreadWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <numeric>
#include <set>
#include <stdexcept>
#include <thread>

namespace kvb::ui {
namespace {

TEST(SpreadWork, EachItemRunsOnceOnAsManyThreadsAsAllowed)
{
    const auto threads = static_cast<size_t>(QThreadPool::globalInstance()->maxThreadCount());
    ASSERT_GE(threads, 3u) << "the pool spreads nothing on one thread";
    // Around one run per item and around one run per thread, with all the
    // pool's threads and with two.
    for (const size_t most : {SIZE_MAX, size_t{2}}) {
        for (const size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, threads - 1, threads,
                               threads + 1, size_t{101}}) {
            std::vector<std::atomic<int>> runs(n);
            std::vector<size_t> items(n);
            std::iota(items.begin(), items.end(), size_t{0});
            std::mutex m;
            std::set<std::thread::id> used;
            Spread(
                items,
                [&](size_t k) {
                    ++runs[k];
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                    const std::lock_guard<std::mutex> lock(m);
                    used.insert(std::this_thread::get_id());
                },
                most);
            for (size_t k = 0; k < n; ++k)
                EXPECT_EQ(runs[k].load(), 1) << "item " << k << " of " << n << ", most " << most;
            EXPECT_LE(used.size(), std::min(most, threads)) << n << " items";
        }
    }
    std::vector<std::atomic<int>> steps(37);
    SpreadSteps(steps.size(), [&steps](size_t k) { ++steps[k]; });
    for (size_t k = 0; k < steps.size(); ++k)
        EXPECT_EQ(steps[k].load(), 1) << "step " << k;
}

TEST(SpreadWork, AFailureWaitsForEveryRun)
{
    const size_t n = 4 * static_cast<size_t>(QThreadPool::globalInstance()->maxThreadCount());
    for (const size_t failing :
         {size_t{0}, n - 1}) {  // in the window's own run, in the pool's last
        std::vector<size_t> items(n);
        std::iota(items.begin(), items.end(), size_t{0});
        std::atomic<size_t> done{0};
        EXPECT_THROW(Spread(items,
                            [&](size_t k) {
                                if (k == failing)
                                    throw std::runtime_error("failed");
                                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                ++done;
                            }),
                     std::exception)
            << "item " << failing;
        // The other runs had all finished: none touches the items after.
        const size_t finished = done.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(done.load(), finished) << "item " << failing;
    }
}

}  // namespace
}  // namespace kvb::ui
