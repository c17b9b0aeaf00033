#pragma once
// Writes every chart sample held to a CSV export file: a header line, then
// one line per sample with its time of day, elapsed minutes, link-error
// words and, per device, twelve cell voltages, the pack voltage, the IC
// temperature, four external-input voltages and the fault status of both
// device types. Every field is followed by a comma; numbers always use "."
// as the decimal point.

#include "core/Services.h"
#include "data/ChartSamples.h"
#include "data/DataLogging.h"
#include "link/RegisterModel.h"

#include <string>

namespace kvb::data {

// The ComErrors words of a flag word, in bit order ("" when none is set).
std::string ComErrorWords(int16_t flags);
// A number with exactly `decimals` places and "." as the decimal point.
std::string FixedText(double value, int decimals);

std::string ExportHeaderLine(int devices);
// Builds the line of sample `sample` into `line` (reused to avoid allocations).
void ExportSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs,
                      int devices, int sample, std::string& line);

// The export: asks for the file, writes the header and samples
// 0..SampleCount-1 of devices 1..N (N = the type-0 device count on a daisy
// chain, 1 otherwise), closes the file. Stops at the first line that cannot
// be written (the writer has reported it). Returns true when every line was
// written.
bool ExportCSV(DataLogging& files, Prompter& prompter, const ChartSamples& samples,
               const link::RegisterDefinitions& defs, bool daisyChain, int deviceCount1);

}  // namespace kvb::data
