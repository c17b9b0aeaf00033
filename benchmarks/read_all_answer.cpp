// Encoding the read-all requests of a 14-device chain and decoding their
// answers (one 4-byte frame and twelve 3-byte frames per device).

#include "link/ChipFrame.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using kvb::link::ChipMessage;

// The answer one device gives to read-all voltages: the last address first.
std::vector<uint8_t> deviceAnswer(int dev)
{
    std::vector<uint8_t> bytes;
    for (int adr = 12; adr >= 0; --adr) {
        const int dat = (dev * 97 + adr * 31) & 0x3FFF;
        std::vector<uint8_t> frame;
        if (adr == 12)
            frame.push_back(static_cast<uint8_t>(dev << 4 | 1));
        frame.push_back(static_cast<uint8_t>(adr << 2 | (dat >> 12 & 3)));
        frame.push_back(static_cast<uint8_t>(dat >> 4 & 0xFF));
        frame.push_back(static_cast<uint8_t>((dat & 0x0F) << 4));
        kvb::link::InsertCrc4(frame);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

void ReadAllAnswerOf14Devices(benchmark::State& state)
{
    std::vector<std::vector<uint8_t>> answers;
    for (int dev = 1; dev <= 14; ++dev)
        answers.push_back(deviceAnswer(dev));
    for (auto _ : state) {
        long sum = 0;
        for (int dev = 1; dev <= 14; ++dev) {
            ChipMessage request(static_cast<uint8_t>(dev), 1, 0x0F);
            kvb::link::EncodeDaisyChainMessage(request);
            benchmark::DoNotOptimize(request.FrameBytes.data());
            const auto& bytes = answers[dev - 1];
            uint8_t d = 0, cat = 0, adr = 0;
            int16_t dat = 0;
            size_t p = 0, size = 4;
            while (p + size <= bytes.size()) {
                if (kvb::link::DecodeDaisyChainResponse(
                        d, cat, adr, dat, std::span<const uint8_t>(bytes).subspan(p, size)))
                    sum += dat;
                p += size;
                size = 3;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(ReadAllAnswerOf14Devices);

}  // namespace

BENCHMARK_MAIN();
