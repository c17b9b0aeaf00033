#include "data/ChartExport.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "data/Conversions.h"
#include "link/LinkText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

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
    static constexpr double kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    char buf[48];
    const double scale = decimals >= 0 && decimals < 7 ? kScales[decimals] : std::pow(10.0, decimals);
    // A value that rounds to zero is written without a sign.
    if (std::round(std::fabs(value) * scale) == 0.0)
        value = 0.0;
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ptr);
}

// The text of a sample's field depends only on its raw value (the scales
// stay put during an export), and a buffer holds few distinct values of
// each quantity: each is formatted once and its text copied after that.
class FieldTexts {
public:
    template <typename Format>
    void append(std::string& out, int16_t raw, Format&& format)
    {
        if (at_.empty())
            at_.assign(65536, kUnset);
        uint32_t& at = at_[static_cast<uint16_t>(raw)];
        if (at == kUnset) {
            const size_t begin = text_.size();
            format(text_, raw);
            at = static_cast<uint32_t>(begin << 8 | (text_.size() - begin));
        }
        out.append(text_, at >> 8, at & 0xFF);
    }

private:
    static constexpr uint32_t kUnset = ~uint32_t{0};
    std::vector<uint32_t> at_;  // offset << 8 | length in text_
    std::string text_;
};

}  // namespace

struct ExportTexts {
    FieldTexts cells, packs, icTemps, ets, faults;
    std::time_t second = -1;  // the time of day last written, and its text
    char time[16] = {};
};

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

namespace {

void buildSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs, int devices,
                     int i, std::string& line, ExportTexts& texts)
{
    line.clear();
    const double minutes = samples.minutes(i);
    const auto stamp = samples.ChartStartDate +
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(
                           std::chrono::duration<double>(minutes * 60.0));
    const std::time_t t = std::chrono::system_clock::to_time_t(stamp);
    if (t != texts.second) {
        std::tm local{};
        localtime_r(&t, &local);
        std::strftime(texts.time, sizeof texts.time, "%H:%M:%S", &local);
        texts.second = t;
    }
    line += texts.time;
    line += ',';
    appendFixed(line, minutes, 2);
    line += ',';
    line += ComErrorWords(samples.comErrors(i));
    line += ',';
    auto fixed = [&defs](double (*convert)(int16_t, const link::RegisterDefinitions&), int decimals) {
        return [&defs, convert, decimals](std::string& out, int16_t raw) {
            if (raw != kUnknownSample)
                appendFixed(out, convert(raw, defs), decimals);
            out += ',';
        };
    };
    const auto cell = fixed(RegToCellVolts, 4), pack = fixed(RegToPackVolts, 3),
               icTemp = fixed(RegToICTempDegC, 1), et = fixed(RegToETVolts, 4);
    const auto fault = [](std::string& out, int16_t raw) {
        if (raw != kUnknownSample)
            out += link::HexPrefixed(static_cast<uint16_t>(raw), 4);
        out += ',';
    };
    // Each field's text carries its comma; a value no chip gave leaves the
    // field empty.
    for (int d = 1; d <= devices; ++d) {
        for (int c = 0; c < kCells; ++c)
            texts.cells.append(line, samples.cell(d, c, i), cell);
        texts.packs.append(line, samples.pack(d, i), pack);
        texts.icTemps.append(line, samples.icTemp(d, i), icTemp);
        for (int n = 0; n < kETInputs; ++n)
            texts.ets.append(line, samples.et(d, n, i), et);
        texts.faults.append(line, samples.fault1(d, i), fault);
        texts.faults.append(line, samples.fault2(d, i), fault);
    }
}

}  // namespace

void ExportSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs,
                      int devices, int i, std::string& line)
{
    ExportTexts texts;
    buildSampleLine(samples, defs, devices, i, line, texts);
}

bool ExportCSV(DataLogging& files, Prompter& prompter, const ChartSamples& samples,
               const link::RegisterDefinitions& defs, bool daisyChain, int deviceCount1)
{
    if (files.OpenFileForExportCsv().empty()) {
        // A file that could not be opened has been reported; only a
        // cancelled dialog is told as such.
        if (!files.ExportCsvOpenFailed())
            prompter.tell("Export to CSV cancelled, logfile not created.", kProgramTitle);
        return false;
    }
    // After a failure the lines written so far stay in the file, which is closed.
    const bool ok = RunHandler(prompter, "modExportChartData.ExportCSV", false, [&] {
        // Device slots run 1..15 in the buffers.
        const int devices = daisyChain ? std::clamp(deviceCount1, 0, kChartDevices - 1) : 1;
        bool written = files.AddLineToExportCsv(ExportHeaderLine(devices));
        std::string line;
        auto texts = std::make_unique<ExportTexts>();
        for (int i = 0; written && i < samples.SampleCount; ++i) {
            buildSampleLine(samples, defs, devices, i, line, *texts);
            written = files.AddLineToExportCsv(line);
        }
        return written;
    });
    return files.CloseFileForExportCsv() && ok;
}

}  // namespace kvb::data
