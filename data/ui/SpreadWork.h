#pragma once
// Work of a chart refresh spread over the application's thread pool.

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <numeric>
#include <vector>

namespace kvb::ui {

// Marks the upper halves of the processor's vector registers unused, where
// it has them (AVX). Library code run on the window's thread leaves them
// marked in use, and while they are, each of this program's SSE
// instructions waits on them: a whole redraw at 1920x1080 took 5.5 ms on
// the window's thread instead of 4.3. Called before each run of a
// refresh's work.
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target("avx")]] inline void ClearUpperVectorHalvesWithAvx()
{
    __builtin_ia32_vzeroupper();
}
inline void ClearUpperVectorHalves()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        ClearUpperVectorHalvesWithAvx();
}
#else
inline void ClearUpperVectorHalves() {}
#endif

// Runs f on each item once, spread over the application's thread pool on
// at most `most` threads, the window's thread among them, and returns once
// all have run. The items go in runs of neighbours, one for each thread,
// each but the first handed to the pool on its own; the window's thread
// takes the first itself rather than wait, and then any no pool thread has
// begun.
template <typename T, typename F>
void Spread(std::vector<T>& items, F f, size_t most = SIZE_MAX)
{
    const size_t n = items.size();
    const size_t threads = std::min(
        most, static_cast<size_t>(std::max(QThreadPool::globalInstance()->maxThreadCount(), 1)));
    const size_t count = std::min(n, threads);
    if (count < 2) {
        ClearUpperVectorHalves();
        for (T& item : items)
            f(item);
        return;
    }
    auto run = [&items, &f, n, count](size_t k) {
        ClearUpperVectorHalves();
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
