// A day of polling, in simulated time. The program's own objects (the
// application context without its windows) poll a simulated daisy chain of
// three KVB53960 and two KVB53961 through the program's poll tick, with the
// chart samples and the traffic log on, as an engineer leaves it overnight.
// The clock is a scripted one: the poll timer's next tick is due one
// interval after it was last started, and the clock jumps there, so
// simulated time runs far faster than real time.
//
// At every report interval (one simulated hour unless told otherwise) it
// prints the resident memory and the heap in use, the chart samples held and
// the 600-sample shifts so far, the transaction number's wraps, the traffic
// log's size and the number of files in its folder, and the ticks per
// second of real time. At the end it checks what a day of polling must keep:
// every tick sends the same frames in the same order, the transaction number
// steps 1..7 without a gap, no communication error, polling still on, one
// log file growing by the same number of bytes every tick, and (for a run
// of more than two hours) memory flat once the chart buffers are full.
//
//   long_run_poll [--hours=24 | --ticks=N] [--report-minutes=60] [--interval=50]
//
// The poll timer fires one interval after the tick's last exchange restarted
// it (every daisy-chain exchange stops and restarts it), so a tick's period
// is the interval plus the simulated time its exchanges take.
//
// Exit status 0 when every check held.

#include "app/AppContext.h"
#include "app/StartupSequence.h"
#include "link/RegisterDefinitionFile.h"
#include "support/ProcessMemory.h"
#include "support/SimulatedChain.h"

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kvb;
using Ms = std::chrono::milliseconds;

using kvb::test::ResidentBytes;

long HeapBytes()
{
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd);
}

double Mb(long bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Watches the reports the program writes to the board: every chip pipe
// request carries its transaction number in byte 2, which must step
// 1, 2, ..., 7, 1, ... without a gap.
struct TransactionWatch {
    int64_t requests = 0;
    int64_t wraps = 0;
    int64_t gaps = 0;
    int last = 0;

    void saw(const uint8_t* report, size_t length)
    {
        if (length < 3)
            return;
        const uint8_t command = report[1];
        if (command != board::HidSpiPipe && command != board::HidSpiPipeDaisyChain &&
            command != board::HidReadUprBuffer1 && command != board::HidReadUprBuffer2)
            return;
        const int id = report[2];
        ++requests;
        if (last != 0) {
            const int expected = last == 7 ? 1 : last + 1;
            if (id != expected)
                ++gaps;
            if (last == 7 && id == 1)
                ++wraps;
        }
        last = id;
    }
};

class WatchedDevice : public board::HidDevice {
public:
    WatchedDevice(std::unique_ptr<board::HidDevice> inner, TransactionWatch& watch)
        : inner_(std::move(inner)), watch_(watch)
    {
    }
    bool write(const uint8_t* data, size_t length) override
    {
        watch_.saw(data, length);
        return inner_->write(data, length);
    }
    int read(uint8_t* data, size_t length, int timeoutMs) override
    {
        return inner_->read(data, length, timeoutMs);
    }

private:
    std::unique_ptr<board::HidDevice> inner_;
    TransactionWatch& watch_;
};

class WatchedBackend : public board::HidBackend {
public:
    WatchedBackend(board::HidBackend& inner, TransactionWatch& watch)
        : inner_(inner), watch_(watch)
    {
    }
    std::vector<board::HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<board::HidDevice> open(const std::string& path) override
    {
        auto device = inner_.open(path);
        if (!device)
            return nullptr;
        return std::make_unique<WatchedDevice>(std::move(device), watch_);
    }

private:
    board::HidBackend& inner_;
    TransactionWatch& watch_;
};

struct Options {
    double hours = 24.0;
    double ticks = 0;  // when given, the run ends after this many ticks instead
    double reportMinutes = 60.0;
    int interval = 50;
};

bool TakeOption(const char* arg, const char* name, double& value)
{
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0)
        return false;
    value = std::atof(arg + n);
    return true;
}

Options ReadOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        double interval = 0;
        if (TakeOption(argv[i], "--hours=", o.hours) ||
            TakeOption(argv[i], "--report-minutes=", o.reportMinutes) ||
            TakeOption(argv[i], "--ticks=", o.ticks))
            continue;
        if (TakeOption(argv[i], "--interval=", interval)) {
            o.interval = static_cast<int>(interval);
            continue;
        }
        std::fprintf(stderr, "unknown argument %s\n", argv[i]);
        std::exit(2);
    }
    return o;
}

