#include "data/ChartSamples.h"

#include "data/Conversions.h"

#include <algorithm>

namespace kvb::data {

namespace {

// Moves samples 600..32760 of every series held in `buffer` down to 0..32160.
template <typename T>
void shiftSeries(std::vector<T>& buffer)
{
    for (size_t start = 0; start < buffer.size(); start += kChartSamples)
        std::copy(buffer.begin() + start + kSampleShift, buffer.begin() + start + kChartSamples,
                  buffer.begin() + start);
}

}  // namespace

ChartSamples::ChartSamples()
    : cells_(size_t{kChartDevices} * kCells * kChartSamples),
      pack_(size_t{kChartDevices} * kChartSamples),
      icTemp_(size_t{kChartDevices} * kChartSamples),
      et_(size_t{kChartDevices} * kETInputs * kChartSamples),
      fault1_(size_t{kChartDevices} * kChartSamples),
      fault2_(size_t{kChartDevices} * kChartSamples),
      minutes_(kChartSamples),
      comErrors_(kChartSamples)
{
}

bool ChartSamples::takeSample(const link::RegisterImage& image, Clock& clock)
{
    if (!ChartStarted) {
        // The loggers gathered into the entry after the last sample; those
        // flags belong to this sample, not what entry 0 held before.
        const int16_t gathered = comErrors_[SampleCount];
        SampleCount = 0;
        comErrors_[0] = gathered;
    }
    const int s = SampleCount;
    auto value = [&image](int type, int d, int reg) {
        return image.known(type, d, reg) ? image.at(type, d, reg) : kUnknownSample;
    };
    for (int d = 0; d < kChartDevices; ++d)
        for (int c = 0; c < kCells; ++c)
            cells_[cellSeries(d, c) + s] = value(0, d, kFirstCellRegister + c);
    for (int d = 0; d < kChartDevices; ++d)
        pack_[series(d) + s] = value(0, d, kPackRegister);
    for (int d = 0; d < kChartDevices; ++d)
        icTemp_[series(d) + s] = value(0, d, kICTempRegister);
    for (int d = 0; d < kChartDevices; ++d)
        for (int n = 0; n < kETInputs; ++n)
            et_[etSeries(d, n) + s] = value(0, d, kFirstETRegister + n);
    for (int d = 0; d < kChartDevices; ++d) {
        fault1_[series(d) + s] = value(0, d, kFaultStatusRegister);
        fault2_[series(d) + s] = value(1, d, kFaultStatusRegister);
    }

    bool started = false;
    if (ChartStarted) {
        // Milliseconds since the first sample; 64-bit, so a long run never
        // overflows the difference.
        CurrentSampleMinutes = static_cast<double>((clock.now() - ChartStartTick).count()) / 60000.0;
    } else {
        ChartStartTick = clock.now();
        ChartStartDate = clock.wallNow();
        CurrentSampleMinutes = 0.0;
        ChartStarted = true;
        started = true;
        ++runNumber_;
        dropped_ = 0;
    }
    minutes_[s] = CurrentSampleMinutes;

    if (SampleCount == kLastSample)
        BufferFullHandler();
    return started;
}

void ChartSamples::finishSample()
{
    ++SampleCount;
    comErrors_[SampleCount] = 0;
}

void ChartSamples::BufferFullHandler()
{
    if (SampleCount < kSampleShift)
        return;
    shiftSeries(cells_);
    shiftSeries(pack_);
    shiftSeries(icTemp_);
    shiftSeries(et_);
    shiftSeries(fault1_);
    shiftSeries(fault2_);
    shiftSeries(minutes_);
    shiftSeries(comErrors_);
    SampleCount -= kSampleShift;
    dropped_ += kSampleShift;
}

}  // namespace kvb::data
