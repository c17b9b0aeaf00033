// A stand-in for the system's GPIB library (libgpib), built by the tests and
// loaded through the program's own loader. It exports the calls the loader
// looks up, with the library's names and C signatures, and keeps the status
// of each call per thread as the library does. Every address holds the same
// small instrument: "*IDN?" and "FETCH:FREQ?" queue a reply, a read returns
// at most the bytes asked for and sets END with the reply's last byte, and a
// read with nothing queued times out. Address 9 has no listener.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kErr = 0x8000;
constexpr int kTimo = 0x4000;
constexpr int kEnd = 0x2000;
constexpr int kCmpl = 0x0100;
constexpr int kEdvr = 0;  // bad descriptor
constexpr int kEnol = 2;  // no listener
constexpr int kEarg = 4;  // bad argument
constexpr int kEabo = 6;  // timed out
constexpr int kSilentAddress = 9;

thread_local int threadStatus = 0;
thread_local int threadError = 0;
thread_local long threadCount = 0;

struct Device {
    int pad = 0;
    bool online = true;
    std::string pending;
};
std::vector<Device> devices;

int done(long count, int extra = 0)
{
    threadStatus = kCmpl | extra;
    threadError = 0;
    threadCount = count;
    return threadStatus;
}

int failed(int error, int extra = 0)
{
    threadStatus = kErr | extra;
    threadError = error;
    threadCount = 0;
    return threadStatus;
}

// The device behind a descriptor (1-based), null when there is none.
Device* device(int ud)
{
    if (ud < 1 || ud > static_cast<int>(devices.size()))
        return nullptr;
    Device& d = devices[static_cast<size_t>(ud - 1)];
    return d.online ? &d : nullptr;
}

}  // namespace

extern "C" {

int ibdev(int board_index, int pad, int sad, int timo, int send_eoi, int eosmode)
{
    (void)timo;
    (void)send_eoi;
    (void)eosmode;
    if (board_index != 0 || pad < 0 || pad > 30 || sad != 0) {
        failed(kEarg);
        return -1;
    }
    devices.push_back(Device{pad, true, {}});
    done(0);
    return static_cast<int>(devices.size());
}

int ibclr(int ud)
{
    Device* d = device(ud);
    if (!d)
        return failed(kEdvr);
    if (d->pad == kSilentAddress)
        return failed(kEnol);
    d->pending.clear();
    return done(0);
}

int ibonl(int ud, int onl)
{
    Device* d = device(ud);
    if (!d)
        return failed(kEdvr);
    if (onl == 0)
        d->online = false;
    return done(0);
}

int ibwrt(int ud, const void* buf, long count)
{
    Device* d = device(ud);
    if (!d)
        return failed(kEdvr);
    if (d->pad == kSilentAddress)
        return failed(kEnol);
    const std::string text(static_cast<const char*>(buf), static_cast<size_t>(std::max(count, 0L)));
    if (text == "*IDN?")
        d->pending += "STAND-IN,GPIB,0,1\n";
    else if (text == "FETCH:FREQ?")
        d->pending += "+1.00000000000000E+006\n";
    return done(count);
}

int ibrd(int ud, void* buf, long count)
{
    Device* d = device(ud);
    if (!d)
        return failed(kEdvr);
    if (d->pad == kSilentAddress)
        return failed(kEnol);
    if (d->pending.empty())
        return failed(kEabo, kTimo);
    // One message at a time, up to its line feed.
    const size_t message = d->pending.find('\n') + 1;
    const size_t n = std::min(message, static_cast<size_t>(std::max(count, 0L)));
    std::memcpy(buf, d->pending.data(), n);
    d->pending.erase(0, n);
    return done(static_cast<long>(n), n == message ? kEnd : 0);
}

int ThreadIbsta(void)
{
    return threadStatus;
}

int ThreadIberr(void)
{
    return threadError;
}

int ThreadIbcnt(void)
{
    return static_cast<int>(threadCount);
}

long ThreadIbcntl(void)
{
    return threadCount;
}

}  // extern "C"
