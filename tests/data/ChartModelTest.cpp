#include "data/ChartDecimation.h"
#include "data/ChartModel.h"
#include "data/ChartWindowLayout.h"
#include "support/FakeChartLink.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

using namespace kvb;
using namespace kvb::data;

namespace {

class ChartModelTest : public ::testing::Test {
protected:
    std::unique_ptr<ChartSamples> samples = std::make_unique<ChartSamples>();
    std::unique_ptr<link::RegisterImage> image = std::make_unique<link::RegisterImage>();
    std::unique_ptr<link::RegisterDefinitions> defs = std::make_unique<link::RegisterDefinitions>();
    test::FakeChartLink link{false, true};
    ChartModel model{*samples, link};
    test::FakeClock clock;
    bool& daisy = link.daisy;
    bool& connected = link.connected;

    void SetUp() override
    {
        defs->regs[0][65].scale = 0.01;  // cells: 1 count = 10 mV
        model.bindDefinitions(*defs);
        model.ChartingStartup();
    }
    // A sample at `minutes` with every cell of device `device` at `volts`.
    void sampleAt(double minutes, double volts, int device = 1)
    {
        for (int c = 0; c < 12; ++c)
            image->store(0, device, 65 + c, static_cast<int16_t>(volts * 100 + 0.5));
        clock.current = std::chrono::milliseconds(1000 + static_cast<long long>(minutes * 60000));
        model.AddNewVoltageDataToChartArray(*image, clock);
    }
    std::vector<std::string> names(ChartId c)
    {
        std::vector<std::string> n;
        for (const auto& s : model.series(c))
            n.push_back(s.name);
        return n;
    }
};

TEST_F(ChartModelTest, SeriesNamesColoursAndVisibilityPerLinkMode)
{
    EXPECT_EQ(model.series(CellChart).size(), 24u);
    EXPECT_EQ(names(CellChart)[13], "Vcell 2-2");
    EXPECT_EQ(names(PackChart)[0], "VPack  1");
    EXPECT_EQ(names(ICTempChart), (std::vector<std::string>{"ICTemp 1", "ICTemp 2"}));
    EXPECT_EQ(names(ETChart)[7], "ETVolt 2-4");
    EXPECT_EQ(model.series(ETChart)[4].colour, kSeriesColours[4]);
    EXPECT_EQ(names(FaultChart),
              (std::vector<std::string>{"Flt 960-1", "Flt 961-1", "Flt 960-2", "Flt 961-2"}));
    // Single connected device: the second device's series stay hidden and
    // the pack series of the first device is shown.
    EXPECT_FALSE(model.series(CellChart)[12].visible);
    EXPECT_TRUE(model.series(PackChart)[0].visible);
    EXPECT_TRUE(model.toggle(24));
    image->store(1, 1, 132, 0);
    sampleAt(0, 3.0);
    EXPECT_DOUBLE_EQ(model.seriesValue(FaultChart, 1, 0), 0.2);
    image->store(1, 1, 132, 4);
    sampleAt(0.1, 3.0);
    EXPECT_DOUBLE_EQ(model.seriesValue(FaultChart, 1, 1), 1.2);

    // The charts were set up before the link turned out to be a daisy
    // chain: the next sample brings the second device's traces up.
    daisy = true;
    sampleAt(0.15, 3.0);
    EXPECT_TRUE(model.series(ICTempChart)[1].visible);
    EXPECT_TRUE(model.series(ETChart)[7].visible);
    EXPECT_TRUE(model.series(FaultChart)[3].visible);
    EXPECT_TRUE(model.toggle(12) && model.toggle(23));
    model.ClearCharts();
    int visible = 0;
    for (const auto& s : model.series(CellChart))
        visible += s.visible;
    EXPECT_EQ(visible, 24);
    EXPECT_TRUE(model.series(PackChart)[1].visible);
    EXPECT_FALSE(model.series(PackChart)[2].visible);
    EXPECT_EQ(samples->ChartStarted, false);
    // The cleared charts show nothing, though the buffers keep their samples
    // for the export until the next sample starts a new run.
    EXPECT_EQ(model.plottedSamples(), 0);
    EXPECT_EQ(samples->SampleCount, 3);
    sampleAt(0.2, 3.0);
    EXPECT_EQ(model.plottedSamples(), 1);
}

TEST_F(ChartModelTest, PickingAnotherDeviceRenamesAndReplots)
{
    image->store(0, 3, 80, 1234);
    sampleAt(0, 3.0);
    sampleAt(1, 3.1);
    const ChartModel::SeriesKey before = model.seriesKey(ICTempChart, 0);
    model.HandlePackSelectCombobox(0, 2);  // list entry 2 = device 3
    EXPECT_EQ(names(ICTempChart)[0], "ICTemp 3");
    EXPECT_EQ(samples->SampleCount, 2);
    EXPECT_EQ(model.plottedSamples(), 2);
    // The drawn series now plots another device: its key tells so, as it
    // does when a register map with other scales is loaded.
    EXPECT_NE(model.seriesKey(ICTempChart, 0), before);
    const ChartModel::SeriesKey cells = model.seriesKey(CellChart, 0);
    defs->regs[0][65].scale = 0.02;
    EXPECT_NE(model.seriesKey(CellChart, 0), cells);
    defs->regs[0][65].scale = 0.01;
    EXPECT_EQ(model.seriesValue(ICTempChart, 0, 1), (1234.0 - 9217) + 25.0);
    // Pack series p shows device p whatever the selection.
    image->store(0, 5, 64, 77);
    sampleAt(2, 3.1);
    EXPECT_EQ(model.seriesValue(PackChart, 4, 2), 77.0);
}

TEST_F(ChartModelTest, TimeWindowFollowsSpanAndRollMode)
{
    model.setSliderPosition(TimeSlider, 4);  // 30 min
    sampleAt(0, 3.0);
    sampleAt(10, 3.0);
    EXPECT_EQ(model.timeAxis().viewMin, 0);
    EXPECT_EQ(model.timeAxis().viewMax, 10);
    EXPECT_EQ(model.timeAxis().fullMax, 10);

    model.ClearCharts();
    sampleAt(0, 3.0);
    sampleAt(0.1, 3.0);
    EXPECT_EQ(model.timeAxis().viewMax, 0.25);
    EXPECT_EQ(model.timeAxis().fullMax, 0.25);

    model.setSliderPosition(TimeSlider, 5);  // 15 min
    sampleAt(40, 3.0);
    EXPECT_EQ(model.timeAxis().viewMin, 25);
    EXPECT_EQ(model.timeAxis().viewMax, 40);
    EXPECT_EQ(model.timeAxis().fullMax, 40);

    model.RollChart = false;
    model.setSliderPosition(TimeSlider, 3);  // 60 min: the window is 0..40, centred at 20
    sampleAt(100, 3.0);                      // 20 - 30 is below 0: the window is 0..60
    EXPECT_EQ(model.timeAxis().viewMin, 0);
    EXPECT_EQ(model.timeAxis().viewMax, 60);
    EXPECT_EQ(model.timeAxis().fullMax, 100);
}

TEST_F(ChartModelTest, ValueZoomFloorsAndAutoFit)
{
    EXPECT_EQ(model.sliderCaption(CellSlider), "10V");
    EXPECT_EQ(model.sliderCaption(ICTempSlider), "250 °C");
    EXPECT_EQ(model.sliderCaption(TimeSlider), "240 min");
    model.setSliderPosition(CellSlider, 5);
    EXPECT_EQ(model.sliderCaption(CellSlider), "0.5V");
    EXPECT_EQ(model.axes(CellChart).value.viewMax, 5);  // before the first sample: unchanged

    // No data yet: every value slider goes to the smallest span.
    model.AutoZoomCharts();
    EXPECT_EQ(model.sliderPosition(PackSlider), 10);
    EXPECT_EQ(model.sliderPosition(TimeSlider), 10);

    sampleAt(0, 3.2);
    sampleAt(10, 3.5);
    model.AutoFit();
    EXPECT_EQ(model.sliderPosition(CellSlider), 5);
    EXPECT_NEAR(model.axes(CellChart).value.viewMin, 3.10, 1e-9);
    EXPECT_NEAR(model.axes(CellChart).value.viewMax, 3.60, 1e-9);
    EXPECT_EQ(model.sliderPosition(TimeSlider), 5);  // 15 min covers 10 min

    // A wide range can pick the widest span.
    sampleAt(11, 0.0);
    sampleAt(12, 7.0);
    model.AutoZoom(CellSlider);
    EXPECT_EQ(model.sliderPosition(CellSlider), 1);
    EXPECT_EQ(model.zoomSpan(CellSlider), 10);

    // The pack window keeps its centre (40 V) and never reaches below its
    // -5 V floor; at the widest span it runs from 0 to 80 V.
    model.setSliderPosition(PackSlider, 1);
    model.ViewZoomer();
    EXPECT_EQ(model.axes(PackChart).value.viewMin, 0.0);
    EXPECT_EQ(model.axes(PackChart).value.viewMax, 80.0);
}

// The IC temperature and the external inputs have a floor of -50: a chip
// below 0 degrees and inputs at 0 V stay in the middle of their windows,
// while a window reaching below -50 is pushed up to it.
TEST_F(ChartModelTest, TemperatureAndInputFloorsAreMinusFifty)
{
    image->store(0, 1, 80, 9217 - 45);  // -20 degrees
    for (int n = 0; n < 4; ++n)
        image->store(0, 1, 81 + n, 0);  // 0 V
    sampleAt(0, 3.0);
    sampleAt(1, 3.0);
    model.AutoFit();  // no spread: the smallest spans, centred on the data
    EXPECT_EQ(model.sliderPosition(ICTempSlider), 10);
    EXPECT_EQ(model.sliderPosition(ETSlider), 10);
    sampleAt(2, 3.0);  // the zoom of the next sample applies the floors
    EXPECT_NEAR(model.axes(ICTempChart).value.viewMin, -20.1, 1e-9);
    EXPECT_NEAR(model.axes(ICTempChart).value.viewMax, -19.9, 1e-9);
    EXPECT_NEAR(model.axes(ETChart).value.viewMin, -0.001, 1e-12);
    EXPECT_NEAR(model.axes(ETChart).value.viewMax, 0.001, 1e-12);
    // The full ranges grow to hold the windows.
    EXPECT_EQ(model.axes(ICTempChart).value.fullMin, -50.0);
    EXPECT_NEAR(model.axes(ETChart).value.fullMin, -0.001, 1e-12);

    // Below the floors.
    image->store(0, 1, 80, 9217 - 85);  // -60 degrees
    sampleAt(3, 3.0);
    model.AutoFit();
    sampleAt(4, 3.0);
    EXPECT_EQ(model.axes(ICTempChart).value.viewMin, -50.0);
    // -60 to -20 degrees: a 50-degree window centred at -40, pushed up.
    EXPECT_EQ(model.sliderPosition(ICTempSlider), 3);
    EXPECT_NEAR(model.axes(ICTempChart).value.viewMax, 0.0, 1e-9);
    model.ETVoltMin = model.ETVoltMax = -60.0;  // no input reads so low; the floor still holds
    model.AutoZoomCharts();
    model.ViewZoomer();
    EXPECT_EQ(model.axes(ETChart).value.viewMin, -50.0);
    EXPECT_NEAR(model.axes(ETChart).value.viewMax, -50.0 + 0.002, 1e-12);
}

// Clear and Auto Fit act at most once per sample: they stay disabled, and do
// nothing, until the next sample; Clear also takes Export with it.
TEST_F(ChartModelTest, ClearAndAutoFitComeBackWithTheNextSample)
{
    EXPECT_TRUE(model.clearEnabled && model.autoFitEnabled && model.exportEnabled);
    sampleAt(0, 3.2);
    sampleAt(10, 3.5);
    model.AutoFit();
    EXPECT_EQ(model.sliderPosition(CellSlider), 5);
    EXPECT_FALSE(model.autoFitEnabled);
    EXPECT_TRUE(model.clearEnabled && model.exportEnabled);
    model.setSliderPosition(CellSlider, 1);
    model.AutoFit();  // again before the next sample: nothing
    EXPECT_EQ(model.sliderPosition(CellSlider), 1);

    sampleAt(11, 3.5);
    EXPECT_TRUE(model.autoFitEnabled);
    model.AutoFit();
    EXPECT_EQ(model.sliderPosition(CellSlider), 5);

    sampleAt(12, 3.5);
    model.ClearCharts();
    EXPECT_FALSE(model.clearEnabled || model.autoFitEnabled || model.exportEnabled);
    model.setSliderPosition(CellSlider, 1);
    model.AutoFit();
    EXPECT_EQ(model.sliderPosition(CellSlider), 1);
    // A second clear does not set the charts up again: the samples another
    // device's re-plot brought back stay plotted.
    model.HandlePackSelectCombobox(0, 2);
    ASSERT_EQ(model.plottedSamples(), 4);
    model.ClearCharts();
    EXPECT_EQ(model.plottedSamples(), 4);

    sampleAt(0, 3.0);
    EXPECT_TRUE(model.clearEnabled && model.autoFitEnabled && model.exportEnabled);
}

// What Clear resets is reset: the extremes, the windows, the plotted count;
// the flags of the new run belong to it alone.
TEST_F(ChartModelTest, ClearingResetsWhatItClears)
{
    for (int n = 0; n < 5; ++n) {
        samples->OrComError(0x10);
        sampleAt(n, 3.0 + 0.1 * n);
    }
    model.setSliderPosition(TimeSlider, 10);
    sampleAt(5, 3.5);
    ASSERT_NE(model.timeAxis().viewMin, 0);
    model.ClearCharts();
    EXPECT_EQ(model.CellVoltMin, 5.0);
    EXPECT_EQ(model.CellVoltMax, -5.0);
    EXPECT_EQ(model.PackVoltMin, 80.0);
    EXPECT_EQ(model.PackVoltMax, 0.0);
    EXPECT_EQ(model.ICTempMin, 175.0);
    EXPECT_EQ(model.ICTempMax, -50.0);
    EXPECT_EQ(model.ETVoltMin, 2.5);
    EXPECT_EQ(model.ETVoltMax, 0.0);
    EXPECT_EQ(model.timeAxis().viewMin, 0);
    EXPECT_EQ(model.timeAxis().viewMax, 0.5);
    EXPECT_EQ(model.axes(CellChart).value.viewMin, 0);
    EXPECT_EQ(model.axes(CellChart).value.viewMax, 5);
    EXPECT_EQ(model.plottedSamples(), 0);

    samples->OrComError(0x04);  // gathered for the new run's first sample
    sampleAt(0, 3.0);
    EXPECT_EQ(samples->SampleCount, 1);
    EXPECT_EQ(samples->comErrors(0), 0x04);
    EXPECT_EQ(samples->comErrors(1), 0);  // the old run's sample 1 had 0x10
    samples->OrComError(0x02);
    sampleAt(0.5, 3.0);
    EXPECT_EQ(samples->comErrors(1), 0x02);
    EXPECT_EQ(model.CellVoltMin, 3.0);  // from the new run only
    EXPECT_EQ(model.CellVoltMax, 3.0);
}

// The start-time label shows the date and time through the system's formats:
// at set-up the general date (short date and long time) of now, at a run's
// first sample the long time of the run's start.
TEST_F(ChartModelTest, StartTimeLabelUsesTheSystemFormats)
{
    struct Recording : EnglishFormatter {
        std::vector<CalendarTime> dates, times;
        std::string shortDate(const CalendarTime& when) override
        {
            dates.push_back(when);
            return "9.12.2026";
        }
        std::string longTime(const CalendarTime& when) override
        {
            times.push_back(when);
            return "20.05.07 Uhr";
        }
    } format;
    auto same = [](const CalendarTime& a, const CalendarTime& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
               a.minute == b.minute && a.second == b.second;
    };
    const auto startup = std::chrono::system_clock::from_time_t(1'796'000'000);
    clock.wall = startup;
    model.bindServices(clock, format);
    model.ChartingStartup();
    EXPECT_EQ(model.startingTimeText, "9.12.2026 20.05.07 Uhr");
    ASSERT_EQ(format.dates.size(), 1u);
    ASSERT_EQ(format.times.size(), 1u);
    EXPECT_TRUE(same(format.dates[0], LocalCalendarTime(startup)));
    EXPECT_TRUE(same(format.times[0], LocalCalendarTime(startup)));

    clock.wall = startup + std::chrono::minutes(75);
    sampleAt(0, 3.0);
    EXPECT_EQ(model.startingTimeText, "20.05.07 Uhr");
    ASSERT_EQ(format.times.size(), 2u);
    EXPECT_TRUE(same(format.times[1], LocalCalendarTime(clock.wall)));
    format.times.clear();
    sampleAt(1, 3.0);  // not a run's first sample: the label stays
    EXPECT_TRUE(format.times.empty());
    EXPECT_EQ(format.dates.size(), 1u);
}

TEST_F(ChartModelTest, TogglesAndGroupButtons)
{
    model.showGroup(2, false);
    for (int i = 24; i < 38; ++i)
        EXPECT_FALSE(model.toggle(i));
    for (const auto& s : model.series(PackChart))
        EXPECT_FALSE(s.visible);
    model.setToggle(30, true);
    EXPECT_TRUE(model.series(PackChart)[6].visible);
    model.showGroup(1, true);
    EXPECT_TRUE(model.series(CellChart)[23].visible);
    sampleAt(0, 3.0);  // single device: the second device's cells hide again
    EXPECT_FALSE(model.series(CellChart)[23].visible);
    EXPECT_TRUE(model.toggle(23));
}

TEST(ChartWindowLayout, SnapsAndStacksCharts)
{
    auto small = LayoutChartWindow(10000, 10000, true, true, 2055, 375);
    EXPECT_EQ(small.width, 16250);
    EXPECT_EQ(small.height, 12000);
    auto hidden = LayoutChartWindow(16250, 12000, false, false, 2055, 375);
    EXPECT_EQ(hidden.pack.top, 1920);
    EXPECT_EQ(hidden.cell.top, 1920 + 1950);
    EXPECT_FALSE(hidden.et.visible);
    auto shown = LayoutChartWindow(16250, 12000, true, true, 2055, 375);
    EXPECT_EQ(shown.icTemp.top, 1920 + 1950);
    EXPECT_EQ(shown.pack.top, 1920 + 2 * 1950);
    EXPECT_EQ(shown.cell.top, 1920 + 3 * 1950);
    EXPECT_EQ(shown.cell.height, 12000 - 7770 - 375 - 120);
    EXPECT_EQ(shown.hideButtonTop, 7770 + shown.cell.height + 60);
    EXPECT_EQ(shown.cell.width, 16250 - 3360 - 240);
    // Each chart ends where the next begins: none covers another's edge.
    EXPECT_EQ(shown.fault.top + shown.fault.height, shown.et.top);
    EXPECT_EQ(shown.et.top + shown.et.height, shown.icTemp.top);
    EXPECT_EQ(shown.icTemp.top + shown.icTemp.height, shown.pack.top);
    EXPECT_EQ(shown.pack.top + shown.pack.height, shown.cell.top);
    EXPECT_EQ(hidden.pack.top + hidden.pack.height, hidden.cell.top);
}

// Traces the window [viewMin, viewMax) on `columns` columns from its left
// edge on, and gives its points.
template <typename Value>
void ReduceWindow(ChartTrace& trace, const TraceSamples& s, double viewMin, double viewMax, int columns,
                  Value&& value, std::vector<ChartPoint>& out)
{
    const double scale = columns / (viewMax - viewMin);
    const ColumnGrid grid{scale, viewMin * scale};
    trace.follow(s, grid, 0, columns, value);
    trace.points(0, columns, out);
}

TEST(ChartDecimation, KeepsExtremesPerColumnWithinTheWindow)
{
    std::vector<double> x(10000), y(10000);
    for (int i = 0; i < 10000; ++i) {
        x[i] = i * 0.01;
        y[i] = (i % 100 == 50) ? 9.0 : (i % 100 == 70 ? -9.0 : 0.0);
    }
    std::vector<ChartPoint> out;
    ChartTrace trace;
    const TraceSamples all{x.data(), 10000, 0, 1};
    ReduceWindow(trace, all, 20.0, 60.0, 40, [&](int i) { return y[i]; }, out);
    EXPECT_LE(out.size(), 2u * 40 + 2);
    // The last point of the column before the window (its dip) and the
    // first of the column after it (its peak).
    EXPECT_NEAR(out.front().x, 19.70, 1e-9);
    EXPECT_NEAR(out.back().x, 60.50, 1e-9);
    int peaks = 0, dips = 0;
    for (size_t k = 0; k < out.size(); ++k) {
        peaks += out[k].y == 9.0;
        dips += out[k].y == -9.0;
        if (k > 0) {
            EXPECT_LT(out[k - 1].x, out[k].x);
        }
    }
    EXPECT_EQ(peaks, 41);
    EXPECT_EQ(dips, 41);

    // Samples further apart than a column are drawn as they are.
    for (int i = 0; i < 5; ++i)
        y[i] = i % 2;
    out.clear();
    ChartTrace few;
    ReduceWindow(few, {x.data(), 5, 0, 1}, 0, 0.05, 40, [&](int i) { return y[i]; }, out);
    EXPECT_EQ(out.size(), 5u);
}

// A trace followed sample by sample, through a rolling window, buffers that
// drop their oldest samples, a zoom and a new run, reduces exactly as a
// trace built afresh from the same samples.
TEST(ChartDecimation, FollowingSamplesMatchesReducingAfresh)
{
    const int capacity = 3000, shift = 600;
    std::vector<double> x(capacity), y(capacity);
    int count = 0;
    int64_t dropped = 0;
    uint64_t run = 1;
    ChartTrace followed;
    auto value = [&](int i) { return y[i]; };
    auto step = [&](int n, double span, int columns) {
        if (count == capacity) {
            std::copy(x.begin() + shift, x.end(), x.begin());
            std::copy(y.begin() + shift, y.end(), y.begin());
            count -= shift;
            dropped += shift;
        }
        x[count] = n * 0.05;
        y[count] = std::sin(n * 0.37) + (n % 97 == 0 ? 5.0 : 0.0);
        ++count;
        const double t = x[count - 1];
        const double viewMin = t < span ? 0 : t - span, viewMax = std::max(t, 0.25);
        const TraceSamples s{x.data(), count, dropped, run};
        // On whole columns, as the window shows it: the grid stands while
        // the span does.
        const double scale = columns / (viewMax - viewMin);
        const ColumnGrid grid{scale, 0};
        const auto first = static_cast<int64_t>(std::ceil(viewMax * scale - columns));
        std::vector<ChartPoint> a, b;
        followed.follow(s, grid, first, first + columns, value);
        followed.points(first, first + columns, a);
        ChartTrace fresh;
        fresh.follow(s, grid, first, first + columns, value);
        fresh.points(first, first + columns, b);
        ASSERT_EQ(a.size(), b.size()) << "sample " << n;
        for (size_t k = 0; k < a.size(); ++k) {
            ASSERT_EQ(a[k].x, b[k].x) << "sample " << n;
            ASSERT_EQ(a[k].y, b[k].y) << "sample " << n;
        }
    };
    int n = 0;
    for (; n < 4000; ++n)
        step(n, 240, 300);  // the whole buffer in view, drops included
    for (; n < 5000; ++n)
        step(n, 15, 300);  // rolling
    for (; n < 5200; ++n)
        step(n, 15, 123);  // another width
    run = 2, count = 0, dropped = 0;
    for (n = 0; n < 100; ++n)
        step(n, 30, 300);
}

// A redraw of many samples reduces a column at a time, from where each
// column's samples begin; it must keep the same points as counting sample
// by sample: the first of equal extremes, unplotted samples skipped, columns
// with no samples and runs of unplotted ones, the point before the window
// and after it, and columns found for another grid (taken sample by
// sample).
TEST(ChartDecimation, ReducingByColumnsMatchesReducingBySamples)
{
    std::vector<double> x, y;
    for (int i = 0; i < 6000; ++i) {
        // Dense, then a gap, then sparser than a column.
        x.push_back(i < 4000 ? i * 0.01 : i < 5000 ? 50 + i * 0.01 : 100 + i * 0.7);
        const double v = std::round(std::sin(i * 0.21) * 3);  // many equal values
        y.push_back(i % 17 == 3 || (i >= 1200 && i < 1500) ? std::nan("") : v);
    }
    const TraceSamples s{x.data(), static_cast<int>(x.size()), 0, 1};
    auto value = [&](int i) { return y[i]; };
    struct Window {
        double scale;
        int64_t first, columns;
    };
    for (const Window w : {Window{10, 0, 400}, Window{7.3, 100, 300}, Window{3, 150, 2000}, Window{25, 330, 500},
                           Window{10, 100, 60}, Window{1.5, 0, 5000}}) {
        const ColumnGrid grid{w.scale, 2.5};
        SampleColumns columns, otherGrid;
        columns.build(s, grid, w.first, w.first + w.columns);
        otherGrid.build(s, {w.scale * 2, 0}, w.first, w.first + w.columns);
        ChartTrace bySamples, byColumns, byOtherColumns;
        bySamples.follow(s, grid, w.first, w.first + w.columns, value);
        byColumns.follow(s, grid, w.first, w.first + w.columns, value, &columns);
        byOtherColumns.follow(s, grid, w.first, w.first + w.columns, value, &otherGrid);
        std::vector<ChartPoint> a, b, c;
        bySamples.points(w.first, w.first + w.columns, a);
        byColumns.points(w.first, w.first + w.columns, b);
        byOtherColumns.points(w.first, w.first + w.columns, c);
        ASSERT_GT(a.size(), 2u) << "scale " << w.scale;
        ASSERT_EQ(a.size(), b.size()) << "scale " << w.scale;
        ASSERT_EQ(a.size(), c.size()) << "scale " << w.scale;
        for (size_t k = 0; k < a.size(); ++k) {
            EXPECT_EQ(a[k].x, b[k].x) << "scale " << w.scale << ", point " << k;
            EXPECT_EQ(a[k].y, b[k].y) << "scale " << w.scale << ", point " << k;
            EXPECT_EQ(a[k].x, c[k].x) << "scale " << w.scale << ", point " << k;
        }
    }
}

// Where a series' conversion keeps the counts in order, a column finds its
// extremes on the counts; it must keep the same points as comparing the
// converted values, also when new samples join a column's: the first of
// equal extremes, unknown samples skipped,
// falling scales (the lowest count the highest value), a zero scale (all
// values equal), the 14-bit cell counts' sign, and counts outside the
// chip's range.
TEST(ChartDecimation, ExtremesFoundOnTheCountsMatchThoseOnTheValues)
{
    using Units = ChartModel::SeriesUnits;
    std::vector<double> x;
    std::vector<int16_t> raw;
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < 5000; ++i) {
        x.push_back(i * 0.01);
        const uint32_t r = next() >> 8;
        int16_t v;
        if (r % 13 == 0)
            v = kUnknownSample;
        else if (i % 700 < 350)
            v = static_cast<int16_t>(0x1FFC + r % 8);  // either side of the cell counts' sign bit, many equal
        else
            v = static_cast<int16_t>(static_cast<uint16_t>(r));  // any count
        raw.push_back(i >= 2000 && i < 2100 ? kUnknownSample : v);
    }
    const TraceSamples s{x.data(), static_cast<int>(x.size()), 0, 1};
    const ColumnGrid grid{3, 0};  // 33 samples a column
    SampleColumns columns;
    columns.build(s, grid, 0, 150);
    int cases = 0;
    for (const Units units : {Units{Units::Cell, 0.01, 0}, Units{Units::Cell, -0.5, 0}, Units{Units::Cell, 0, 0},
                              Units{Units::Scaled, 0.003, 0}, Units{Units::Scaled, -2, 0}, Units{Units::ICTemp, -0.125, 9000},
                              Units{Units::ICTemp, 0.25, 100}, Units{Units::ICTemp, 0, 100}}) {
        const std::optional<CountOrder> order = units.countOrder(raw.data());
        ASSERT_TRUE(order.has_value()) << units.kind << " " << units.scale;
        struct Values {
            const int16_t* raw;
            Units units;
            double operator()(int i) const { return units(raw[i]); }
        };
        struct Counted : Values {
            CountOrder order;
            CountOrder countOrder() const { return order; }
        };
        const Values values{raw.data(), units};
        ChartTrace onValues, onCounts, onCountsArriving;
        onValues.follow(s, grid, 0, 150, values, &columns);
        onCounts.follow(s, grid, 0, 150, Counted{values, *order}, &columns);
        // The samples arriving some at a time, so that a column's extremes
        // are also merged with those it holds.
        for (int count = 0, step = 7; count < s.count; step = step == 7 ? 19 : 7) {
            count = std::min(count + step, s.count);
            onCountsArriving.follow({x.data(), count, 0, 1}, grid, 0, 150, Counted{values, *order},
                                    step == 7 ? &columns : nullptr);
        }
        std::vector<ChartPoint> a;
        onValues.points(0, 150, a);
        ASSERT_GT(a.size(), 140u) << units.kind << " " << units.scale;  // one or two points a column
        for (const ChartTrace* trace : {&onCounts, &onCountsArriving}) {
            std::vector<ChartPoint> b;
            trace->points(0, 150, b);
            ASSERT_EQ(a.size(), b.size()) << units.kind << " " << units.scale;
            for (size_t k = 0; k < a.size(); ++k) {
                EXPECT_EQ(a[k].x, b[k].x) << units.kind << " " << units.scale << ", point " << k;
                EXPECT_EQ(a[k].y, b[k].y) << units.kind << " " << units.scale << ", point " << k;
            }
        }
        ++cases;
    }
    EXPECT_EQ(cases, 8);
    // Conversions the counts do not order are compared on the values.
    EXPECT_FALSE((Units{Units::Scaled, std::nan(""), 0}.countOrder(raw.data())));
    EXPECT_FALSE((Units{Units::ICTemp, 1e-12, 0}.countOrder(raw.data())));
    EXPECT_FALSE((Units{Units::ICTemp, 0.5, std::numeric_limits<double>::infinity()}.countOrder(raw.data())));
    EXPECT_FALSE((Units{Units::Fault, 1, 0.3}.countOrder(raw.data())));
}

}  // namespace

