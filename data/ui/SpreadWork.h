#pragma once
// Work of a chart refresh spread over the application's thread pool.

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>
#include <functional>
#include <numeric>
#include <vector>

namespace kvb::ui {

// Runs f on each item once, spread over the application's thread pool, and
// returns once all have run. The items go in runs of neighbours, twice as
// many as the pool has threads, each handed to the pool on its own. The
// window's thread takes the first run itself and then, rather than wait,
// takes the last runs no pool thread has begun: waking a pool thread costs
// more than a share of the work, and a run never waits for a thread.
template <typename T, typename F>
void Spread(std::vector<T>& items, F f)
{
    const size_t n = items.size();
    const auto threads =
        static_cast<size_t>(std::max(QThreadPool::globalInstance()->maxThreadCount(), 1));
    const size_t count = std::min(n, 2 * threads);
    if (threads < 2 || count < 2) {
        for (T& item : items)
            f(item);
        return;
    }
    auto run = [&items, &f, n, count](size_t k) {
        for (size_t i = k * n / count; i < (k + 1) * n / count; ++i)
            f(items[i]);
    };
    std::vector<QFuture<void>> others;
    others.reserve(count - 1);
    std::exception_ptr failed;
    try {
        for (size_t k = 1; k < count; ++k)
            others.push_back(QtConcurrent::run([&run, k] { run(k); }));
        run(0);
    } catch (...) {
        failed = std::current_exception();
    }
    // Last first: a run no pool thread has begun is taken here
    // (waitForFinished() runs it on this thread). All are waited for, as
    // they use the items, before a failure goes on.
    for (auto other = others.rbegin(); other != others.rend(); ++other) {
        try {
            other->waitForFinished();
        } catch (...) {
            if (!failed)
                failed = std::current_exception();
        }
    }
    if (failed)
        std::rethrow_exception(failed);
}

// Runs step(0) .. step(count - 1) once each, spread as above.
inline void SpreadSteps(size_t count, const std::function<void(size_t)>& step)
{
    std::vector<size_t> steps(count);
    std::iota(steps.begin(), steps.end(), size_t{0});
    Spread(steps, [&step](size_t k) { step(k); });
}

}  // namespace kvb::ui
