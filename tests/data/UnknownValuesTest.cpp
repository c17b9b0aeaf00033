// Values no chip gave: the register image knows which values came from the
// chips, and the charts, the chart export and the configuration savers use
// only those. Also the error flags of a new chart run's first sample.

#include "app/CommandFixture.h"
#include "data/ChartDecimation.h"
#include "data/ChartExport.h"
#include "data/ChartModel.h"
#include "link/RegisterDefinitionFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace kvb::test {
namespace {

using link::ChipMessage;

// Traces the window [viewMin, viewMax) on `columns` columns from its left
// edge on, and gives its points.
template <typename Value>
void ReduceWindow(data::ChartTrace& trace, const data::TraceSamples& s, double viewMin, double viewMax,
                  int columns, Value&& value, std::vector<data::ChartPoint>& out)
{
    const double scale = columns / (viewMax - viewMin);
    trace.follow(s, {scale, viewMin * scale}, 0, columns, value);
    trace.points(0, columns, out);
}

class UnknownValues : public CommandFixture, public ::testing::Test {
protected:
    std::unique_ptr<data::ChartSamples> samples = std::make_unique<data::ChartSamples>();
    // The charts read the fixture's own link.
    struct LinkState final : data::ChartLinkState {
        const link::ChipLink& l;
        explicit LinkState(const link::ChipLink& chipLink) : l(chipLink) {}
        bool isDaisyChain() const override { return l.DaisyChainMode; }
        bool isConnected() const override { return l.EvbConnected(); }
        int typeZeroCount() const override { return 1; }
    } chartLink{link};
    data::ChartModel model{*samples, chartLink};

    UnknownValues()
    {
        // The scales of the shipped file for the charted registers.
        auto& d = link.definitions;
        d.regs[0][64].scale = 0.0048828125;
        d.regs[0][65].scale = 0.0006103515625;
        d.regs[0][80].scale = 0.0078125;
        d.regs[0][81].scale = 0.0001220703125;
        model.bindDefinitions(d);
        model.ChartingStartup();
        commandView.addChartSampleStep = [this] {
            ++chartSamples;
            model.AddNewVoltageDataToChartArray(link.image, t.clock);
        };
        host.sampleFlagsStep = [this](int16_t bits) { samples->OrComError(bits); };
    }

    // Register values the first device sends, in counts.
    void chipValues()
    {
        auto& regs = chain.device(0, 1).regs;
        regs[64] = 2048;  // 10 V
        for (int c = 65; c <= 76; ++c)
            regs[c] = 4096;  // 2.5 V
        regs[80] = 9217;    // 25 degrees
        for (int e = 81; e <= 84; ++e)
            regs[e] = 4096;  // 0.5 V
        regs[132] = 0x2001;
    }

