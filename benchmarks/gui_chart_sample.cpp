// One chart sample with full buffers on a 14-device chain: the sample is
// taken from the register image and plotted, then the chart window does the
// refresh its timer does when the charts changed (every visible series
// reduced to the plot's pixel columns) and the event loop runs until the
// charts have been laid out and painted again. The "paints" counter is the
// number of chart paints per iteration, so a benchmark that stopped painting
// would show it.

#include "data/ui/FrmCharting.h"
#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QEvent>
#include <QtCharts/QChartView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Counts the paint events of the chart views.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct FullCharts {
    kvb::test::TestServices t;
    kvb::sim::SimHidBackend usb;
    std::unique_ptr<kvb::AppContext> context = std::make_unique<kvb::AppContext>(t.services, usb);
    std::unique_ptr<kvb::link::RegisterImage> image = std::make_unique<kvb::link::RegisterImage>();
    std::unique_ptr<kvb::ui::FrmCharting> window;
    int n = 0;

    bool mapLoaded = false;

    FullCharts()
    {
        // The program's register map gives the samples their real scales,
        // so the lines land inside the charts' windows as they would live.
        auto& defs = context->link.definitions;
        for (const QString& folder : {QString("."), QCoreApplication::applicationDirPath() + "/.."})
            if (!mapLoaded)
                mapLoaded = kvb::link::LoadRegisterDefinitionFile(
                                (folder + "/" + kvb::link::kTabdefsFileName).toStdString(), defs)
                                .ok();
        auto& charts = context->charts;
        charts.bindDefinitions(defs);
        charts.isDaisyChain = [] { return true; };
        charts.isConnected = [] { return true; };
        charts.ChartingStartup();
        window = std::make_unique<kvb::ui::FrmCharting>(*context);
        window->show();
        while (context->samples.SampleCount < kvb::data::kLastSample)
            next();
        for (auto* view : window->findChildren<QChartView*>())
            view->viewport()->installEventFilter(&counter);
        redraw();  // the first drawing of the full buffers is not what is measured
    }
    void redraw()
    {
        window->refreshNow();
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    PaintCounter counter;
    void next()
    {
        ++n;
        for (int d = 1; d <= 14; ++d) {
            for (int c = 0; c < 12; ++c)
                image->at(0, d, 65 + c) = static_cast<int16_t>(5000 + (n * 7 + c * 13 + d) % 900);
            image->at(0, d, 64) = static_cast<int16_t>(8000 + n % 300);
            image->at(0, d, 80) = static_cast<int16_t>(9200 + n % 50);
            for (int e = 0; e < 4; ++e)
                image->at(0, d, 81 + e) = static_cast<int16_t>(4000 + (n + e) % 200);
        }
        t.clock.current += std::chrono::milliseconds(50);
        context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
    }
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

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
