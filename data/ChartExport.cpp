#include "data/ChartExport.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "data/Conversions.h"
#include "link/LinkText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>

namespace kvb::data {

std::string ComErrorWords(int16_t flags)
{
    static const char* words[] = {"NoACK_", "CRCErr_", "BadResponse_", "NackResponse_", "PipeComErr_"};
    std::string s;
    for (int b = 0; b < 5; ++b)
        if (flags & (1 << b))
            s += words[b];
    return s;
}

namespace {

void appendFixed(std::string& out, double value, int decimals)
{
    char buf[48];
    const double scale = std::pow(10.0, decimals);
    // A value that rounds to zero is written without a sign.
    if (std::round(std::fabs(value) * scale) == 0.0)
        value = 0.0;
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ptr);
}

}  // namespace

std::string FixedText(double value, int decimals)
{
    std::string s;
    appendFixed(s, value, decimals);
    return s;
}

std::string ExportHeaderLine(int devices)
{
    std::string h = "TimeStamp,Elapsed(min),ComErrors,";
    for (int d = 1; d <= devices; ++d) {
        const std::string n = std::to_string(d);
        for (int c = 1; c <= kCells; ++c)
            h += "VCell" + n + "-" + std::to_string(c) + ",";
        h += "VBat" + n + ",ICTemp" + n + ",";
        for (int i = 1; i <= kETInputs; ++i)
            h += "ETV" + n + "-" + std::to_string(i) + ",";
        h += "FAULTSTAT960-" + n + ",FAULTSTAT961-" + n + ",";
    }
    return h;
}

void ExportSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs,
                      int devices, int i, std::string& line)
{
    line.clear();
    const double minutes = samples.minutes(i);
    const auto stamp = samples.ChartStartDate +
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(
                           std::chrono::duration<double>(minutes * 60.0));
    std::time_t t = std::chrono::system_clock::to_time_t(stamp);
    std::tm local{};
    localtime_r(&t, &local);
    char time[16];
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    line += time;
    line += ',';
    appendFixed(line, minutes, 2);
    line += ',';
    line += ComErrorWords(samples.comErrors(i));
    line += ',';
    for (int d = 1; d <= devices; ++d) {
        for (int c = 0; c < kCells; ++c) {
            appendFixed(line, RegToCellVolts(samples.cell(d, c, i), defs), 4);
            line += ',';
        }
        appendFixed(line, RegToPackVolts(samples.pack(d, i), defs), 3);
        line += ',';
        appendFixed(line, RegToICTempDegC(samples.icTemp(d, i), defs), 1);
        line += ',';
        for (int n = 0; n < kETInputs; ++n) {
            appendFixed(line, RegToETVolts(samples.et(d, n, i), defs), 4);
            line += ',';
        }
        line += link::HexPrefixed(static_cast<uint16_t>(samples.fault1(d, i)), 4);
        line += ',';
        line += link::HexPrefixed(static_cast<uint16_t>(samples.fault2(d, i)), 4);
        line += ',';
    }
}

bool ExportCSV(DataLogging& files, Prompter& prompter, const ChartSamples& samples,
               const link::RegisterDefinitions& defs, bool daisyChain, int deviceCount1)
{
    if (files.OpenFileForExportCsv().empty()) {
        prompter.tell("Export to CSV cancelled, logfile not created.", kProgramTitle);
        return false;
    }
    // After a failure the lines written so far stay in the file, which is closed.
    const bool ok = RunHandler(prompter, "modExportChartData.ExportCSV", false, [&] {
        // Device slots run 1..15 in the buffers.
        const int devices = daisyChain ? std::clamp(deviceCount1, 0, kChartDevices - 1) : 1;
        bool written = files.AddLineToExportCsv(ExportHeaderLine(devices));
        std::string line;
        for (int i = 0; written && i < samples.SampleCount; ++i) {
            ExportSampleLine(samples, defs, devices, i, line);
            written = files.AddLineToExportCsv(line);
        }
        return written;
    });
    return files.CloseFileForExportCsv() && ok;
}

}  // namespace kvb::data
