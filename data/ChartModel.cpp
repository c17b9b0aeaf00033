#include "data/ChartModel.h"

#include "data/Conversions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <charconv>

namespace kvb::data {

const std::array<uint32_t, 12> kSeriesColours = {0x000000, 0x004080, 0x8080FF, 0x80C0FF,
                                                 0x00C0C0, 0x00C000, 0x80FF80, 0xFF8080,
                                                 0xFF0000, 0xFF00FF, 0xC000C0, 0xA0A0A0};

namespace {

constexpr std::array<std::array<double, kZoomPositions>, kSliderCount> kZoomSpans = {{
    {10, 5, 2, 1, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01},
    {80, 40, 20, 10, 5, 2, 1, 0.5, 0.2, 0.1},
    {250, 100, 50, 25, 10, 5, 2, 1, 0.5, 0.2},
    {2.5, 1, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005, 0.002},
    {240, 120, 60, 30, 15, 5, 2.5, 1.5, 1, 0.5},
}};

struct AxisTable {
    const char* title;
    const char* format;
    double min, max;
};
constexpr AxisTable kAxisTable[kChartCount] = {
    {"Cells (V)", "%0.3f", 0, 5},         {"Packs (V)", "%0.2f", 0, 80},
    {"ICTemp (°C)", "%0.1f", -50, 175}, {"ET (V)", "%0.3f", 0, 2.5},
    {"Faults", "%0.3f", 0, 1.5},
};

std::string shortest(double v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

}  // namespace

namespace {

SystemClock& systemClock()
{
    static SystemClock clock;
    return clock;
}

}  // namespace

ChartModel::ChartModel(ChartSamples& samples, const ChartLinkState& link)
    : samples_(samples), link_(&link), clock_(&systemClock()), format_(&EnglishFormatter::instance())
{
    spans_ = kZoomSpans;
}

void ChartModel::bindServices(Clock& clock, Formatter& format)
{
    clock_ = &clock;
    format_ = &format;
}

void ChartModel::ChartingStartup()
{
    ChartReady = true;
    ChartDevices = {1, 2, 0};
    Initialize(true);
    // Today's date and time in the system's general date format: its short
    // date and long time.
    const CalendarTime now = LocalCalendarTime(clock_->wallNow());
    startingTimeText = format_->shortDate(now) + " " + format_->longTime(now);
    changed();
}

void ChartModel::Initialize(bool firstTime)
{
    spans_ = kZoomSpans;
    CellVoltMin = 5.0, CellVoltMax = -5.0, PackVoltMin = 80.0, PackVoltMax = 0.0;
    ICTempMin = 175.0, ICTempMax = -50.0, ETVoltMin = 2.5, ETVoltMax = 0.0;
    if (firstTime)
        samples_.endRun();
    plotted_ = 0;
    buildSeries();
    for (int c = 0; c < kChartCount; ++c) {
        ChartAxes& a = axes_[c];
        a.valueTitle = kAxisTable[c].title;
        a.valueFormat = kAxisTable[c].format;
        // The visible range starts as the table's range; a re-plot moves it
        // with every sample.
        a.value = {kAxisTable[c].min, kAxisTable[c].max, kAxisTable[c].min, kAxisTable[c].max};
    }
    time_ = {0, 0.5, 0, 0.5};
    if (!firstTime && samples_.SampleCount > 0) {
        // Plotting every stored sample again: the extremes take in each
        // sample, while the zoom, which only ever follows the newest sample
        // (the windows reached from the fresh ones above stay put), is set
        // once, by the last.
        const int count = samples_.SampleCount;
        for (int i = 0; i < count - 1; ++i)
            takeExtremes(i);
        samples_.SampleCount = count - 1;
        samples_.CurrentSampleMinutes = samples_.minutes(count - 1);
        AddChartDataPoints();
        samples_.SampleCount = count;
    }
    changed();
}

void ChartModel::buildSeries()
{
    const bool second = daisy();
    builtForDaisy_ = second;
    for (auto& s : series_)
        s.clear();
    buildCellSeries(second);
    buildPackSeries(second);
    buildDeviceSeries(second);
}

void ChartModel::buildCellSeries(bool second)
{
    for (int k = 0; k < 2; ++k)
        for (int c = 1; c <= kCells; ++c) {
            bool visible = k == 0 || second;
            series_[CellChart].push_back({"Vcell " + std::to_string(ChartDevices[k]) + "-" +
                                              std::to_string(c),
                                          kSeriesColours[(c - 1) % 12], visible});
            toggles_[k * 12 + c - 1] = visible;
        }
}

void ChartModel::buildPackSeries(bool second)
{
    for (int p = 1; p <= 14; ++p) {
        series_[PackChart].push_back({"VPack  " + std::to_string(p), kSeriesColours[(p - 1) % 12], false});
        toggles_[24 + p - 1] = false;
    }
    std::vector<int> shown;
    if (connected() && !second)
        shown.push_back(shownPackSeriesSingle());
    else
        shown = {ChartDevices[0], ChartDevices[1]};
    for (int p : shown)
        if (p >= 1 && p <= 14) {
            series_[PackChart][p - 1].visible = true;
            toggles_[24 + p - 1] = true;
        }
}

// The internal temperature, external input and fault series of the charted
// devices.
void ChartModel::buildDeviceSeries(bool second)
{
    for (int k = 0; k < 2; ++k)
        series_[ICTempChart].push_back(
            {"ICTemp " + std::to_string(ChartDevices[k]), kSeriesColours[k], k == 0 || second});
    for (int k = 0; k < 2; ++k)
        for (int n = 1; n <= kETInputs; ++n)
            series_[ETChart].push_back({"ETVolt " + std::to_string(ChartDevices[k]) + "-" +
                                            std::to_string(n),
                                        kSeriesColours[k == 0 ? n - 1 : n + 3], k == 0 || second});
    for (int k = 0; k < 2; ++k)
        for (int type = 0; type < 2; ++type)
            series_[FaultChart].push_back({std::string(type == 0 ? "Flt 960-" : "Flt 961-") +
                                               std::to_string(ChartDevices[k]),
                                           kSeriesColours[2 * k + type], k == 0 || second});
}

// On a single-device link the pack series shown is the one of the third
// device selector; while that holds no device, the first charted device's.
int ChartModel::shownPackSeriesSingle() const
{
    return ChartDevices[2] >= 1 && ChartDevices[2] <= 14 ? ChartDevices[2] : ChartDevices[0];
}

const int16_t* ChartModel::seriesData(ChartId chart, int index) const
{
    switch (chart) {
    case CellChart:
        return samples_.cellSeriesData(ChartDevices[index / 12], index % 12);
    case PackChart:  // pack series p shows device p
        return samples_.packSeriesData(index + 1);
    case ICTempChart:
        return samples_.icTempSeriesData(ChartDevices[index]);
    case ETChart:
        return samples_.etSeriesData(ChartDevices[index / 4], index % 4);
    default:
        return index % 2 == 0 ? samples_.fault1SeriesData(ChartDevices[index / 2])
                              : samples_.fault2SeriesData(ChartDevices[index / 2]);
    }
}

double ChartModel::seriesUnits(ChartId chart, int index, int16_t raw) const
{
    if (raw == kUnknownSample)
        return std::numeric_limits<double>::quiet_NaN();
    const link::RegisterDefinitions& d = *defs_;
    switch (chart) {
    case CellChart:
        return RegToCellVolts(raw, d);
    case PackChart:
        return RegToPackVolts(raw, d);
    case ICTempChart:
        return RegToICTempDegC(raw, d);
    case ETChart:
        return RegToETVolts(raw, d);
    default:
        return FaultToChartValue(raw, 0.1 * (index + 1));
    }
}

ChartModel::SeriesUnits ChartModel::seriesUnitsOf(ChartId chart, int index) const
{
    const link::RegisterDefinitions& d = *defs_;
    switch (chart) {
    case CellChart:
        return {SeriesUnits::Cell, d.def(0, kFirstCellRegister).scale, 0};
    case PackChart:
        return {SeriesUnits::Scaled, d.def(0, kPackRegister).scale, 0};
    case ICTempChart:
        return {SeriesUnits::ICTemp, d.def(0, kICTempRegister).scale, static_cast<double>(d.tint25)};
    case ETChart:
        return {SeriesUnits::Scaled, d.def(0, kFirstETRegister).scale, 0};
    default:
        return {SeriesUnits::Fault, 1, 0.1 * (index + 1)};
    }
}

ChartModel::SeriesKey ChartModel::seriesKey(ChartId chart, int index) const
{
    return {seriesData(chart, index), seriesUnits(chart, index, 0), seriesUnits(chart, index, 1)};
}

bool ChartModel::seriesHasData(ChartId chart, int index) const
{
    if (chart == PackChart || daisy())
        return true;
    const int perDevice = chart == CellChart ? 12 : chart == ETChart ? 4 : chart == FaultChart ? 2 : 1;
    return index < perDevice;
}

void ChartModel::updateExtremes(double& lo, double& hi, double v)
{
    if (std::isnan(v))
        return;  // a value no chip gave
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

void ChartModel::AddChartDataPoints()
{
    if (samples_.SampleCount == kLastSample)
        samples_.BufferFullHandler();
    const bool second = daisy();
    // The charts are set up before the link is connected; once it turns out
    // to be a daisy chain (or no longer is one) the series are shown as a
    // set-up for that link shows them, so that the second charted device's
    // traces appear without clearing the charts.
    if (second != builtForDaisy_)
        buildSeries();
    const int s = samples_.SampleCount;
    plotted_ = s + 1;
    if (!second) {
        for (int i = 12; i < 24; ++i)
            series_[CellChart][i].visible = false;
        const int secondPack = ChartDevices[1];
        if (secondPack >= 1 && secondPack <= 14 &&
            !(connected() && secondPack == shownPackSeriesSingle()))
            series_[PackChart][secondPack - 1].visible = false;
        series_[ICTempChart][1].visible = false;
        for (int i = 4; i < 8; ++i)
            series_[ETChart][i].visible = false;
        series_[FaultChart][2].visible = false;
        series_[FaultChart][3].visible = false;
    }
    takeExtremes(s);
    ViewZoomer();
    changed();
}

void ChartModel::takeExtremes(int s)
{
    const int devices = daisy() ? 2 : 1;
    for (int k = 0; k < devices; ++k) {
        for (int c = 0; c < kCells; ++c)
            updateExtremes(CellVoltMin, CellVoltMax, seriesValue(CellChart, k * 12 + c, s));
        const int device = ChartDevices[k];
        if (device >= 1 && device <= 14)
            updateExtremes(PackVoltMin, PackVoltMax, seriesValue(PackChart, device - 1, s));
        updateExtremes(ICTempMin, ICTempMax, seriesValue(ICTempChart, k, s));
        for (int n = 0; n < kETInputs; ++n)
            updateExtremes(ETVoltMin, ETVoltMax, seriesValue(ETChart, k * 4 + n, s));
    }
}

void ChartModel::AddNewVoltageDataToChartArray(const link::RegisterImage& image, Clock& clock)
{
    if (samples_.takeSample(image, clock)) {
        // The run's start in the system's long time format.
        startingTimeText = format_->longTime(LocalCalendarTime(samples_.ChartStartDate));
    }
    AddChartDataPoints();
    samples_.finishSample();
    clearEnabled = autoFitEnabled = exportEnabled = true;
    changed();
}

void ChartModel::HandlePackSelectCombobox(int selector, int listIndex)
{
    if (selector < 0 || selector > 2)
        return;
    const int device = listIndex + 1;
    if (device != ChartDevices[selector]) {
        ChartDevices[selector] = device;
        Initialize(false);
    }
}

double ChartModel::zoomSpan(SliderId slider) const
{
    const int k = std::clamp(sliders_[slider] - 1, 0, kZoomPositions - 1);
    return spans_[slider][k];
}

std::string ChartModel::sliderCaption(SliderId slider) const
{
    static const char* units[kSliderCount] = {"V", "V", " °C", "V", " min"};
    return shortest(zoomSpan(slider)) + units[slider];
}

void ChartModel::setSliderPosition(SliderId slider, int position)
{
    position = std::clamp(position, 0, kZoomPositions);
    if (sliders_[slider] == position)
        return;
    sliders_[slider] = position;
    if (samples_.ChartStarted)
        ViewZoomer();
    changed();
}

void ChartModel::ViewZoomer()
{
    const double s = zoomSpan(TimeSlider);
    const double t = samples_.CurrentSampleMinutes;
    AxisRange x = time_;
    if (t < s) {
        x.viewMin = 0;
        x.viewMax = std::max(t, 0.25);
    } else if (RollChart) {
        x.viewMin = std::max(t - s, 0.0);
        x.viewMax = std::max(t, 0.25);
    } else {
        const double c = (time_.viewMin + time_.viewMax) / 2;
        x.viewMin = c - s / 2;
        x.viewMax = c + s / 2;
        if (x.viewMin < 0) {
            x.viewMin = 0;
            x.viewMax = s;
        }
    }
    x.fullMin = 0;
    x.fullMax = t < x.viewMax ? x.viewMax : t;
    time_ = x;

    // Floors: no window below -5 V for packs, 0 V for cells, -50 V for the
    // external inputs and -50 degrees for the IC temperature, so that a chip
    // colder than 0 degrees stays in view.
    zoomValueAxis(PackChart, PackSlider, -5.0);
    zoomValueAxis(CellChart, CellSlider, 0.0);
    zoomValueAxis(ETChart, ETSlider, -50.0);
    zoomValueAxis(ICTempChart, ICTempSlider, -50.0);
    changed();
}

void ChartModel::zoomValueAxis(ChartId chart, SliderId slider, double floor)
{
    AxisRange& a = axes_[chart].value;
    const double c = (a.viewMin + a.viewMax) / 2;
    const double s = zoomSpan(slider);
    double y0 = c - s / 2;
    if (y0 < floor)
        y0 = floor;
    const double y1 = y0 + s;
    a.fullMin = std::min(a.fullMin, y0);
    a.fullMax = std::max(a.fullMax, y1);
    a.viewMin = y0;
    a.viewMax = y1;
}

void ChartModel::AutoZoom(SliderId slider)
{
    double r;
    switch (slider) {
    case CellSlider: r = CellVoltMax - CellVoltMin; break;
    case PackSlider: r = PackVoltMax - PackVoltMin; break;
    case ICTempSlider: r = ICTempMax - ICTempMin; break;
    case ETSlider: r = ETVoltMax - ETVoltMin; break;
    default: r = samples_.CurrentSampleMinutes; break;
    }
    // The smallest span above the range, down to the widest entry.
    int p = kZoomPositions;
    for (int i = kZoomPositions - 1; i >= 1; --i)
        if (r >= spans_[slider][i])
            p = i;
    setSliderPosition(slider, p);
}

void ChartModel::AutoZoomCharts()
{
    struct Fit {
        ChartId chart;
        SliderId slider;
        double lo, hi;
    };
    const std::array<SliderId, 4> order = {CellSlider, PackSlider, ICTempSlider, ETSlider};
    for (SliderId slider : order) {
        AutoZoom(slider);
        Fit f{};
        switch (slider) {
        case CellSlider: f = {CellChart, slider, CellVoltMin, CellVoltMax}; break;
        case PackSlider: f = {PackChart, slider, PackVoltMin, PackVoltMax}; break;
        case ICTempSlider: f = {ICTempChart, slider, ICTempMin, ICTempMax}; break;
        default: f = {ETChart, slider, ETVoltMin, ETVoltMax}; break;
        }
        AxisRange& a = axes_[f.chart].value;
        const double m = (f.lo + f.hi) / 2;
        const double w = a.viewMax - a.viewMin;
        a.viewMin = m - w / 2;
        a.viewMax = m + w / 2;
    }
    AutoZoom(TimeSlider);
    changed();
}

void ChartModel::SetSeriesVisibility(int index, bool visible)
{
    if (index >= 24) {
        if (static_cast<int>(series_[PackChart].size()) > index - 24)
            series_[PackChart][index - 24].visible = visible;
    } else if (index >= 0 && static_cast<int>(series_[CellChart].size()) > index) {
        series_[CellChart][index].visible = visible;
    }
    changed();
}

void ChartModel::setToggle(int index, bool checked)
{
    if (index < 0 || index >= kSeriesToggles || toggles_[index] == checked)
        return;
    toggles_[index] = checked;
    SetSeriesVisibility(index, checked);
}

void ChartModel::showGroup(int buttonIndex, bool show)
{
    const int first = buttonIndex == 0 ? 0 : buttonIndex == 1 ? 12 : 24;
    const int count = buttonIndex >= 2 ? 14 : 12;
    for (int i = 0; i < count; ++i) {
        toggles_[first + i] = show;
        SetSeriesVisibility(first + i, show);
    }
}

void ChartModel::ClearCharts()
{
    if (!clearEnabled)
        return;
    clearEnabled = autoFitEnabled = exportEnabled = false;
    Initialize(true);
    changed();
}

void ChartModel::AutoFit()
{
    if (!autoFitEnabled)
        return;
    autoFitEnabled = false;
    AutoZoomCharts();
    changed();
}

}  // namespace kvb::data