// The frames one tick sent, as one text, to compare tick with tick.
std::string FramesOf(const std::vector<sim::SimChipChain::Received>& received)
{
    std::string text;
    for (const auto& r : received) {
        text += std::to_string(r.pipeCode) + ":" + std::to_string(r.select) + ":";
        for (uint8_t b : r.frame)
            text += std::to_string(b) + ",";
        text += ";";
    }
    return text;
}

struct LongRun {
    test::TestServices t;
    test::SimulatedChain sim{t};
    TransactionWatch ids;
    WatchedBackend backend{sim.usb, ids};
    AppContext context{t.services, backend};
    std::filesystem::path folder;

    // The poll timer as a timer of the window system would run it: due one
    // interval after it was started, then every interval while it runs.
    bool timerOn = false;
    Ms due{0};

    std::string linkLog;  // the main window's link log box, cleared by the ticks

    // The main window's link log box and hex logs, all in `linkLog`.
    struct LogView final : link::LinkView {
        std::string& text;
        explicit LogView(std::string& log) : text(log) {}
        void showRegisterValue(int, int16_t) override {}
        void refreshMainTab() override {}
        void refreshMonitorTab() override {}
        void appendLog(const std::string& line) override { text += line; }
        void clearLog() override { text.clear(); }
        void appendHexLog(int, const std::string& line) override { text += line; }
    } view{linkLog};

    // The main window's chart: every read of all volts adds a sample.
    struct ChartView final : CommandView {
        AppContext& context;
        explicit ChartView(AppContext& c) : context(c) {}
        bool updateChart() const override { return true; }
        void addChartSample() override
        {
            context.charts.AddNewVoltageDataToChartArray(context.link.image, context.services.clock);
        }
        void relayoutTab() override {}
        void selectTab(int) override {}
    } chartView{context};

    // Timer2: follows the poller; due one interval after it starts.
    struct TimerView final : PollingView {
        LongRun& run;
        explicit TimerView(LongRun& r) : run(r) {}
        void enableBox(bool) override {}
        void timer(bool running) override
        {
            run.timerOn = running;
            if (running)
                run.due = run.t.clock.now() + Ms(run.context.polling.interval());
        }
        void interval(int) override {}
    } timerView{*this};

    bool start(const Options& o)
    {
        char name[] = "/tmp/kvb_long_run_XXXXXX";
        if (!::mkdtemp(name))
            return false;
        folder = name;

        link::ChipLink& link = context.link;
        link::LoadRegisterDefinitionFile(std::string("./") + link::kTabdefsFileName,
                                         link.definitions);
        link.attachView(&view);
        context.commands.attachView(&chartView);
        context.polling.hooks.clearLogs = [this] { linkLog.clear(); };
        context.polling.attachView(&timerView);

        // The start-up form: the board panel's load opens the board, the
        // power-up sets its ports; then the main window's load and the
        // configuration dialog's OK for a chain of 3 + 2.
        sim.chain->setDevices(0, 3);
        sim.chain->setDevices(1, 2);
        if (!context.panel.load())
            return false;
        StartupSequence(context.panel, context.grid, context.transport, context.services).PowerUp();
        context.connection.startSession();
        context.connection.OKButton_Click(
            {LinkChoice::DaisyChain, DeviceChoice::Kvb53960And53961, 5});
        if (link.DeviceCount1 != 3 || link.DeviceCount2 != 2 || !link.DaisyChainMode) {
            std::fprintf(stderr, "found %d + %d devices%s\n%s\n", link.DeviceCount1,
                         link.DeviceCount2, link.DaisyChainMode ? "" : ", not a daisy chain",
                         linkLog.c_str());
            for (const std::string& box : t.prompter.texts())
                std::fprintf(stderr, "box: %s\n", box.c_str());
            return false;
        }

        // The traffic log, in a folder of its own.
        context.documents.pointAt(folder.string());
        t.files.saveAnswers.push_back((folder / "EvalSw539_Log_01.txt").string());
        if (context.logging.LogStart().empty()) {
            std::fprintf(stderr, "the traffic log did not open in %s\n", folder.c_str());
            return false;
        }

        // INTERVAL 50, the dialog's Quick Setup and OK: Scan All and the
        // read-alls of voltages, temperatures and faults; OK ticks polling.
        context.polling.setInterval(o.interval);
        context.polling.cmdQuickSetup_Click();
        context.polling.OKButton_Click();
        return context.polling.pollingOn() && timerOn;
    }

