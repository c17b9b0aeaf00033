// The charts' fixed tables whole: every zoom span at every slider position
// with its caption, the slider position auto fit picks at and beside each
// span, and the name and colour of every series.

#include "data/ChartModel.h"
#include "support/FakeChartLink.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace kvb;
using namespace kvb::data;

namespace {

struct SpanTable {
    SliderId slider;
    std::array<const char*, 10> spans;  // as the slider's caption writes them
    const char* unit;
};

const SpanTable kSpans[] = {
    {CellSlider, {"10", "5", "2", "1", "0.5", "0.2", "0.1", "0.05", "0.02", "0.01"}, "V"},
    {PackSlider, {"80", "40", "20", "10", "5", "2", "1", "0.5", "0.2", "0.1"}, "V"},
    {ICTempSlider, {"250", "100", "50", "25", "10", "5", "2", "1", "0.5", "0.2"}, " °C"},
    {ETSlider, {"2.5", "1", "0.5", "0.2", "0.1", "0.05", "0.02", "0.01", "0.005", "0.002"}, "V"},
    {TimeSlider, {"240", "120", "60", "30", "15", "5", "2.5", "1.5", "1", "0.5"}, " min"},
};

class ChartTablesTest : public ::testing::Test {
protected:
    std::unique_ptr<ChartSamples> samples = std::make_unique<ChartSamples>();
    test::FakeChartLink link{true, true};
    ChartModel model{*samples, link};

    void SetUp() override { model.ChartingStartup(); }

    // The data range auto fit measures for a slider.
    void setRange(SliderId slider, double r)
    {
        switch (slider) {
        case CellSlider:
            model.CellVoltMin = 0.0, model.CellVoltMax = r;
            break;
        case PackSlider:
            model.PackVoltMin = 0.0, model.PackVoltMax = r;
            break;
        case ICTempSlider:
            model.ICTempMin = 0.0, model.ICTempMax = r;
            break;
        case ETSlider:
            model.ETVoltMin = 0.0, model.ETVoltMax = r;
            break;
        default:
            samples->CurrentSampleMinutes = r;
            break;
        }
    }
};

}  // namespace

// Positions 0 and 1 both select the widest span; position p the entry p - 1.
TEST_F(ChartTablesTest, EverySliderPositionSelectsItsSpanAndCaption)
{
    for (const SpanTable& t : kSpans)
        for (int p = 0; p <= 10; ++p) {
            model.setSliderPosition(t.slider, p);
            const std::string span = t.spans[static_cast<size_t>(std::max(p - 1, 0))];
            EXPECT_DOUBLE_EQ(model.zoomSpan(t.slider), std::stod(span)) << t.slider << " " << p;
            EXPECT_EQ(model.sliderCaption(t.slider), span + t.unit) << t.slider << " " << p;
        }
}

// A range equal to entry i picks position i (the next wider span), a range
// just below it position i + 1; a range past the widest entry still picks it.
TEST_F(ChartTablesTest, AutoFitPicksThePositionAtAndBelowEachSpan)
{
    for (const SpanTable& t : kSpans) {
        for (int i = 1; i <= 9; ++i) {
            const double span = std::stod(t.spans[static_cast<size_t>(i)]);
            setRange(t.slider, span);
            model.AutoZoom(t.slider);
            EXPECT_EQ(model.sliderPosition(t.slider), i) << t.slider << " at " << i;
            setRange(t.slider, span * 0.999);
            model.AutoZoom(t.slider);
            EXPECT_EQ(model.sliderPosition(t.slider), i + 1) << t.slider << " below " << i;
        }
        setRange(t.slider, std::stod(t.spans[0]) * 2);
        model.AutoZoom(t.slider);
        EXPECT_EQ(model.sliderPosition(t.slider), 1) << t.slider;
    }
}

TEST_F(ChartTablesTest, EverySeriesHasItsNameAndColour)
{
    const uint32_t colour[12] = {0x000000, 0x004080, 0x8080FF, 0x80C0FF, 0x00C0C0, 0x00C000,
                                 0x80FF80, 0xFF8080, 0xFF0000, 0xFF00FF, 0xC000C0, 0xA0A0A0};
    struct Expected {
        std::string name;
        uint32_t colour;
    };
    std::vector<Expected> cells, packs, ics, ets, faults;
    for (int d = 1; d <= 2; ++d)
        for (int c = 1; c <= 12; ++c)
            cells.push_back(
                {"Vcell " + std::to_string(d) + "-" + std::to_string(c), colour[c - 1]});
    for (int p = 1; p <= 14; ++p)
        packs.push_back({"VPack  " + std::to_string(p), colour[(p - 1) % 12]});
    ics = {{"ICTemp 1", colour[0]}, {"ICTemp 2", colour[1]}};
    for (int n = 1; n <= 4; ++n)
        ets.push_back({"ETVolt 1-" + std::to_string(n), colour[n - 1]});
    for (int n = 1; n <= 4; ++n)
        ets.push_back({"ETVolt 2-" + std::to_string(n), colour[n + 3]});
    faults = {{"Flt 960-1", colour[0]},
              {"Flt 961-1", colour[1]},
              {"Flt 960-2", colour[2]},
              {"Flt 961-2", colour[3]}};

    const std::pair<ChartId, const std::vector<Expected>*> charts[] = {{CellChart, &cells},
                                                                       {PackChart, &packs},
                                                                       {ICTempChart, &ics},
                                                                       {ETChart, &ets},
                                                                       {FaultChart, &faults}};
    for (const auto& [chart, expected] : charts) {
        const auto& series = model.series(chart);
        ASSERT_EQ(series.size(), expected->size()) << chart;
        for (size_t i = 0; i < series.size(); ++i) {
            EXPECT_EQ(series[i].name, (*expected)[i].name) << chart << " " << i;
            EXPECT_EQ(series[i].colour, (*expected)[i].colour) << series[i].name;
        }
    }
}
