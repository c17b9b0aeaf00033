#include "data/ChartExport.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "data/Conversions.h"
#include "link/LinkText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace kvb::data {

namespace {

void appendComErrorWords(std::string& out, int16_t flags)
{
    static const char* words[] = {"NoACK_", "CRCErr_", "BadResponse_", "NackResponse_", "PipeComErr_"};
    for (int b = 0; b < 5; ++b)
        if (flags & (1 << b))
            out += words[b];
}

}  // namespace

std::string ComErrorWords(int16_t flags)
{
    std::string s;
    appendComErrorWords(s, flags);
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
// each quantity: each is formatted once, with its comma, and its text copied
// after that.
class FieldTexts {
public:
    struct Text {
        uint32_t offset = kUnset;  // in the table's text
        uint32_t length = 0;
    };
    // Every text is followed by this many readable bytes, so that it can be
    // copied in whole blocks of that size.
    static constexpr size_t kPad = 16;

    FieldTexts() : at_(65536), text_(kPad) {}
    // The text of `raw`; its offset is kUnset while it has not been formatted.
    const Text& find(int16_t raw) const { return at_[static_cast<uint16_t>(raw)]; }
    template <typename Format>
    const Text& add(int16_t raw, Format&& format)
    {
        scratch_.clear();
        format(scratch_, raw);
        Text& t = at_[static_cast<uint16_t>(raw)];
        text_.resize(text_.size() - kPad);
        t.offset = static_cast<uint32_t>(text_.size());
        t.length = static_cast<uint32_t>(scratch_.size());
        text_.insert(text_.end(), scratch_.begin(), scratch_.end());
        text_.resize(text_.size() + kPad);
        return t;
    }
    const char* data(const Text& t) const { return text_.data() + t.offset; }
    static constexpr uint32_t kUnset = ~uint32_t{0};

private:
    std::vector<Text> at_;
    std::vector<char> text_;
    std::string scratch_;
};

// The text of a block of lines, each followed by CR LF. Room is made for a
// line before it is written, so that field texts are copied without a
// check for each.
struct BlockText {
    std::string bytes;
    size_t used = 0;
    void makeRoom(size_t n)
    {
        if (used + n > bytes.size())
            bytes.resize(std::max(bytes.size() * 2, used + n));
    }
    char* end() { return bytes.data() + used; }
};

}  // namespace

