// Chart refreshes on a 14-device chain in roll mode with the default series
// shown, a sample every half second, so that full buffers span 273 minutes
// and the 240-minute window slides by a pixel column every few samples.
//
// The window opens on a screen of the size the case names: size 0 is the
// window's default size (1083x800), size 1 fills a 1920x1080 screen, size 2
// a 3840x2160 one. The cost should be set by the pixels, not by the
// samples.
//
// ChartRefresh/fill/size: one new sample, then the refresh the window's
// timer does when the charts changed and the event loop until the charts
// are painted again; fill is the number of samples held before the first
// iteration (1000, or 32760: the buffers full). Most samples leave the
// window where it was; every few shift it by a column.
//
// ChartSteadySample/size: full buffers, one new sample that leaves the
// window where it was (the samples that would shift it, or drop the oldest
// samples, are taken untimed): the refresh users see most.
//
// ChartViewShift/size: full buffers, one new sample that shifts the window
// by a column (the samples before it are taken untimed).
//
// ChartZoom/size: full buffers, the time zoom between 240 and 120 minutes:
// every chart drawn whole, with its labels.
//
// ChartDeviceChange: the first device box of the cell chart switches
// between devices 1 and 3 with full buffers: every series of the charts is
// plotted again from the buffers and painted.
//
// The "paints" counter is the number of chart paints per iteration, so a
// benchmark that stopped painting would show it; "whole" the number of
// charts drawn whole per iteration, "pixels" the pixels the charts' paints
// covered, "width" the window's width, "process_cpu_ms" the processor time
// of the whole process (all its threads, user and system) per iteration,
// over the timed part of the loop.

#include "support/ui/ChartFeed.h"

#include <QComboBox>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>

namespace {

using namespace std::chrono_literals;

constexpr QSize kSizes[] = {{}, {1920, 1080}, {3840, 2160}};

// The process's user and system time, in milliseconds, summed over the
// stretches between start() and stop().
class ProcessCpu {
public:
    void start() { from_ = now(); }
    void stop() { total_ += now() - from_; }
    void report(benchmark::State& state) const
    {
        state.counters["process_cpu_ms"] = benchmark::Counter(total_, benchmark::Counter::kAvgIterations);
    }

private:
    static double now()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        auto ms = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        };
        return ms(usage.ru_utime) + ms(usage.ru_stime);
    }
    double from_ = 0, total_ = 0;
};

bool ready(benchmark::State& state, const kvb::test::ChartFeed& f)
{
    if (!f.mapLoaded)
        state.SkipWithError("register map not found: run from the build folder");
    return f.mapLoaded;
}

