// One full poll tick on a 14-device daisy chain: "Scan All" and the four
// read-alls (voltages, temperatures, faults, setups), each sent to every
// device by the chip command handlers, every answer parsed into the
// register image. Against the simulated board and chain.

#include "app/TickFixture.h"

#include <benchmark/benchmark.h>

namespace {

using kvb::PollAction;

void PollTick14Devices(benchmark::State& state)
{
    kvb::test::TickFixture b;
    if (!b.connect(true, 14) || b.link.DeviceCount1 != 14) {
        state.SkipWithError("the simulated chain did not connect");
        return;
    }
    kvb::Poller& poller = b.poller;
    poller.hooks.clearLogs = [&] {
        b.log.clear();
        b.hexLog.clear();
    };
    for (PollAction a : {PollAction::ScanAll, PollAction::ReadVolts, PollAction::ReadTemps,
                         PollAction::ReadFaults, PollAction::ReadSetups})
        poller.options[a] = true;

    const size_t before = b.chain.received.size();
    poller.Timer2_Timer();
    state.counters["frames"] = static_cast<double>(b.chain.received.size() - before);
    for (auto _ : state) {
        b.chain.received.clear();
        poller.Timer2_Timer();
    }
    // The answers must have reached the image, or the timing means nothing.
    if (b.link.image.at(0, 14, 65) == 0 || b.link.image.at(0, 14, 80) == 0 ||
        b.link.log.comErrors.lineCount() != 0 || !poller.timerRunning())
        state.SkipWithError("the tick did not fill the register image");
}
BENCHMARK(PollTick14Devices)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
