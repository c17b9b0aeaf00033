// One chart sample with full buffers on a 14-device chain: the sample is
// taken from the register image and plotted, then the chart window does the
// refresh its timer does when the charts changed (every visible series
// reduced to the plot's pixel columns) and the event loop runs until the
// charts have been laid out and painted again. The "paints" counter is the
// number of chart paints per iteration, so a benchmark that stopped painting
// would show it.

#include "support/ui/ChartFeed.h"


#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

struct FullCharts : kvb::test::ChartFeed {
    FullCharts() : ChartFeed(kvb::data::kLastSample) {}
};

void ChartSampleWithFullBuffers(benchmark::State& state)
{
    FullCharts f;
    if (!f.mapLoaded) {
        state.SkipWithError("register map not found: run from the build folder");
        return;
    }
    f.counter.paints = 0;
    for (auto _ : state) {
        f.next();
        f.redraw();
    }
    state.counters["paints"] = benchmark::Counter(f.counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(ChartSampleWithFullBuffers)->Unit(benchmark::kMillisecond)->ComputeStatistics(
    "median", [](const std::vector<double>& v) {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    });

// The part that runs at every poll: taking and plotting the sample without
// the redraw (which the window's timer does at most ten times a second).
void ChartSampleWithoutRedraw(benchmark::State& state)
{
    FullCharts f;
    for (auto _ : state)
        f.next();
}
BENCHMARK(ChartSampleWithoutRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