void report(benchmark::State& state, const kvb::test::ChartFeed& f, int wholeBefore)
{
    state.counters["paints"] = benchmark::Counter(f.counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["whole"] =
        benchmark::Counter(f.wholeDrawings() - wholeBefore, benchmark::Counter::kAvgIterations);
    state.counters["width"] = f.window->width();
}

// Whether the next sample moves the cell chart's window by a column, or
// drops the oldest samples (which draws the charts whole).
bool nextMovesTheCharts(const kvb::test::ChartFeed& f)
{
    const auto& charts = f.context->charts;
    if (charts.samples().SampleCount >= kvb::data::kLastSample)
        return true;
    for (auto* item : f.traceItems()) {
        if (item->parentItem() != f.window->findChild<QChartView*>("CellVoltageChartControl")->chart())
            continue;
        const double next = charts.samples().CurrentSampleMinutes + std::chrono::duration<double>(f.step).count() / 60;
        const double span = charts.timeAxis().viewMax - charts.timeAxis().viewMin;
        const double columns = span * item->grid().scale;
        return std::ceil(next * item->grid().scale - columns) != static_cast<double>(item->firstColumn());
    }
    return false;
}

void ChartRefresh(benchmark::State& state)
{
    kvb::test::ChartFeed f(static_cast<int>(state.range(0)), 500ms, kSizes[state.range(1)]);
    if (!ready(state, f))
        return;
    f.counter.paints = 0;
    const int whole = f.wholeDrawings();
    ProcessCpu cpu;
    cpu.start();
    for (auto _ : state) {
        f.next();
        f.redraw();
    }
    cpu.stop();
    cpu.report(state);
    report(state, f, whole);
}
BENCHMARK(ChartRefresh)
    ->ArgNames({"fill", "size"})
    ->ArgsProduct({{1000, kvb::data::kLastSample}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// One new sample, taken untimed while `untimed` says so.
template <typename Untimed>
void OneSample(benchmark::State& state, Untimed&& untimed)
{
    kvb::test::ChartFeed f(kvb::data::kLastSample, 500ms, kSizes[state.range(0)]);
    if (!ready(state, f))
        return;
    int paints = 0, whole = 0;
    double pixels = 0;
    ProcessCpu cpu;
    for (auto _ : state) {
        state.PauseTiming();
        while (untimed(f)) {
            f.next();
            f.redraw();
        }
        const int paintsBefore = f.counter.paints, wholeBefore = f.wholeDrawings();
        const double pixelsBefore = f.counter.pixels;
        state.ResumeTiming();
        cpu.start();
        f.next();
        f.redraw();
        cpu.stop();
        paints += f.counter.paints - paintsBefore;
        pixels += f.counter.pixels - pixelsBefore;
        whole += f.wholeDrawings() - wholeBefore;
    }
    state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    state.counters["whole"] = benchmark::Counter(whole, benchmark::Counter::kAvgIterations);
    state.counters["pixels"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
    state.counters["width"] = f.window->width();
    cpu.report(state);
}

void ChartSteadySample(benchmark::State& state)
{
    OneSample(state, nextMovesTheCharts);
}
BENCHMARK(ChartSteadySample)->ArgName("size")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void ChartViewShift(benchmark::State& state)
{
    OneSample(state, [](const kvb::test::ChartFeed& f) {
        return !nextMovesTheCharts(f) || f.context->charts.samples().SampleCount >= kvb::data::kLastSample;
    });
}
BENCHMARK(ChartViewShift)->ArgName("size")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void ChartZoom(benchmark::State& state)
{
    kvb::test::ChartFeed f(kvb::data::kLastSample, 500ms, kSizes[state.range(0)]);
    if (!ready(state, f))
        return;
    auto* slider = f.window->findChild<QSlider*>("sliderZoomTime");
    f.counter.paints = 0;
    const int whole = f.wholeDrawings();
    int position = 1;
    ProcessCpu cpu;
    cpu.start();
    for (auto _ : state) {
        position = position == 1 ? 2 : 1;  // 120 minutes, then 240 again
        slider->setValue(position);
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    cpu.stop();
    cpu.report(state);
    report(state, f, whole);
}
BENCHMARK(ChartZoom)->ArgName("size")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void ChartDeviceChange(benchmark::State& state)
{
    kvb::test::ChartFeed f(kvb::data::kLastSample, 500ms);
    if (!ready(state, f))
        return;
    auto* box = f.window->findChild<QComboBox*>("cboChartCellSelector_0");
    f.counter.paints = 0;
    int index = 0;
    ProcessCpu cpu;
    cpu.start();
    for (auto _ : state) {
        index = index == 0 ? 2 : 0;  // device 3, then device 1 again
        box->setCurrentIndex(index);
        emit box->activated(index);
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    cpu.stop();
    cpu.report(state);
    state.counters["paints"] = benchmark::Counter(f.counter.paints, benchmark::Counter::kAvgIterations);
    if (f.context->charts.ChartDevices[0] != (index == 0 ? 1 : 3))
        state.SkipWithError("the device box did not change the charted device");
}
BENCHMARK(ChartDeviceChange)->Unit(benchmark::kMillisecond);

}  // namespace
