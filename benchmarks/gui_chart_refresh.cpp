// Chart refreshes on a 14-device chain in roll mode with the default series
// shown, a sample every half second, so that full buffers span 273 minutes
// and the 240-minute window slides with every sample.
//
// ChartRefresh/fill/size: one new sample, then the refresh the window's
// timer does when the charts changed and the event loop until the charts
// are painted again; fill is the number of samples held before the first
// iteration (1000, or 32760: the buffers full), size 0 is the window's
// default size (1083x800), size 1 is 1920x1080. The cost should be set by
// the pixels, not by the samples.
//
// ChartDeviceChange: the first device box of the cell chart switches
// between devices 1 and 3 with full buffers: every series of the charts is
// plotted again from the buffers and painted.
//
// The "paints" counter is the number of chart paints per iteration, so a
// benchmark that stopped painting would show it.

#include "support/ui/ChartFeed.h"

#include <QComboBox>

#include <benchmark/benchmark.h>

namespace {

using namespace std::chrono_literals;

constexpr QSize kSizes[] = {{1083, 800}, {1920, 1080}};

bool ready(benchmark::State& state, const kvb::test::ChartFeed& f)
{
    if (!f.mapLoaded)
        state.SkipWithError("register map not found: run from the build folder");
    return f.mapLoaded;
}

void ChartRefresh(benchmark::State& state)
{
    kvb::test::ChartFeed f(static_cast<int>(state.range(0)), 500ms, kSizes[state.range(1)]);
    if (!ready(state, f))
        return;
    f.counter.paints = 0;
    for (auto _ : state) {
        f.next();
        f.redraw();
    }
    state.counters["paints"] = benchmark::Counter(f.counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(ChartRefresh)
    ->ArgNames({"fill", "size"})
    ->ArgsProduct({{1000, kvb::data::kLastSample}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void ChartDeviceChange(benchmark::State& state)
{
    kvb::test::ChartFeed f(kvb::data::kLastSample, 500ms);
    if (!ready(state, f))
        return;
    auto* box = f.window->findChild<QComboBox*>("cboChartCellSelector_0");
    f.counter.paints = 0;
    int index = 0;
    for (auto _ : state) {
        index = index == 0 ? 2 : 0;  // device 3, then device 1 again
        box->setCurrentIndex(index);
        emit box->activated(index);
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    state.counters["paints"] = benchmark::Counter(f.counter.paints, benchmark::Counter::kAvgIterations);
    if (f.context->charts.ChartDevices[0] != (index == 0 ? 1 : 3))
        state.SkipWithError("the device box did not change the charted device");
}
BENCHMARK(ChartDeviceChange)->Unit(benchmark::kMillisecond);

}  // namespace
