#include "data/ChartExport.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace kvb;
using namespace kvb::data;

namespace {

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string x;
    while (std::getline(ss, x, ','))
        f.push_back(x);
    return f;
}

TEST(ChartExportFormat, HeaderWordsAndNumbers)
{
    EXPECT_EQ(ComErrorWords(0x0A), "CRCErr_NackResponse_");
    EXPECT_EQ(ComErrorWords(0x1F), "NoACK_CRCErr_BadResponse_NackResponse_PipeComErr_");
    EXPECT_EQ(ComErrorWords(0), "");
    EXPECT_EQ(FixedText(0.5, 4), "0.5000");
    EXPECT_EQ(FixedText(-0.25, 4), "-0.2500");
    EXPECT_EQ(FixedText(-0.00001, 4), "0.0000");
    EXPECT_EQ(FixedText(1234.56, 1), "1234.6");
    const auto header = fields(ExportHeaderLine(3));
    EXPECT_EQ(header.size(), 3u + 3 * 20);
    EXPECT_EQ(header[3], "VCell1-1");
    EXPECT_EQ(header[15], "VBat1");
    EXPECT_EQ(header[17], "ETV1-1");
    EXPECT_EQ(header[21], "FAULTSTAT960-1");
    EXPECT_EQ(header[22], "FAULTSTAT961-1");
    EXPECT_EQ(header.back(), "FAULTSTAT961-3");
    EXPECT_EQ(ExportHeaderLine(1).back(), ',');
}

class ChartExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ::testing::TempDir() + "chart_export_" + std::to_string(::getpid()) + ".csv";
        defs->regs[0][65].scale = 5.0 / 8192;
        defs->regs[0][64].scale = 80.0 / 16384;
        defs->regs[0][80].scale = 0.015625;
        defs->regs[0][81].scale = 2.5 / 16384;
    }
    void TearDown() override { std::filesystem::remove(path); }
    std::string path;
    test::TestServices t;
    DocumentsFolder documents;
    DataLogging files{t.services, documents};
    std::unique_ptr<ChartSamples> samples = std::make_unique<ChartSamples>();
    std::unique_ptr<link::RegisterImage> image = std::make_unique<link::RegisterImage>();
    std::unique_ptr<link::RegisterDefinitions> defs = std::make_unique<link::RegisterDefinitions>();
};

TEST_F(ChartExportTest, RowsMatchTheBuffers)
{
    for (int n = 0; n < 3; ++n) {
        image->store(0, 2, 65, static_cast<int16_t>(8192 + n));  // negative cell
        image->store(0, 2, 64, static_cast<int16_t>(1000 * n));
        image->store(0, 2, 80, 9217);
        image->store(0, 2, 84, 8192);
        image->store(1, 2, 132, 0x2001);
        samples->takeSample(*image, t.clock);
        samples->finishSample();
        samples->OrComError(n == 1 ? 0x0A : 0);
        t.clock.current += std::chrono::seconds(30);
    }
    t.files.saveAnswers = {path};
    ASSERT_TRUE(ExportCSV(files, t.prompter, *samples, *defs, true, 2));
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const auto lines = splitCrLf(ss.str());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], ExportHeaderLine(2));
    for (int i = 0; i < 3; ++i) {
        const auto f = fields(lines[1 + i]);
        ASSERT_EQ(f.size(), 3u + 2 * 20);
        EXPECT_EQ(f[1], FixedText(samples->minutes(i), 2));
        const int d2 = 3 + 20;  // first column of device 2
        EXPECT_DOUBLE_EQ(std::stod(f[d2]), std::round((-8192 + i) * 5.0 / 8192 * 1e4) / 1e4);
        EXPECT_EQ(f[d2 + 12], FixedText(1000 * i * 80.0 / 16384, 3));
        EXPECT_EQ(f[d2 + 13], "25.0");
        EXPECT_EQ(f[d2 + 17], "1.2500");  // no sign extension for inputs
        EXPECT_EQ(f[d2 + 18], "");  // no chip gave device 2's type-0 fault status
        EXPECT_EQ(f[d2 + 19], "0x2001");
    }
    EXPECT_EQ(fields(lines[2])[1], "0.50");
    // The flags logged after sample 1 was taken belong to sample 2.
    EXPECT_EQ(fields(lines[3])[2], "CRCErr_NackResponse_");
    EXPECT_EQ(fields(lines[2])[2], "");
}