    int64_t logBytes() const
    {
        std::error_code e;
        const auto size = std::filesystem::file_size(folder / "EvalSw539_Log_01.txt", e);
        return e ? -1 : static_cast<int64_t>(size);
    }
    int files() const
    {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            n += entry.is_regular_file() ? 1 : 0;
        return n;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const Options o = ReadOptions(argc, argv);
    LongRun run;
    if (!run.start(o)) {
        std::fprintf(stderr, "the simulated chain of 3 + 2 did not connect and poll\n");
        return 1;
    }
    test::FakeClock& clock = run.t.clock;
    const Ms interval{o.interval};
    const Ms begin = clock.now();
    const int64_t tickLimit = static_cast<int64_t>(o.ticks);
    const Ms end = tickLimit > 0 ? Ms::max()
                                 : begin + Ms(static_cast<int64_t>(o.hours * 3600000.0));
    const Ms reportEvery = Ms(static_cast<int64_t>(o.reportMinutes * 60000.0));
    Ms nextReport = begin + reportEvery;

    std::printf("long-run polling: 3 + 2 daisy chain, INTERVAL %d ms, Quick Setup (Scan All, "
                "Read All Voltages/Temperatures/Faults), chart and traffic log on, ",
                o.interval);
    if (tickLimit > 0)
        std::printf("%" PRId64 " ticks\n", tickLimit);
    else
        std::printf("%.2f simulated hours\n", o.hours);
    std::printf("%6s %10s %8s %8s %7s %6s %8s %10s %5s %11s %6s %9s\n", "sim_h", "ticks", "rss_MB",
                "heap_MB", "samples", "shifts", "id_wraps", "log_bytes", "files", "log_B/tick",
                "drift", "ticks/s");

    std::string reference;
    int64_t ticks = 0, drifted = 0, lateTicks = 0;
    int64_t ticksAtReport = 0, bytesAtReport = run.logBytes();
    auto realAtReport = std::chrono::steady_clock::now();
    const auto realBegin = realAtReport;
    long heapWhenFull = -1, rssWhenFull = -1;
    bool steadyBytes = true;
    int64_t lastBytesPerTick = -1;

    run.sim.chain->received.clear();
    while (tickLimit > 0 ? ticks < tickLimit : clock.now() < end) {
        if (!run.timerOn || !run.context.polling.pollingOn()) {
            std::fprintf(stderr, "polling stopped after %" PRId64 " ticks\n", ticks);
            return 1;
        }
        // The clock jumps to the tick's due time; a tick that overran its
        // interval is followed at once by the next, as a window system's
        // timer does.
        if (clock.now() < run.due)
            clock.current = run.due;
        else
            ++lateTicks;
        const Ms firedAt = clock.now();
        const Ms dueBefore = run.due;
        run.context.polling.Timer2_Timer();
        ++ticks;
        // A timer left running fires again one interval after it fired; one
        // restarted during the tick is due one interval after its restart.
        if (run.due == dueBefore)
            run.due = firedAt + interval;

        const std::string frames = FramesOf(run.sim.chain->received);
        run.sim.chain->received.clear();
        if (reference.empty())
            reference = frames;
        else if (frames != reference)
            ++drifted;

        if (heapWhenFull < 0 && run.context.samples.DroppedSamples() > 0) {
            heapWhenFull = HeapBytes();
            rssWhenFull = ResidentBytes();
        }

        const bool last = tickLimit > 0 ? ticks == tickLimit : clock.now() >= end;
        if (clock.now() >= nextReport || last) {
            nextReport += reportEvery;
            const auto realNow = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(realNow - realAtReport).count();
            const int64_t bytes = run.logBytes();
            const int64_t tickSpan = ticks - ticksAtReport;
            const int64_t perTick = tickSpan > 0 ? (bytes - bytesAtReport) / tickSpan : 0;
            // The log is written through a stream buffer: a few kilobytes may
            // still be on their way, so the bytes per tick are compared with
            // a tolerance of one in a thousand.
            if (lastBytesPerTick > 0 && std::llabs(perTick - lastBytesPerTick) * 1000 > lastBytesPerTick)
                steadyBytes = false;
            lastBytesPerTick = perTick;
            const double simHours =
                static_cast<double>((clock.now() - begin).count()) / 3600000.0;
            std::printf("%6.2f %10" PRId64 " %8.1f %8.1f %7d %6" PRId64 " %8" PRId64
                        " %10" PRId64 " %5d %11" PRId64 " %6" PRId64 " %9.0f\n",
                        simHours, ticks, Mb(ResidentBytes()), Mb(HeapBytes()),
                        run.context.samples.SampleCount,
                        run.context.samples.DroppedSamples() / data::kSampleShift, run.ids.wraps,
                        bytes, run.files(), perTick, drifted,
                        seconds > 0 ? static_cast<double>(tickSpan) / seconds : 0.0);
            std::fflush(stdout);
            realAtReport = realNow;
            ticksAtReport = ticks;
            bytesAtReport = bytes;
        }
    }
    const double realSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - realBegin).count();
    const long heapEnd = HeapBytes();
    const long rssEnd = ResidentBytes();
    const int comErrors = run.context.link.log.comErrors.lineCount();
    const bool stillPolling = run.context.polling.pollingOn() && run.timerOn;
    const bool stopped = run.context.logging.LogStop();
    const int files = run.files();

