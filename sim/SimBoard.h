#pragma once
// A simulated evaluation board: answers every board command the way the
// real board's firmware does, and relays chip frames to a simulated chip bus.
// It plugs into the program through SimHidBackend, like a real board
// through hidapi.

#include "board/BoardProtocol.h"
#include "board/HidBackend.h"
#include "core/Services.h"
#include "sim/SimChipBus.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace kvb::sim {

using board::Report;

// Switches that make the board misbehave, for tests and demonstrations.
struct SimBoardFaults {
    bool noAnswer = false;          // requests are taken but never answered
    bool wrongTransaction = false;  // pipe answers carry another transaction number
    bool errorByte = false;         // every answer has a nonzero error byte
    bool failWrite = false;         // writing a report fails
    int dropAnswers = 0;            // the next N answers are lost
    int staleAnswers = 0;           // before each pipe answer, N answers of an earlier transfer
    uint8_t sfrReadFlag = 0;        // byte 2 (the read's flag) of every register read's answer
    // Every set command is answered too (the board answers only some), so
    // that a read that does not drain first takes a stale answer.
    bool answerEverySet = false;
};

class SimBoard {
public:
    static constexpr uint8_t kSystemClockMhz = 24;
    static constexpr uint8_t kI2cSlaveAddress = 0x50;  // 8-bit form

    explicit SimBoard(Clock& clock);

    // The HID side.
    bool write(const uint8_t* data, size_t length);
    int read(uint8_t* data, size_t length, int timeoutMs);

    void setChipBus(SimChipBus* bus) { chipBus_ = bus; }
    // Puts an input report in the queue as if the board had sent it.
    void queueReport(const Report& report) { pending_.push_back(report); }
    size_t pendingReports() const { return pending_.size(); }

    SimBoardFaults faults;

    // Reports written to the board, oldest first (the most recent 50000 at
    // least; older ones are dropped in long sessions).
    std::vector<Report> requests;

    // Board state, visible to tests.
    std::array<uint8_t, 256> sfr{};             // special-function registers
    uint8_t leds = 0;
    std::array<uint8_t, 3> gpioConfig{};
    std::array<uint8_t, 3> i2cOptions{};
    uint8_t sclToggleAnswer = 0;                // byte 2 of a toggle's answer: bit 0, SDA stuck
    uint8_t spiConfig = 0;
    uint8_t spiClockCode = 0;
    std::map<uint8_t, uint8_t> adcSettings;     // by command code 0x0A..0x10
    uint16_t adcConversion = 0x0200;
    std::array<uint8_t, 9> gpioSpiSetup{};
    std::array<uint8_t, 256> i2cMemory{};       // the I2C slave's registers
    std::map<uint8_t, uint32_t> adcChipRegisters;  // by the register byte of a write
    uint32_t adcChipConversion = 0x000000;         // the ADC chip's 24-bit result
    uint8_t adcSampleRateLow = 0;                  // second byte of the sample rate
    std::array<uint8_t, 6> firmware{2, 1, 0x07, 0xEA, 12, 8};  // 2.1, 2026-12-08

private:
    void answer(Report report);
    void answerSet(const Report& request);
    // Dispatches a request by its command code; one handler per command
    // with more than a line of work.
    void handle(const Report& request);
    void handleI2cOptions(const Report& request);
    void handleI2cTransfer(const Report& request);
    void handleSpiClock(const Report& request);
    void handleAdcSetting(const Report& request);
    void handleSfr(const Report& request);
    void handleAdcChipRegister(const Report& request);
    void handleGpioSpiSetup(const Report& request);
    void handlePipe(const Report& request);
    void handleAdcGet(uint8_t code, Report& reply);

    Clock& clock_;
    SimChipBus* chipBus_ = nullptr;
    std::deque<Report> pending_;
};

// The simulated USB: boards plugged in by tests or by the program's
// simulated-board option, plus any foreign HID devices.
class SimHidBackend : public board::HidBackend {
public:
    // Plugs a board in; returns it. The product ID may differ from the
    // board's to stand for a foreign device.
    std::shared_ptr<SimBoard> plug(Clock& clock, uint16_t productId = board::kBoardProductId,
                                   uint16_t vendorId = board::kBoardVendorId);
    void unplugAll() { devices_.clear(); }
    // Number of devices that were opened, foreign ones included.
    int opens() const { return opens_; }

    std::vector<board::HidDeviceInfo> enumerate() override;
    std::unique_ptr<board::HidDevice> open(const std::string& path) override;

private:
    struct Plugged {
        board::HidDeviceInfo info;
        std::shared_ptr<SimBoard> board;
    };
    std::vector<Plugged> devices_;
    int nextId_ = 0;
    int opens_ = 0;
};

}  // namespace kvb::sim
