#pragma once
// The live charts as data: five charts (cell voltages, pack voltages, IC
// temperature, external inputs, fault status) with their series, axes,
// zoom sliders and option boxes, fed from the chart sample buffers. The
// chart window draws from this model and the buffers; nothing here knows Qt.

#include "core/Services.h"
#include "data/ChartDecimation.h"
#include "data/ChartSamples.h"
#include "link/RegisterModel.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace kvb::data {

enum ChartId : int { CellChart, PackChart, ICTempChart, ETChart, FaultChart, kChartCount };
enum SliderId : int { CellSlider, PackSlider, ICTempSlider, ETSlider, TimeSlider, kSliderCount };

inline constexpr int kSeriesToggles = 38;  // 0..23 cell series, 24..37 pack series
inline constexpr int kZoomPositions = 10;  // slider positions 0..10

struct AxisRange {
    double fullMin = 0, fullMax = 0, viewMin = 0, viewMax = 0;
};

struct ChartSeries {
    std::string name;
    uint32_t colour = 0;  // 0xBBGGRR
    bool visible = false;
};

struct ChartAxes {
    std::string valueTitle;
    std::string valueFormat;  // printf pattern of the value labels
    AxisRange value;
};

// The colour table of the series, 0xBBGGRR.
extern const std::array<uint32_t, 12> kSeriesColours;

// What the charts read of the link: whether it is a daisy chain, whether the
// board is connected, and how many devices of type 0 were found (the export's
// columns). The program's context implements it from the chip link and the
// transport.
class ChartLinkState {
public:
    virtual bool isDaisyChain() const = 0;
    virtual bool isConnected() const = 0;
    virtual int typeZeroCount() const = 0;

protected:
    ~ChartLinkState() = default;
};

class ChartModel {
public:
    ChartModel(ChartSamples& samples, const ChartLinkState& link);
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    // Wiring: the register map whose scales convert the samples (until
    // bound, scales are 1), and another link state to read (a test's
    // chain that no link was configured for).
    void bindDefinitions(const link::RegisterDefinitions& defs) { defs_ = &defs; }
    const link::RegisterDefinitions& definitions() const { return *defs_; }
    void bindLink(const ChartLinkState& link) { link_ = &link; }
    bool daisy() const { return link_->isDaisyChain(); }
    bool connected() const { return link_->isConnected(); }
    int typeZeroCount() const { return link_->typeZeroCount(); }
    // The wall clock and the system's date and time formats the start time
    // is shown with; until bound, the system clock and English.
    void bindServices(Clock& clock, Formatter& format);

    // Prepares the charts once at start-up.
    void ChartingStartup();
    // Rebuilds the series and axes. With `firstTime` the current run ends and
    // the charts start empty; without it every stored sample is plotted again.
    void Initialize(bool firstTime);
    // Takes a chart sample from the register image and plots it.
    void AddNewVoltageDataToChartArray(const link::RegisterImage& image, Clock& clock);
    // Plots the sample at SampleCount at CurrentSampleMinutes.
    void AddChartDataPoints();
    // A device selector (0 or 1) picked list entry `listIndex` (device listIndex + 1).
    void HandlePackSelectCombobox(int selector, int listIndex);

    // Zoom.
    double zoomSpan(SliderId slider) const;
    void AutoZoom(SliderId slider);
    void ViewZoomer();
    void AutoZoomCharts();
    // The slider moved (by the user or by auto fit): caption and zoom follow.
    void setSliderPosition(SliderId slider, int position);
    int sliderPosition(SliderId slider) const { return sliders_[slider]; }
    std::string sliderCaption(SliderId slider) const;

    // Series toggles and chart options.
    void setToggle(int index, bool checked);
    bool toggle(int index) const { return toggles_[index]; }
    void SetSeriesVisibility(int index, bool visible);
    void showGroup(int buttonIndex, bool show);  // "All" / "None" buttons
    bool RollChart = true;
    bool ShowAxisTitles = true;
    bool ShowLegends = true;
    bool ShowAllAxisLabels = true;
    bool ShowETChart = true;
    bool ShowITChart = true;

    // Action buttons. Clear disables all three and Auto Fit itself; they
    // come back at the next sample, so each acts at most once per sample
    // (and does nothing while disabled). Export is disabled while it runs
    // and comes back when it ends, however it ends.
    void ClearCharts();
    void AutoFit();
    bool clearEnabled = true, autoFitEnabled = true, exportEnabled = true;

    // State read by the window.
    bool ChartReady = false;
    std::array<int, 3> ChartDevices{1, 2, 0};
    const std::vector<ChartSeries>& series(ChartId chart) const { return series_[chart]; }
    const ChartAxes& axes(ChartId chart) const { return axes_[chart]; }
    const AxisRange& timeAxis() const { return time_; }
    std::string startingTimeText;  // lblStartingTime
    // Grows whenever something the window shows changes.
    uint64_t revision() const { return revision_; }