    std::printf("\n%" PRId64 " ticks in %.2f simulated hours, %.1f s of real time (%.0f ticks/s, "
                "%.0fx real time); %" PRId64 " ticks overran their interval\n",
                ticks, static_cast<double>((clock.now() - begin).count()) / 3600000.0, realSeconds,
                static_cast<double>(ticks) / realSeconds,
                static_cast<double>((clock.now() - begin).count()) / 1000.0 / realSeconds,
                lateTicks);
    std::printf("pipe requests %" PRId64 ", transaction number wraps %" PRId64 ", gaps %" PRId64
                "\n",
                run.ids.requests, run.ids.wraps, run.ids.gaps);
    std::printf("frames per tick %zu bytes of reference text; ticks that sent other frames: "
                "%" PRId64 "\n",
                reference.size(), drifted);
    std::printf("communication errors logged: %d; polling still on: %s; log stopped: %s; "
                "files in the log folder: %d; log %" PRId64 " bytes\n",
                comErrors, stillPolling ? "yes" : "no", stopped ? "yes" : "no", files,
                run.logBytes());
    if (heapWhenFull >= 0)
        std::printf("when the buffers first filled: rss %.1f MB, heap %.1f MB; at the end: rss "
                    "%.1f MB, heap %.1f MB\n",
                    Mb(rssWhenFull), Mb(heapWhenFull), Mb(rssEnd), Mb(heapEnd));

    bool ok = true;
    auto check = [&ok](bool held, const char* what) {
        if (!held) {
            std::printf("FAILED: %s\n", what);
            ok = false;
        }
    };
    check(drifted == 0, "every tick sends the same frames in the same order");
    check(run.ids.gaps == 0 && run.ids.requests > 0, "the transaction number steps 1..7");
    check(comErrors == 0, "no communication error");
    check(stillPolling, "polling still on");
    check(stopped && files == 1, "one log file, closed with its closing line");
    check(steadyBytes, "the log grows by the same number of bytes every tick");
    // Memory once the buffers are full: flat within 2 MB over the rest of
    // the run (only meaningful when the run lasts well past the filling,
    // which takes 27 simulated minutes at 50 ms).
    if (clock.now() - begin > Ms(2 * 3600000) && heapWhenFull >= 0)
        check(heapEnd - heapWhenFull <= 2L * 1024 * 1024 && rssEnd - rssWhenFull <= 2L * 1024 * 1024,
              "memory flat after the buffers filled");
    std::error_code e;
    std::filesystem::remove_all(run.folder, e);
    std::printf(ok ? "all checks held\n" : "some checks FAILED\n");
    return ok ? 0 : 1;
}
