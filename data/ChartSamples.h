#pragma once
// The chart sample buffers: one fixed-size buffer per measured register of
// every device slot, the elapsed minutes of each sample and the link-error
// flags gathered for it. When the buffers are full the oldest 600 samples
// are dropped and the rest moved down.

#include "core/Services.h"
#include "link/RegisterModel.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace kvb::data {

inline constexpr int kChartSamples = 32761;  // sample numbers 0..32760
inline constexpr int kLastSample = kChartSamples - 1;
inline constexpr int kSampleShift = 600;
inline constexpr int kChartDevices = 16;
inline constexpr int kCells = 12;
inline constexpr int kETInputs = 4;

// A sample of a register whose value no chip gave (see RegisterImage): no
// chip sends it (their values are 14 bits wide), and the charts and the
// export leave it out.
inline constexpr int16_t kUnknownSample = INT16_MIN;

class ChartSamples {
public:
    ChartSamples();
    ChartSamples(const ChartSamples&) = delete;
    ChartSamples& operator=(const ChartSamples&) = delete;

    // The sample number at which the next sample is stored (the number of
    // samples held); always within 0..32760.
    int SampleCount = 0;
    bool ChartStarted = false;
    std::chrono::milliseconds ChartStartTick{0};
    std::chrono::system_clock::time_point ChartStartDate{};
    double CurrentSampleMinutes = 0.0;

    // ORs a link-error bit into the flags of the sample being gathered.
    void OrComError(int16_t flag) { comErrors_[SampleCount] |= flag; }

    // Steps of taking one sample. `takeSample` stores the registers of every
    // device slot at SampleCount (kUnknownSample where the image holds no
    // known value) and its elapsed time; the first sample of a run takes the
    // error flags gathered since the last sample; when that was the last
    // free entry it drops the oldest 600 samples, so that the new sample
    // sits at SampleCount afterwards. Returns true when the sample started a
    // new run (its time is 0 and ChartStartDate was set). `finishSample`
    // moves SampleCount on and clears the flags of the next entry.
    bool takeSample(const link::RegisterImage& image, Clock& clock);
    void finishSample();
    void BufferFullHandler();

    // A new run starts at the next sample.
    void endRun() { ChartStarted = false; }

    // Identify the samples held, for views that keep reductions of them:
    // the run grows by one at each new run's first sample, and the dropped
    // count is the number of samples of this run dropped from the front, so
    // that sample i is the run's sample DroppedSamples() + i.
    uint64_t RunNumber() const { return runNumber_; }
    int64_t DroppedSamples() const { return dropped_; }

    int16_t cell(int device, int cell, int sample) const { return cells_[cellSeries(device, cell) + sample]; }
    int16_t pack(int device, int sample) const { return pack_[series(device) + sample]; }
    int16_t icTemp(int device, int sample) const { return icTemp_[series(device) + sample]; }
    int16_t et(int device, int input, int sample) const { return et_[etSeries(device, input) + sample]; }
    int16_t fault1(int device, int sample) const { return fault1_[series(device) + sample]; }
    int16_t fault2(int device, int sample) const { return fault2_[series(device) + sample]; }
    double minutes(int sample) const { return minutes_[sample]; }
    int16_t comErrors(int sample) const { return comErrors_[sample]; }

    // Whole series over samples 0..32760, for drawing.
    const int16_t* cellSeriesData(int device, int cell) const { return &cells_[cellSeries(device, cell)]; }
    const int16_t* packSeriesData(int device) const { return &pack_[series(device)]; }
    const int16_t* icTempSeriesData(int device) const { return &icTemp_[series(device)]; }
    const int16_t* etSeriesData(int device, int input) const { return &et_[etSeries(device, input)]; }
    const int16_t* fault1SeriesData(int device) const { return &fault1_[series(device)]; }
    const int16_t* fault2SeriesData(int device) const { return &fault2_[series(device)]; }
    const double* minutesData() const { return minutes_.data(); }

private:
    static size_t series(int device) { return static_cast<size_t>(device) * kChartSamples; }
    static size_t cellSeries(int device, int cell) { return series(device * kCells + cell); }
    static size_t etSeries(int device, int input) { return series(device * kETInputs + input); }

    std::vector<int16_t> cells_, pack_, icTemp_, et_, fault1_, fault2_;
    std::vector<double> minutes_;
    std::vector<int16_t> comErrors_;
    uint64_t runNumber_ = 0;
    int64_t dropped_ = 0;
};

}  // namespace kvb::data