    // The value series `index` of `chart` plots for a sample, in units; NaN
    // for a sample whose register held no value from a chip, which is not
    // plotted.
    double seriesValue(ChartId chart, int index, int sample) const
    {
        return seriesUnits(chart, index, seriesData(chart, index)[sample]);
    }
    // The buffer series that series `index` of `chart` plots (samples
    // 0..32760), and its conversion of one raw value to units.
    const int16_t* seriesData(ChartId chart, int index) const;
    double seriesUnits(ChartId chart, int index, int16_t raw) const;
    // seriesUnits() of one series, as a value that converts without a call
    // for each of many samples (a redraw converts every sample it shows).
    struct SeriesUnits {
        enum Kind { Cell, Scaled, ICTemp, Fault } kind = Scaled;
        double scale = 1, offset = 0;  // offset: tint25, or the fault's base level
        double operator()(int16_t raw) const
        {
            if (raw == kUnknownSample)
                return std::numeric_limits<double>::quiet_NaN();
            switch (kind) {
            case Cell: {
                // 14-bit counts, sign-extended.
                const auto v = raw >= 0x2000 ? static_cast<int16_t>(static_cast<uint16_t>(raw) | 0xC000u) : raw;
                return v * scale;
            }
            case Scaled:
                return raw * scale;
            case ICTemp:
                return (static_cast<double>(raw) - offset) * scale + 25.0;
            default:
                return raw == 0 ? offset : offset + 1.0;
            }
        }
        // How the values follow the counts `raw` (see CountOrder), where
        // they do: a cell, pack, temperature or input count with a finite
        // scale (the temperature's far from where adding 25 could merge two
        // values); not the fault levels.
        std::optional<CountOrder> countOrder(const int16_t* raw) const
        {
            if (kind == Fault || !std::isfinite(scale) || !std::isfinite(offset))
                return std::nullopt;
            if (kind == ICTemp && scale != 0 && std::abs(scale) < 1e-9)
                return std::nullopt;
            return CountOrder{raw, kind == Cell, scale > 0 ? 1 : scale < 0 ? -1 : 0};
        }
    };
    SeriesUnits seriesUnitsOf(ChartId chart, int index) const;
    // What a drawn series depends on besides the samples: the buffer series
    // it plots and the scales in force (its values for raw 0 and 1). Equal
    // keys plot equal values for equal samples.
    struct SeriesKey {
        const int16_t* data = nullptr;
        double at0 = 0, at1 = 0;
        bool operator==(const SeriesKey&) const = default;
    };
    SeriesKey seriesKey(ChartId chart, int index) const;
    // The samples the charts show: 0 after the charts were built empty,
    // otherwise up to the last sample plotted.
    int plottedSamples() const { return plotted_; }
    // Whether the series has data to draw (the second charted device's
    // series only on a daisy chain).
    bool seriesHasData(ChartId chart, int index) const;

    // Data extremes seen since the charts were last built.
    double CellVoltMin = 5.0, CellVoltMax = -5.0, PackVoltMin = 80.0, PackVoltMax = 0.0;
    double ICTempMin = 175.0, ICTempMax = -50.0, ETVoltMin = 2.5, ETVoltMax = 0.0;

    ChartSamples& samples() { return samples_; }
    const ChartSamples& samples() const { return samples_; }

private:
    void buildSeries();
    void buildCellSeries(bool second);
    void buildPackSeries(bool second);
    void buildDeviceSeries(bool second);
    int shownPackSeriesSingle() const;
    void updateExtremes(double& lo, double& hi, double v);
    // Takes sample s into the data extremes.
    void takeExtremes(int s);
    void zoomValueAxis(ChartId chart, SliderId slider, double floor);
    void changed() { ++revision_; }

    ChartSamples& samples_;
    const ChartLinkState* link_;
    link::RegisterDefinitions fallback_;
    const link::RegisterDefinitions* defs_ = &fallback_;
    Clock* clock_;
    Formatter* format_;
    std::array<std::vector<ChartSeries>, kChartCount> series_;
    std::array<ChartAxes, kChartCount> axes_;
    AxisRange time_;
    std::array<int, kSliderCount> sliders_{};
    std::array<bool, kSeriesToggles> toggles_{};
    std::array<std::array<double, kZoomPositions>, kSliderCount> spans_{};
    uint64_t revision_ = 0;
    int plotted_ = 0;
    bool builtForDaisy_ = false;  // the link mode the series were built for
};

}  // namespace kvb::data
