#include "sim/SimChipChain.h"

#include "sim/History.h"

#include "board/BoardProtocol.h"

#include <algorithm>

namespace kvb::sim {

namespace {

using Map = SimRegisterMap;

constexpr int RegisterIndex(int page, int adr) { return (page & 7) * 64 + (adr & 63); }
constexpr int kWriteFlag = 0x08;
constexpr int kAllDevices = 15;
constexpr int SelectedType(uint8_t select) { return (select & 0x40) ? 1 : 0; }

// The chips' 4-bit CRC: every bit of the frame but the last byte's low
// nibble, first bit first, divided by x^4 + x + 1 without augmenting zeros.
int Crc4(std::span<const uint8_t> frame)
{
    int crc = 0;
    const size_t bits = frame.size() * 8 - 4;
    for (size_t i = 0; i < bits; ++i) {
        const int in = frame[i / 8] >> (7 - i % 8) & 1;
        const int top = crc >> 3 & 1;
        crc = ((crc << 1) & 0x0E) | (in ^ top);
        if (top)
            crc ^= 0x02;
    }
    return crc;
}

bool Crc4Holds(std::span<const uint8_t> frame)
{
    return !frame.empty() && (frame.back() & 0x0F) == Crc4(frame);
}

// The read-all commands: the frame count and the address of the first frame
// of each answer; the frames after the first descend through the registers
// the type has.
struct ReadAllAnswer {
    int type, page, adr;
    int frames, firstAddress;
};
constexpr ReadAllAnswer kReadAlls[] = {
    {0, 1, 0x0F, 13, 12},  // voltages
    {0, 1, 0x1F, 7, 22},   // temperatures
    {0, 2, 0x0F, 7, 6},    // faults
    {0, 2, 0x1F, 14, 29},  // setup
    {1, 2, 0x0F, 5, 5},    // faults
    {1, 2, 0x1F, 7, 29},   // setup
};

constexpr int kPack = RegisterIndex(1, 0);
constexpr int kFirstCell = RegisterIndex(1, 1);
constexpr int kCells = 12;
constexpr int kFirstTemperature = RegisterIndex(1, 0x10);
constexpr int kTemperatures = 7;
constexpr int kFaultStatus = RegisterIndex(2, 4);
constexpr int kBalanceSetup = RegisterIndex(2, 0x13);
constexpr int kBalanceStatus = RegisterIndex(2, 0x14);
constexpr int kSerialLow = RegisterIndex(2, 0x1B);
constexpr int kSerialHigh = RegisterIndex(2, 0x1C);
constexpr int kBalanceEnableBit = 0x200;

// Command addresses of the command page (category 3).
enum CommandAddress {
    ScanVolts = 1,
    ScanTemps = 2,
    ScanMixed = 3,
    ScanWires = 4,
    ScanAll = 5,
    ScanContinuous = 6,
    ScanInhibit = 7,
    Measure = 8,
    Identify = 9,
    Sleep = 0x0A,
    WakeUp = 0x0F,
    BalanceEnable = 0x10,
    BalanceInhibit = 0x11,
    Reset = 0x12,
};

bool isWake(int cat, int adr)
{
    return (cat & 7) == 3 && adr == WakeUp;
}

}  // namespace

SimChipChain::SimChipChain(SimRegisterMap registers) : registers_(registers)
{
}

void SimChipChain::setDevices(int type, int count)
{
    auto& chain = chains_[type];
    chain.assign(static_cast<size_t>(std::clamp(count, 0, kMaxDevices)), Device{});
    for (size_t i = 0; i < chain.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        Device& d = chain[i];
        const int serial = 0x0123400 + type * 0x100 + number;
        d.regs[kSerialLow] = static_cast<int16_t>(serial & 0x3FFF);
        d.regs[kSerialHigh] = static_cast<int16_t>(serial >> 14);
        scan(d, number);
    }
    unprompted_[type].clear();
}

void SimChipChain::raiseFault(int type, int number, int16_t bits)
{
    Device& d = device(type, number);
    d.regs[kFaultStatus] = static_cast<int16_t>((d.regs[kFaultStatus] | bits) & 0x3FFF);
    Bytes frame;
    answer(frame, {number, 2, 4, d.regs[kFaultStatus]});
    unprompted_[type].push_back(frame);
}

// Cell voltages around 3.6 V (5/8192 V a count), the pack their sum
// (80/16384 V a count), temperatures near 25 degrees; each scan moves them a
// little so that charts show life.
void SimChipChain::scan(Device& d, int number)
{
    ++d.scans;
    const int wobble = (d.scans * 7 + number * 3) % 11 - 5;
    double pack = 0;
    for (int c = 0; c < kCells; ++c) {
        const double volts = 3.6 + number * 0.01 + c * 0.002 + wobble * 0.0005;
        pack += volts;
        d.regs[kFirstCell + c] = static_cast<int16_t>(volts * 8192 / 5);
    }
    d.regs[kPack] = static_cast<int16_t>(pack * 16384 / 80);
    for (int t = 0; t < kTemperatures; ++t)
        d.regs[kFirstTemperature + t] = static_cast<int16_t>(registers_.tint25 + t * 16 + wobble);
}

int16_t SimChipChain::read(Device& d, int reg) const
{
    if (reg == kBalanceStatus)
        return d.balanceBanks[std::min((d.regs[kBalanceSetup] >> 5) & 0x0F, kBalanceBanks - 1)];
    return d.regs[reg];
}

void SimChipChain::write(Device& d, int reg, int16_t value)
{
    if (reg == kBalanceStatus)
        d.balanceBanks[std::min((d.regs[kBalanceSetup] >> 5) & 0x0F, kBalanceBanks - 1)] =
            static_cast<int16_t>(value & 0x0FFF);
    else if (reg == kFaultStatus)
        d.regs[reg] = static_cast<int16_t>(value | d.faultCauses);
    else
        d.regs[reg] = value;
}

void SimChipChain::answer(Bytes& out, const Frame& f)
{
    out.push_back(static_cast<uint8_t>(f.dev << 4 | (f.cat & 0x0F)));
    answerShort(out, f.adr, f.dat, 4);
}

// Appends the address and data of a frame, then its CRC over the last
// `frameLength` bytes.
void SimChipChain::answerShort(Bytes& out, int adr, int dat, size_t frameLength)
{
    out.push_back(static_cast<uint8_t>((adr & 0x3F) << 2 | (dat >> 12 & 3)));
    out.push_back(static_cast<uint8_t>(dat >> 4 & 0xFF));
    out.push_back(static_cast<uint8_t>((dat & 0x0F) << 4));
    std::span<uint8_t> frame(out.data() + out.size() - frameLength, frameLength);
    frame.back() = static_cast<uint8_t>((frame.back() & 0xF0) | Crc4(frame));
    if (faults.corruptCrc > 0) {
        --faults.corruptCrc;
        frame.back() ^= 0x01;
    }
}

int SimChipChain::reachable(int type) const
{
    const int count = devices(type);
    const int silent = faults.silentFrom[type];
    return silent > 0 ? std::min(count, silent - 1) : count;
}

std::vector<uint8_t> SimChipChain::exchange(uint8_t pipeCode, uint8_t select,
                                            std::span<const uint8_t> frame)
{
    Record(received, Received{pipeCode, select, Bytes(frame.begin(), frame.end())});
    const int type = SelectedType(select);
    switch (pipeCode) {
    case board::HidReadUprBuffer1:
        return unpromptedBuffer(0);
    case board::HidReadUprBuffer2:
        return unpromptedBuffer(1);
    case board::HidSpiPipe:
        return single(type, frame);
    case board::HidSpiPipeDaisyChain: {
        const size_t expected = (select & 0x80) ? 4 : 3;
        if (frame.size() >= expected)
            return daisy(type, frame.first(expected), false);
        // A command clocked while the host marks a command in progress
        // arrives one byte short: it runs, but no answer is clocked back.
        if (frame.size() + 1 == expected)
            return daisy(type, frame, true);
        return {};
    }
    default:
        return {};
    }
}

std::vector<uint8_t> SimChipChain::unpromptedBuffer(int type)
{
    auto& queue = unprompted_[type];
    if (queue.empty())
        return {kEmptyBuffer};
    Bytes out;
    for (const Bytes& frame : queue)
        out.insert(out.end(), frame.begin(), frame.end());
    queue.clear();
    return out;
}

std::vector<uint8_t> SimChipChain::daisy(int type, std::span<const uint8_t> frame, bool shortened)
{
    Frame request{frame[0] >> 4, frame[0] & 0x0F, frame[1] >> 2, 0};
    const bool write = request.cat & kWriteFlag;
    if (write)
        request.dat = (frame[1] & 3) << 12 | frame[2] << 4 | frame[3] >> 4;
    else if (!shortened)
        request.dat = (frame[1] & 3) << 4 | frame[2] >> 4;

    Bytes out;
    const int top = reachable(type);
    if (shortened) {
        // Only the scan, sleep and wake commands are sent this way.
        if ((request.cat & 7) != 3 || request.adr == Identify)
            return out;
    } else if (!Crc4Holds(frame)) {
        if (top > 0)
            nack(out, std::clamp(request.dev, 1, top));
        return out;
    }
    if ((request.cat & 7) == 3 && request.adr == Identify && !write)
        return identify(type, request.dat);

    if (request.dev == kAllDevices) {
        for (int n = 1; n <= top; ++n)
            addressed(out, type, n, request, write);
    } else if (request.dev >= 1 && request.dev <= top) {
        addressed(out, type, request.dev, request, write);
    }
    if (shortened)
        out.clear();
    return out;
}

std::vector<uint8_t> SimChipChain::identify(int type, int dat)
{
    Bytes out;
    const int top = reachable(type);
    const bool whole = top == devices(type);
    if (top == 0)
        return out;
    if (dat == 0) {
        ack(out, 1);  // the bottom device takes number 1
    } else if (dat == 0x3F) {
        if (whole)
            ack(out, top);
    } else if (dat >= 2 && dat <= top) {
        // Bit 13: a device took the number; bit 12: more devices above it.
        const int flags = 0x2000 | (dat < devices(type) ? 0x1000 : 0);
        answer(out, {dat, 3, Identify, flags | dat});
    } else if (dat > top && whole) {
        ack(out, top);  // nobody above the top device takes the number
    }
    return out;
}

void SimChipChain::addressed(Bytes& out, int type, int number, const Frame& request, bool isWrite)
{
    Device& d = device(type, number);
    const int page = request.cat & 7;
    if (d.asleep && !isWake(page, request.adr))
        return;
    const int reg = RegisterIndex(page, request.adr);
    const int k = kind(type, reg);
    if (faults.nack || k == Map::kAbsent) {
        nack(out, number);
        return;
    }
    if (isWrite) {
        if (k != Map::kReadWrite) {
            nack(out, number);
            return;
        }
        write(d, reg, static_cast<int16_t>(request.dat));
        answer(out, {number, request.cat, request.adr, read(d, reg)});
        return;
    }
    switch (k) {
    case Map::kReadOnly:
    case Map::kReadWrite:
        answer(out, {number, page, request.adr, read(d, reg)});
        return;
    case Map::kReadAll:
        readAll(out, type, number, page, request.adr);
        return;
    default:
        runCommand(d, number, request.adr);
        ack(out, number);
        return;
    }
}

// A read-all answer: the first frame (4 bytes) carries the block's first
// address, then 3-byte frames for the registers below it that the type has.
void SimChipChain::readAll(Bytes& out, int type, int number, int page, int adr)
{
    Device& d = device(type, number);
    for (const ReadAllAnswer& r : kReadAlls) {
        if (r.type != type || r.page != page || r.adr != adr)
            continue;
        answer(out, {number, page, r.firstAddress, read(d, RegisterIndex(page, r.firstAddress))});
        int left = r.frames - 1;
        for (int a = r.firstAddress - 1; a >= 0 && left > 0; --a) {
            if (!registers_.readable(type, RegisterIndex(page, a)))
                continue;
            answerShort(out, a, read(d, RegisterIndex(page, a)));
            --left;
        }
        return;
    }
    nack(out, number);
}

void SimChipChain::runCommand(Device& d, int number, int adr)
{
    switch (adr) {
    case ScanVolts:
    case ScanTemps:
    case ScanMixed:
    case ScanAll:
    case ScanContinuous:
        scan(d, number);
        break;
    case Sleep:
        d.asleep = true;
        break;
    case WakeUp:
        d.asleep = false;
        break;
    case BalanceEnable:
        d.regs[kBalanceSetup] = static_cast<int16_t>(d.regs[kBalanceSetup] | kBalanceEnableBit);
        break;
    case BalanceInhibit:
        d.regs[kBalanceSetup] = static_cast<int16_t>(d.regs[kBalanceSetup] & ~kBalanceEnableBit);
        break;
    case Reset:
        d.asleep = false;
        break;
    default:
        break;  // wires, inhibit and measure change nothing we show
    }
}

// The single-device framing: category and address in the first two bytes,
// the register's value clocked back in the third and fourth.
std::vector<uint8_t> SimChipChain::single(int type, std::span<const uint8_t> frame)
{
    Bytes out(frame.begin(), frame.end());
    if (frame.size() < 2 || devices(type) == 0 || reachable(type) == 0)
        return {};
    const int cat = frame[0] >> 4;
    const int adr = (frame[0] & 0x0F) << 2 | frame[1] >> 6;
    const int reg = RegisterIndex(cat, adr);
    const int k = kind(type, reg);
    Device& d = device(type, 1);
    if (d.asleep && !isWake(cat, adr))
        return out;
    if ((cat & kWriteFlag) && frame.size() >= 3 && k == Map::kReadWrite)
        write(d, reg, static_cast<int16_t>((frame[1] & 0x3F) << 8 | frame[2]));
    else if ((cat & 7) == 3 && k >= Map::kCommand)
        runCommand(d, 1, adr);
    if (out.size() >= 4 && registers_.readable(type, reg)) {
        // The chip drives the two bits above the 14-bit value high.
        const int16_t value = read(d, reg);
        out[2] = static_cast<uint8_t>(0xC0 | (value >> 8 & 0x3F));
        out[3] = static_cast<uint8_t>(value & 0xFF);
    }
    return out;
}

}  // namespace kvb::sim
