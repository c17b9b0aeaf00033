// Encoding the read-all requests of a 14-device chain and walking their
// answers (one 4-byte frame and twelve 3-byte frames per device) with the
// program's answer parser.

#include "link/AnswerFrames.h"
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
    // The program's parser must walk each answer as one block of 13 frames,
    // or the time measured is not that of a read-all.
    for (int dev = 1; dev <= 14; ++dev) {
        const auto frames = kvb::link::parseDaisyAnswer(
            answers[dev - 1], 0, ChipMessage(static_cast<uint8_t>(dev), 1, 0x0F), true);
        if (frames.size() != 13 || !frames.back().crcOk) {
            state.SkipWithError("the answer does not parse as a read-all block");
            return;
        }
    }
    for (auto _ : state) {
        long sum = 0;
        for (int dev = 1; dev <= 14; ++dev) {
            ChipMessage request(static_cast<uint8_t>(dev), 1, 0x0F);
            kvb::link::EncodeDaisyChainMessage(request);
            benchmark::DoNotOptimize(request.FrameBytes.data());
            for (const auto& frame :
                 kvb::link::parseDaisyAnswer(answers[dev - 1], 0, request, true))
                if (frame.crcOk)
                    sum += frame.dat;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(ReadAllAnswerOf14Devices);

}  // namespace

BENCHMARK_MAIN();