struct ExportTexts {
    FieldTexts cells, packs, icTemps, ets, faults;
    size_t longest = 0;  // the longest field text formatted so far
    std::string head;    // the line's time stamp, elapsed minutes and error words
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

// The fields of one device in a line: 12 cells, pack, IC temperature, 4
// external inputs, the fault status of both types.
constexpr int kDeviceFields = kCells + 2 + kETInputs + 2;
// Samples read, and lines written, at once: a block of every exported
// series stays in the processor's cache while its lines are built.
constexpr int kBlockSamples = 64;

// The raw values of a block of samples, one row of fields per sample in the
// order of a line. Each buffer series is read in one run of consecutive
// samples, not one value per series for every line: the series lie tens of
// kilobytes apart.
class SampleBlock {
public:
    explicit SampleBlock(int devices)
        : fields_(devices * kDeviceFields), values_(static_cast<size_t>(fields_) * kBlockSamples)
    {
    }
    // Reads samples first .. first + count - 1 (count at most kBlockSamples)
    // of devices 1..N.
    void read(const ChartSamples& samples, int first, int count)
    {
        const int devices = fields_ / kDeviceFields;
        for (int d = 1; d <= devices; ++d) {
            int f = (d - 1) * kDeviceFields;
            for (int c = 0; c < kCells; ++c)
                column(f++, samples.cellSeriesData(d, c) + first, count);
            column(f++, samples.packSeriesData(d) + first, count);
            column(f++, samples.icTempSeriesData(d) + first, count);
            for (int n = 0; n < kETInputs; ++n)
                column(f++, samples.etSeriesData(d, n) + first, count);
            column(f++, samples.fault1SeriesData(d) + first, count);
            column(f++, samples.fault2SeriesData(d) + first, count);
        }
    }
    // The fields of the block's sample k.
    const int16_t* row(int k) const { return values_.data() + static_cast<size_t>(k) * fields_; }

private:
    void column(int field, const int16_t* from, int count)
    {
        int16_t* to = values_.data() + field;
        for (int k = 0; k < count; ++k)
            to[static_cast<size_t>(k) * fields_] = from[k];
    }
    int fields_;
    std::vector<int16_t> values_;
};

// Adds the line of sample i, built from its row of raw fields, and its
// CR LF to `out`.
void buildSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs, int devices,
                     int i, const int16_t* row, BlockText& out, ExportTexts& texts)
{
    std::string& head = texts.head;
    head.clear();
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
    head += texts.time;
    head += ',';
    appendFixed(head, minutes, 2);
    head += ',';
    appendComErrorWords(head, samples.comErrors(i));
    head += ',';

    auto fixed = [&defs](double (*convert)(int16_t, const link::RegisterDefinitions&), int decimals) {
        return [&defs, convert, decimals](std::string& to, int16_t raw) {
            if (raw != kUnknownSample)
                appendFixed(to, convert(raw, defs), decimals);
            to += ',';
        };
    };
    const auto cell = fixed(RegToCellVolts, 4), pack = fixed(RegToPackVolts, 3),
               icTemp = fixed(RegToICTempDegC, 1), et = fixed(RegToETVolts, 4);
    const auto fault = [](std::string& to, int16_t raw) {
        if (raw != kUnknownSample)
            to += link::HexPrefixed(static_cast<uint16_t>(raw), 4);
        to += ',';
    };

    // Room for the head, every field at the longest text so far plus a
    // block of padding, and the line end; a longer text makes more room.
    size_t left = static_cast<size_t>(devices) * kDeviceFields;
    out.makeRoom(head.size() + left * (texts.longest + FieldTexts::kPad) + 2);
    std::memcpy(out.end(), head.data(), head.size());
    out.used += head.size();
    // Each field's text carries its comma; a value no chip gave leaves the
    // field empty.
    auto put = [&](FieldTexts& table, int16_t raw, const auto& format) {
        const FieldTexts::Text* text = &table.find(raw);
        if (text->offset == FieldTexts::kUnset) {
            text = &table.add(raw, format);
            if (text->length > texts.longest) {
                texts.longest = text->length;
                out.makeRoom(left * (texts.longest + FieldTexts::kPad) + 2);
            }
        }
        --left;
        char* to = out.end();
        const char* from = table.data(*text);
        for (size_t n = 0; n < text->length; n += FieldTexts::kPad)
            std::memcpy(to + n, from + n, FieldTexts::kPad);
        out.used += text->length;
    };
    for (int d = 1; d <= devices; ++d) {
        for (int c = 0; c < kCells; ++c)
            put(texts.cells, *row++, cell);
        put(texts.packs, *row++, pack);
        put(texts.icTemps, *row++, icTemp);
        for (int n = 0; n < kETInputs; ++n)
            put(texts.ets, *row++, et);
        put(texts.faults, *row++, fault);
        put(texts.faults, *row++, fault);
    }
    out.bytes[out.used++] = '\r';
    out.bytes[out.used++] = '\n';
}

}  // namespace

void ExportSampleLine(const ChartSamples& samples, const link::RegisterDefinitions& defs,
                      int devices, int i, std::string& line)
{
    auto texts = std::make_unique<ExportTexts>();
    SampleBlock block(devices);
    block.read(samples, i, 1);
    BlockText out;
    buildSampleLine(samples, defs, devices, i, block.row(0), out, *texts);
    line.assign(out.bytes.data(), out.used - 2);
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
        auto texts = std::make_unique<ExportTexts>();
        SampleBlock block(devices);
        BlockText lines;
        for (int first = 0; written && first < samples.SampleCount; first += kBlockSamples) {
            const int count = std::min(kBlockSamples, samples.SampleCount - first);
            block.read(samples, first, count);
            lines.used = 0;
            for (int k = 0; k < count; ++k)
                buildSampleLine(samples, defs, devices, first + k, block.row(k), lines, *texts);
            // The writer ends what it is given with CR LF: the block goes to
            // it in one piece, without its last line end.
            const size_t room = lines.bytes.size();
            lines.bytes.resize(lines.used - 2);
            written = files.AddLineToExportCsv(lines.bytes);
            lines.bytes.resize(room);
        }
        return written;
    });
    return files.CloseFileForExportCsv() && ok;
}

}  // namespace kvb::data
