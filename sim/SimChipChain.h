#pragma once
// Simulated battery-monitor chips behind the simulated board's pipe: a daisy
// chain of 1 to 14 devices per device type (each type on its own chain), or
// a single device per type on the single-device link. Which registers exist,
// and which are commands or read-alls, comes from the register map the chain
// is given (the sim's own reading of the shipped register-definition file).

#include "sim/SimChipBus.h"
#include "sim/SimRegisterMap.h"

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace kvb::sim {

// Switches that make the chips misbehave.
struct SimChainFaults {
    int corruptCrc = 0;               // the next N answer frames fail their CRC
    std::array<int, 2> silentFrom{};  // per type: devices from this number on stop answering (0: none)
    bool nack = false;                // every addressed device answers not-acknowledge
};

class SimChipChain : public SimChipBus {
public:
    static constexpr int kMaxDevices = 14;
    static constexpr int kBalanceBanks = 13;
    static constexpr uint8_t kEmptyBuffer = 0x88;

    struct Device {
        std::array<int16_t, SimRegisterMap::kRegisters> regs{};
        std::array<int16_t, kBalanceBanks> balanceBanks{};
        bool asleep = false;
        int scans = 0;
        // Fault bits whose cause is still present: writing the fault status
        // cannot clear them.
        int16_t faultCauses = 0;
    };

    explicit SimChipChain(SimRegisterMap registers);

    // Fits `count` devices (0..14) of a device type; values start plausible.
    void setDevices(int type, int count);
    // What the program's simulated board carries: three type-0 and two
    // type-1 devices, so that every control can be tried.
    static constexpr std::array<int, 2> kDefaultDevices{3, 2};
    void fitDefaultDevices()
    {
        setDevices(0, kDefaultDevices[0]);
        setDevices(1, kDefaultDevices[1]);
    }
    // The registers the chips have; tests may change a kind.
    SimRegisterMap& registers() { return registers_; }
    int devices(int type) const { return static_cast<int>(chains_[type].size()); }
    Device& device(int type, int number) { return chains_[type].at(number - 1); }

    // Sets fault bits in a device's fault status and queues the unprompted
    // response that reports them.
    void raiseFault(int type, int number, int16_t bits);
    size_t pendingUnprompted(int type) const { return unprompted_[type].size(); }

    SimChainFaults faults;
    // Every request frame received, oldest first (pipe code, select, bytes).
    struct Received {
        uint8_t pipeCode;
        uint8_t select;
        std::vector<uint8_t> frame;
    };
    std::vector<Received> received;

    std::vector<uint8_t> exchange(uint8_t pipeCode, uint8_t select,
                                  std::span<const uint8_t> frame) override;

private:
    struct Frame {
        int dev, cat, adr, dat;
    };
    using Bytes = std::vector<uint8_t>;

    int kind(int type, int reg) const { return registers_.kind(type, reg); }
    int reachable(int type) const;
    void scan(Device& d, int number);
    int16_t read(Device& d, int reg) const;
    void write(Device& d, int reg, int16_t value);
    void answer(Bytes& out, const Frame& f);
    void answerShort(Bytes& out, int adr, int dat, size_t frameLength = 3);
    void ack(Bytes& out, int dev) { answer(out, {dev, 3, 0x0C, 0}); }
    void nack(Bytes& out, int dev) { answer(out, {dev, 3, 0x0B, 0}); }
    Bytes daisy(int type, std::span<const uint8_t> frame, bool shortened);
    Bytes identify(int type, int dat);
    void addressed(Bytes& out, int type, int number, const Frame& request, bool isWrite);
    void runCommand(Device& d, int number, int adr);
    void readAll(Bytes& out, int type, int number, int page, int adr);
    Bytes single(int type, std::span<const uint8_t> frame);
    Bytes unpromptedBuffer(int type);

    SimRegisterMap registers_;
    std::array<std::vector<Device>, 2> chains_;
    std::array<std::deque<Bytes>, 2> unprompted_;
};

}  // namespace kvb::sim