    // The sample's export line without its time of day.
    std::string exported(int sample)
    {
        std::string line;
        data::ExportSampleLine(*samples, link.definitions, 1, sample, line);
        return line.substr(line.find(',') + 1);
    }
};

TEST_F(UnknownValues, OnlyValuesAChipGaveOrTookAreKnown)
{
    ASSERT_TRUE(connect(true, 2));
    EXPECT_FALSE(link.image.known(0, 1, 65));
    updateChart = false;
    commands.cbReadAllVolts_Click();
    for (int dev : {1, 2}) {
        EXPECT_TRUE(link.image.known(0, dev, 64)) << dev;
        EXPECT_TRUE(link.image.known(0, dev, 76)) << dev;
        EXPECT_FALSE(link.image.known(0, dev, 80)) << dev;  // temperatures not read
    }

    // An edit in a register row is no chip's value; writing it is.
    link.image.at(0, 2, 144) = 0x0155;
    EXPECT_FALSE(link.image.known(0, 2, 144));
    ChipMessage w(2, 2, 0x10, 0x1234, 0);
    ASSERT_TRUE(link.WriteSingleReg(w));
    EXPECT_TRUE(link.image.known(0, 2, 144));
    EXPECT_EQ(link.image.at(0, 2, 144), 0x1234);
    EXPECT_FALSE(link.image.known(0, 1, 144));

    // A write the chip did not take leaves the register unknown.
    chain.faults.nack = true;
    ChipMessage refused(1, 2, 0x10, 0x0777, 0);
    EXPECT_FALSE(link.WriteSingleReg(refused));
    EXPECT_FALSE(link.image.known(0, 1, 144));
    chain.faults.nack = false;

    // A new connection forgets what the chips gave; the values stay.
    ASSERT_TRUE(connect(false, 1));
    EXPECT_FALSE(link.image.known(0, 2, 144));
    EXPECT_FALSE(link.image.known(0, 1, 65));
    EXPECT_EQ(link.image.at(0, 2, 144), 0x1234);

    // On the single-device link the image keeps what the row's editors put
    // there; a write the chip answered makes it device 1's known value.
    link.image.at(0, 1, 144) = 0x0ABC;
    ChipMessage single(1, 2, 0x10, 0x0ABC, 0);
    ASSERT_TRUE(link.WriteSingleReg(single));
    EXPECT_TRUE(link.image.known(0, 1, 144));
    EXPECT_EQ(link.image.at(0, 1, 144), 0x0ABC);

    // New definitions clear values and flags.
    auto defs = std::make_unique<link::RegisterDefinitions>();
    ASSERT_TRUE(link::LoadTabdefs(t.services, link::kTabdefsFileName, *defs, link.image, nullptr)
                    .ok());
    EXPECT_FALSE(link.image.known(0, 1, 144));
    EXPECT_EQ(link.image.at(0, 1, 144), 0);
}

TEST_F(UnknownValues, ChartsAndExportLeaveOutValuesNoChipGave)
{
    ASSERT_TRUE(connect(true, 1));
    chipValues();
    commands.cbReadAllVolts_Click();  // cells and pack only
    commands.cbReadAllTemps_Click();
    commands.cbReadAllFaults_Click();
    commands.cbReadAllVolts_Click();
    ASSERT_EQ(samples->SampleCount, 2);

    // Header and columns as ever; a value no chip gave is an empty field.
    EXPECT_EQ(data::ExportHeaderLine(1).substr(0, 43), "TimeStamp,Elapsed(min),ComErrors,VCell1-1,V");
    EXPECT_EQ(exported(0),
              "0.00,,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,"
              "2.5000,10.000,,,,,,,,");
    EXPECT_EQ(exported(1),
              "0.00,,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,2.5000,"
              "2.5000,10.000,25.0,0.5000,0.5000,0.5000,0.5000,0x2001,,");

    // The IC temperature of the first sample is not plotted: no ramp from
    // a value no chip sent to the first real one.
    EXPECT_TRUE(std::isnan(model.seriesValue(data::ICTempChart, 0, 0)));
    EXPECT_DOUBLE_EQ(model.seriesValue(data::ICTempChart, 0, 1), 25.0);
    EXPECT_DOUBLE_EQ(model.ICTempMin, 25.0);
    EXPECT_DOUBLE_EQ(model.ICTempMax, 25.0);
    EXPECT_DOUBLE_EQ(model.ETVoltMin, 0.5);
    const double minutes[] = {0.0, 0.5, 1.0};
    const double icTemp[] = {NAN, 25.0, 26.0};
    std::vector<data::ChartPoint> points;
    data::ChartTrace trace;
    ReduceWindow(trace, {minutes, 3, 0, 1}, 0.0, 2.0, 400, [&](int i) { return icTemp[i]; }, points);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, 0.5);
    EXPECT_EQ(points[0].y, 25.0);
    EXPECT_EQ(points[1].y, 26.0);
    // Unknown samples on both edges of the window are no edge points.
    const double edges[] = {NAN, 25.0, NAN};
    points.clear();
    data::ChartTrace edgeTrace;
    ReduceWindow(edgeTrace, {minutes, 3, 0, 1}, 0.25, 0.75, 100, [&](int i) { return edges[i]; }, points);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].y, 25.0);

    // A column that starts with unknown samples still keeps the known ones
    // after them.
    std::vector<double> times(100), values(100);
    for (int i = 0; i < 100; ++i) {
        times[i] = i;
        values[i] = i < 50 ? NAN : 25.0 + i;
    }
    points.clear();
    data::ChartTrace cells;
    ReduceWindow(cells, {times.data(), 100, 0, 1}, 0.0, 100.0, 10, [&](int i) { return values[i]; }, points);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().x, 50.0);
    EXPECT_EQ(points.front().y, 75.0);
    for (const auto& p : points)
        EXPECT_FALSE(std::isnan(p.y));
}

TEST_F(UnknownValues, ANewRunsFirstSampleCarriesTheFlagsGatheredForIt)
{
    ASSERT_TRUE(connect(true, 1));
    chain.faults.corruptCrc = 1;
    commands.cbReadAllVolts_Click();
    commands.cbReadAllVolts_Click();
    ASSERT_EQ(samples->comErrors(0), 0x02);
    EXPECT_EQ(data::ComErrorWords(samples->comErrors(1)), "");

    // "Clear": the next sample starts a new run. A NACK before it belongs
    // to that first sample, and nothing of the old run's first sample does.
    model.Initialize(true);
    chain.faults.nack = true;
    ChipMessage read(1, 2, 0x10, 0, 0);
    link.ReadSingleReg(read);
    chain.faults.nack = false;
    commands.cbReadAllVolts_Click();
    ASSERT_EQ(samples->SampleCount, 1);
    EXPECT_EQ(samples->comErrors(0), 0x08);
    EXPECT_EQ(exported(0).substr(0, 19), "0.00,NackResponse_,");
    // The next sample starts clean again.
    commands.cbReadAllVolts_Click();
    EXPECT_EQ(samples->comErrors(1), 0);
}

}  // namespace
}  // namespace kvb::test
