// The chip-link work of one full poll tick on a 14-device daisy chain, as
// the scan and read-all handlers do it: "Scan All" to each device in turn,
// then the four read-alls (voltages, temperatures, faults, setups) to each
// device, every answer parsed into the register image. Against the
// simulated board and chain.

#include "link/LinkBench.h"
#include "link/LinkText.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using kvb::link::ChipMessage;

// One command to every device of the chain, one exchange each.
void QuickCommand(kvb::test::LinkBench& b, uint8_t category, uint8_t address)
{
    kvb::link::PollingPause pause(b.link);
    for (int dev = 1; dev <= b.link.DeviceCount1; ++dev) {
        ChipMessage m(static_cast<uint8_t>(dev), category, address);
        b.link.AddToEvbLog("cmd," + b.link.PartName1 + ",dev" + kvb::link::HexPrefixed(dev, 2) +
                           ",cat" + kvb::link::HexPrefixed(category, 2) + ",adr" +
                           kvb::link::HexPrefixed(address, 2) + ",dat0x0000");
        if (b.link.SendReceivePipe(m))
            b.link.ParseDaisyChainResponse(m, "rcv,");
    }
}

void PollTick14Devices(benchmark::State& state)
{
    kvb::test::LinkBench b;
    if (!b.connect(true, 14) || b.link.DeviceCount1 != 14) {
        state.SkipWithError("the simulated chain did not connect");
        return;
    }
    b.pollingTicked = true;
    for (auto _ : state) {
        b.log.clear();
        b.hexLog.clear();
        b.pipe.CommandInProgress = true;
        QuickCommand(b, 3, 0x05);  // Scan All
        b.pipe.CommandInProgress = false;
        QuickCommand(b, 1, 0x0F);  // read-all voltages
        QuickCommand(b, 1, 0x1F);  // read-all temperatures
        QuickCommand(b, 2, 0x0F);  // read-all faults
        QuickCommand(b, 2, 0x1F);  // read-all setups
        benchmark::DoNotOptimize(b.link.image.at(0, 14, 64));
    }
    // The answers must have reached the image, or the timing means nothing.
    if (b.link.image.at(0, 14, 65) == 0 || b.link.image.at(0, 14, 80) == 0 ||
        b.link.comErrors.lineCount() != 0)
        state.SkipWithError("the read-alls did not fill the register image");
    state.counters["exchanges"] = 5 * 14;
}
BENCHMARK(PollTick14Devices)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
