// The chart CSV export of full buffers (32761 samples) for a chain of 14
// devices.

#include "data/ChartExport.h"
#include "support/TestServices.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

static void ChartExportFullBuffers(benchmark::State& state)
{
    kvb::test::TestServices t;
    kvb::data::DocumentsFolder documents;
    kvb::data::DataLogging files(t.services, documents);
    auto samples = std::make_unique<kvb::data::ChartSamples>();
    auto image = std::make_unique<kvb::link::RegisterImage>();
    auto defs = std::make_unique<kvb::link::RegisterDefinitions>();
    // Every exported register has a value from a chip (else its field is empty).
    for (int d = 1; d <= 14; ++d) {
        for (int reg : {64, 80, 81, 82, 83, 84, 132})
            image->store(0, d, reg, 0);
        image->store(1, d, 132, 0);
    }
    for (int n = 0; n < kvb::data::kChartSamples; ++n) {
        for (int d = 1; d <= 14; ++d)
            for (int c = 0; c < 12; ++c)
                image->store(0, d, 65 + c, static_cast<int16_t>((n + c + d) % 16384));
        samples->takeSample(*image, t.clock);
        if (samples->SampleCount < kvb::data::kLastSample)
            samples->finishSample();
        t.clock.current += std::chrono::milliseconds(50);
    }
    samples->SampleCount = kvb::data::kChartSamples;  // every entry written out
    const std::string path = "/tmp/kvb_chart_export_" + std::to_string(::getpid()) + ".csv";
    for (auto _ : state) {
        t.files.saveAnswers = {path};
        bool ok = kvb::data::ExportCSV(files, t.prompter, *samples, *defs, true, 14);
        benchmark::DoNotOptimize(ok);
    }
    std::remove(path.c_str());
}
BENCHMARK(ChartExportFullBuffers)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