namespace {

// A redraw converts samples with the series' conversion taken once; it must
// plot, for every count, exactly what the model's conversion gives (a
// wrong sign extension, scale or offset would move lines).
TEST_F(ChartModelTest, SeriesConversionTakenOnceMatchesTheModelForEveryCount)
{
    defs->regs[0][64].scale = 0.003;   // pack
    defs->regs[0][80].scale = -0.125;  // internal temperature, falling with the count
    defs->regs[0][81].scale = 0.0007;  // external temperature inputs
    defs->tint25 = 9000;
    struct Case {
        ChartId chart;
        int index;
    };
    for (const Case c : {Case{CellChart, 0}, Case{CellChart, 13}, Case{PackChart, 3}, Case{ICTempChart, 1},
                         Case{ETChart, 2}, Case{FaultChart, 0}, Case{FaultChart, 3}}) {
        const ChartModel::SeriesUnits units = model.seriesUnitsOf(c.chart, c.index);
        int differ = 0;
        for (int raw = -32768; raw <= 32767; ++raw) {
            const double fast = units(static_cast<int16_t>(raw));
            const double slow = model.seriesUnits(c.chart, c.index, static_cast<int16_t>(raw));
            differ += !(fast == slow || (std::isnan(fast) && std::isnan(slow)));
        }
        EXPECT_EQ(differ, 0) << "chart " << c.chart << ", series " << c.index;
    }
    // The 14-bit cell counts on either side of the sign bit, and an unknown
    // sample.
    const ChartModel::SeriesUnits cells = model.seriesUnitsOf(CellChart, 0);
    EXPECT_DOUBLE_EQ(cells(0x1FFF), 81.91);
    EXPECT_DOUBLE_EQ(cells(0x2000), -81.92);
    EXPECT_TRUE(std::isnan(cells(kUnknownSample)));
    EXPECT_DOUBLE_EQ(model.seriesUnitsOf(ICTempChart, 0)(9008), 24.0);
    EXPECT_DOUBLE_EQ(model.seriesUnitsOf(FaultChart, 1)(0), 0.2);
    EXPECT_DOUBLE_EQ(model.seriesUnitsOf(FaultChart, 1)(4), 1.2);
}

}  // namespace