// The whole file of a small export, byte for byte: rounding at each
// column's places, sign extension of cells only, no sign on a value that
// rounds to zero, upper-case hexadecimal, the time of day of each sample and
// CR LF after every line.
TEST_F(ChartExportTest, SmallExportIsWrittenByteForByte)
{
    const char* tz = std::getenv("TZ");
    const std::string oldTz = tz ? tz : "";
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    t.clock.wall = std::chrono::system_clock::from_time_t(10 * 3600 + 2 * 60 + 3);
    const int16_t cells[2][4] = {{1000, 8192, 16383, 1}, {2, 8192, 16383, 0}};
    for (int c = 4; c < 12; ++c)
        image->store(0, 1, 65 + c, 0);  // every exported value from a chip
    for (int n = 0; n < 2; ++n) {
        for (int c = 0; c < 4; ++c)
            image->store(0, 1, 65 + c, cells[n][c]);
        image->store(0, 1, 64, static_cast<int16_t>(n == 0 ? 16383 : 1000));
        image->store(0, 1, 80, static_cast<int16_t>(n == 0 ? 9220 : 9117));
        image->store(0, 1, 81, 8192);
        image->store(0, 1, 82, 100);
        image->store(0, 1, 83, 0);
        image->store(0, 1, 84, 16383);
        image->store(0, 1, 132, 0x00FF);
        image->store(1, 1, 132, static_cast<int16_t>(0xABCD));
        samples->takeSample(*image, t.clock);
        samples->finishSample();
        samples->OrComError(n == 0 ? 0x0A : 0);  // gathered for the next sample
        t.clock.current += std::chrono::seconds(30);
    }
    t.files.saveAnswers = {path};
    ASSERT_TRUE(ExportCSV(files, t.prompter, *samples, *defs, false, 5));
    if (tz)
        ::setenv("TZ", oldTz.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    std::ifstream in(path, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all,
              "TimeStamp,Elapsed(min),ComErrors,VCell1-1,VCell1-2,VCell1-3,VCell1-4,VCell1-5,VCell1-6,"
              "VCell1-7,VCell1-8,VCell1-9,VCell1-10,VCell1-11,VCell1-12,VBat1,ICTemp1,ETV1-1,ETV1-2,"
              "ETV1-3,ETV1-4,FAULTSTAT960-1,FAULTSTAT961-1,\r\n"
              "10:02:03,0.00,,0.6104,-5.0000,-0.0006,0.0006,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,"
              "0.0000,0.0000,79.995,25.0,1.2500,0.0153,0.0000,2.4998,0x00FF,0xABCD,\r\n"
              "10:02:33,0.50,CRCErr_NackResponse_,0.0012,-5.0000,-0.0006,0.0000,0.0000,0.0000,0.0000,"
              "0.0000,0.0000,0.0000,0.0000,0.0000,4.883,23.4,1.2500,0.0153,0.0000,2.4998,0x00FF,0xABCD,"
              "\r\n");
}

// FNV-1a over a file's bytes.
uint64_t FileHash(const std::string& text)
{
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// Full buffers of a 14-device chain after two drops of the oldest 600
// samples, with values no chip gave, error flags (one bit the export does not
// name), negative cells, fault words of both types and a run that starts
// after an earlier one, written exactly as the export has always written
// them: same lines, same bytes. A change in how the samples are read
// (block order, device slot, field order, the row a sample lands in) or
// formatted shows here.
TEST_F(ChartExportTest, FullBuffersAfterDropsAreWrittenByteForByte)
{
    // Time stamps in UTC whatever the machine's zone, restored however the
    // test ends.
    struct UtcZone {
        std::string old;
        bool had = false;
        UtcZone()
        {
            if (const char* tz = std::getenv("TZ")) {
                had = true;
                old = tz;
            }
            ::setenv("TZ", "UTC0", 1);
            ::tzset();
        }
        ~UtcZone()
        {
            if (had)
                ::setenv("TZ", old.c_str(), 1);
            else
                ::unsetenv("TZ");
            ::tzset();
        }
    } utc;
    uint32_t seed = 20261209;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    auto take = [&] {
        image->forgetKnown();
        for (int d = 1; d <= 14; ++d) {
            for (int reg : {65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 64, 80, 81, 82, 83, 84})
                if (next() % 53 != 0)
                    image->store(0, d, reg, static_cast<int16_t>(next() % 16384));
            if (next() % 53 != 0)
                image->store(0, d, 132, static_cast<int16_t>(next() % 7 == 0 ? next() & 0xFFFF : 0));
            if (d <= 5 && next() % 53 != 0)  // type-1 devices at positions 1 to 5 only
                image->store(1, d, 132, static_cast<int16_t>(next() % 5 == 0 ? next() & 0xFFFF : 0));
        }
        samples->takeSample(*image, t.clock);
        samples->finishSample();
        if (next() % 5 == 0)
            samples->OrComError(static_cast<int16_t>(next() & 0x3F));
        t.clock.current += std::chrono::milliseconds(50 + next() % 40);
    };
    t.clock.wall = std::chrono::system_clock::from_time_t(5 * 3600);
    for (int n = 0; n < 50; ++n)
        take();
    samples->endRun();
    // The second run starts before midnight and runs into the next day.
    t.clock.wall = std::chrono::system_clock::from_time_t(23 * 3600 + 40 * 60 + 7);
    for (int n = 0; n < kChartSamples + 2 * kSampleShift - 500; ++n)
        take();
    ASSERT_EQ(samples->SampleCount, 32261);
    ASSERT_EQ(samples->DroppedSamples(), 1200);

    auto exported = [&](bool daisy, int count) {
        t.files.saveAnswers = {path};
        EXPECT_TRUE(ExportCSV(files, t.prompter, *samples, *defs, daisy, count));
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    // The first and last sample lines of device 1, which the chain's lines
    // begin with.
    const std::string first = "23:41:30,1.40,,-1.6315,2.3853,-3.8251,-4.1431,-2.3602,0.4980,,-4.2255,"
                              "0.7416,0.1776,2.2888,-2.4872,3.887,-31.3,1.7924,1.5266,0.8205,0.4753,"
                              "0x0000,0x64A4,";
    const std::string last = "00:18:51,38.74,,1.4935,-4.5056,-3.0756,-2.7063,2.7838,-3.6261,-2.3712,"
                             "-3.6108,-3.3813,-3.3411,2.1381,-2.2101,35.391,68.0,0.5475,1.3164,"
                             "0.8127,2.4741,0x2EF6,0x0000,";
    const std::string chain = exported(true, 14);
    const auto lines = splitCrLf(chain);
    ASSERT_EQ(lines.size(), 32262u);
    EXPECT_EQ(lines[0], ExportHeaderLine(14));
    EXPECT_EQ(lines[1].substr(0, first.size()), first);
    EXPECT_EQ(lines.back().substr(0, last.size()), last);
    const std::string lastTail = "-3.8483,4.1272,3.1940,0.9558,4.4806,-2.0227,0.024,-81.8,1.3939,"
                                 "0.3195,0.2390,1.0266,0x0000,,";
    ASSERT_GT(lines.back().size(), lastTail.size());
    EXPECT_EQ(lines.back().substr(lines.back().size() - lastTail.size()), lastTail);
    EXPECT_EQ(chain.size(), 63220029u);
    EXPECT_EQ(FileHash(chain), 15030645580828533641ull);

    const std::string single = exported(false, 14);
    const auto one = splitCrLf(single);
    ASSERT_EQ(one.size(), 32262u);
    EXPECT_EQ(one[1], first);
    EXPECT_EQ(one.back(), last);
    EXPECT_EQ(single.size(), 5316460u);
    EXPECT_EQ(FileHash(single), 9828997519427175031ull);
}

// Scales that make texts longer than any before them, many times within a
// line, and a line longer than room for every field at a short text: each
// field is still written whole, at its place.
TEST_F(ChartExportTest, LongFieldTextsAreWrittenWhole)
{
    defs->regs[0][65].scale = std::ldexp(1.0, 60);
    defs->regs[0][64].scale = std::ldexp(1.0, 40);
    for (int d = 1; d <= 14; ++d) {
        for (int c = 0; c < 12; ++c)
            image->store(0, d, 65 + c, static_cast<int16_t>(d * 500));
        image->store(0, d, 64, 16383);
    }
    samples->takeSample(*image, t.clock);
    samples->finishSample();
    t.files.saveAnswers = {path};
    ASSERT_TRUE(ExportCSV(files, t.prompter, *samples, *defs, true, 14));
    std::ifstream in(path, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto lines = splitCrLf(all);
    ASSERT_EQ(lines.size(), 2u);
    // d x 500 x 2^60 for the cells of device d; 16383 x 2^40 for the packs.
    const char* cells[14] = {
        "576460752303423488000.0000,",  "1152921504606846976000.0000,", "1729382256910270464000.0000,",
        "2305843009213693952000.0000,", "2882303761517117440000.0000,", "3458764513820540928000.0000,",
        "4035225266123964416000.0000,", "4611686018427387904000.0000,", "5188146770730811392000.0000,",
        "5764607523034234880000.0000,", "6341068275337658368000.0000,", "6917529027641081856000.0000,",
        "7493989779944505344000.0000,", "8070450532247928832000.0000,"};
    std::string expected = "0.00,,";
    for (int d = 1; d <= 14; ++d) {
        for (int c = 0; c < 12; ++c)
            expected += cells[d - 1];
        expected += "18013298997854208.000,,,,,,,,";
    }
    EXPECT_EQ(lines[1].substr(lines[1].find(',') + 1), expected);
}

TEST_F(ChartExportTest, CancelAndEmptyBuffers)
{
    EXPECT_FALSE(ExportCSV(files, t.prompter, *samples, *defs, false, 5));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Export to CSV cancelled, logfile not created.");
    t.files.saveAnswers = {path};
    ASSERT_TRUE(ExportCSV(files, t.prompter, *samples, *defs, false, 5));
    std::ifstream in(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, ExportHeaderLine(1) + "\r\n");  // single device: one block only
}

TEST_F(ChartExportTest, WriteFailureStopsAndIsReportedOnce)
{
    if (!std::filesystem::is_character_file("/dev/full"))
        GTEST_SKIP();
    for (int n = 0; n < 2000; ++n) {
        samples->takeSample(*image, t.clock);
        samples->finishSample();
    }
    t.files.saveAnswers = {"/dev/full"};
    EXPECT_FALSE(ExportCSV(files, t.prompter, *samples, *defs, true, 14));
    EXPECT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// A file that cannot be opened is reported once, as what it is; only a
// cancelled dialog says the export was cancelled.
TEST_F(ChartExportTest, AFileThatCannotBeOpenedShowsOnlyItsError)
{
    const std::string folder = ::testing::TempDir() + "export_folder_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    t.files.saveAnswers = {folder};
    EXPECT_FALSE(ExportCSV(files, t.prompter, *samples, *defs, false, 1));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "OpenFileForExportCsv failed due to the following:\r\n"
                                        "Error 21:\r\n\"" + folder + "\" is a folder, not a file.");
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    t.prompter.asked.clear();
    const std::string nowhere = folder + "/missing/x.csv";
    t.files.saveAnswers = {nowhere};
    EXPECT_FALSE(ExportCSV(files, t.prompter, *samples, *defs, false, 1));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "OpenFileForExportCsv failed due to the following:\r\n"
                                        "Error 2:\r\nNo such file or directory");

    // After a failure, a cancel is told as a cancel again.
    t.prompter.asked.clear();
    EXPECT_FALSE(ExportCSV(files, t.prompter, *samples, *defs, false, 1));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Export to CSV cancelled, logfile not created.");
    std::filesystem::remove_all(folder);
}

}  // namespace
