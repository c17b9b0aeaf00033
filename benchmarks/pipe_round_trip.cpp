// One chip frame through the pipe and back, against the simulated board.

#include "app/BoardPrompter.h"
#include "board/ChipPipe.h"
#include "panel/PipeView.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

static void PipeRoundTrip(benchmark::State& state)
{
    kvb::test::TestServices t;
    kvb::sim::SimHidBackend usb;
    usb.plug(t.clock);
    kvb::BoardPrompter boardUser(t.services);
    kvb::board::HidTransport transport(usb, t.services, boardUser);
    transport.InitUsbHidConnection();
    kvb::panel::ByteGrid grid;
    struct QuietHost final : kvb::board::PipeHost {
        void logPipeLine(const std::string&) override {}
        void stopPolling() override {}
    } host;
    kvb::board::ChipPipe pipe(transport, host);
    kvb::panel::PipeView view(pipe, grid);
    const std::vector<uint8_t> frame{0x00, 0x22, 0x10, 0x0C};
    for (auto _ : state) {
        auto result = pipe.transfer(pipe.request(frame));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(PipeRoundTrip);

BENCHMARK_MAIN();
