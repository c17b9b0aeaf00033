#include "sim/SimBoard.h"

#include "sim/History.h"

#include <algorithm>
#include <cstring>

namespace kvb::sim {

using namespace kvb::board;

SimBoard::SimBoard(Clock& clock) : clock_(clock)
{
    // The microcontroller's reset state: port latches high, every pin a
    // digital input (input-mode registers all ones), outputs open-drain.
    for (int address : {0x80, 0x90, 0xA0, 0xB0, 0xC7, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5})
        sfr[static_cast<size_t>(address)] = 0xFF;
}

bool SimBoard::write(const uint8_t* data, size_t length)
{
    if (faults.failWrite || length != kReportSize)
        return false;
    Report request{};
    std::copy_n(data, kReportSize, request.begin());
    Record(requests, request);
    handle(request);
    return true;
}

int SimBoard::read(uint8_t* data, size_t length, int timeoutMs)
{
    if (pending_.empty()) {
        // Nothing to read: the wait runs out as it would on a real device.
        if (timeoutMs > 0)
            clock_.sleep(std::chrono::milliseconds(timeoutMs));
        return 0;
    }
    Report report = pending_.front();
    pending_.pop_front();
    size_t n = std::min(length, kReportSize);
    std::memcpy(data, report.data(), n);
    return static_cast<int>(n);
}

void SimBoard::answer(Report report)
{
    if (faults.noAnswer)
        return;
    if (faults.dropAnswers > 0) {
        --faults.dropAnswers;
        return;
    }
    report[0] = kReportNumber;
    if (faults.errorByte)
        report[1] = 1;
    pending_.push_back(report);
}

// A set command that the board does not answer: answered only under the
// switch, with the request's payload echoed from byte 2.
void SimBoard::answerSet(const Report& request)
{
    if (!faults.answerEverySet)
        return;
    Report reply{};
    std::copy(request.begin() + 3, request.end(), reply.begin() + 2);
    answer(reply);
}

void SimBoard::handle(const Report& request)
{
    const uint8_t code = request[1];
    Report reply{};
    switch (code) {
    case HidFirmwareVersion:
        std::copy(firmware.begin(), firmware.end(), reply.begin() + 2);
        answer(reply);
        return;
    case HidLeds:
        leds = request[3];
        answerSet(request);
        return;
    case HidGpioConfig:
        std::copy_n(request.begin() + 3, 3, gpioConfig.begin());
        answerSet(request);
        return;
    case HidI2cOptions:
        handleI2cOptions(request);
        return;
    case HidI2cTransfer:
        handleI2cTransfer(request);
        return;
    case HidSpiConfig:
        spiConfig = request[3];
        answerSet(request);
        return;
    case HidSpiClock:
        handleSpiClock(request);
        return;
    case HidAdcClock:
    case HidAdcRefControl:
    case HidAdcMux:
    case HidAdcMode:
    case HidAdcLoopCount:
    case HidAdcSampleRate:
    case HidAdcEnable:
        handleAdcSetting(request);
        return;
    case HidAdcConvert:
        reply[2] = static_cast<uint8_t>(adcConversion >> 8);
        reply[3] = static_cast<uint8_t>(adcConversion & 0xFF);
        answer(reply);
        return;
    case HidSfr:
        handleSfr(request);
        return;
    case HidAdcChipRegister:
        handleAdcChipRegister(request);
        return;
    case HidGpioSpiSetup:
        handleGpioSpiSetup(request);
        return;
    case HidSpiPipe:
    case HidSpiPipeDaisyChain:
    case HidReadUprBuffer1:
    case HidReadUprBuffer2:
        handlePipe(request);
        return;
    default:
        reply[1] = 1;  // unknown command: refused
        answer(reply);
        return;
    }
}

void SimBoard::handleI2cOptions(const Report& request)
{
    std::copy_n(request.begin() + 3, 3, i2cOptions.begin());
    if (request[5] != 1) {
        answerSet(request);
        return;
    }
    Report reply{};
    reply[2] = sclToggleAnswer;  // SCL toggled; bit 0 of byte 2 set: SDA stuck
    answer(reply);
}

void SimBoard::handleI2cTransfer(const Report& request)
{
    const uint8_t address = request[2];
    const uint8_t count = request[3];
    const uint8_t addressLength = request[4];
    Report reply{};
    if ((address & 0xFE) != kI2cSlaveAddress) {
        reply[1] = 1;  // no acknowledge
        answer(reply);
        return;
    }
    uint8_t reg = addressLength > 0 ? request[5] : 0;
    if (address & 1) {
        for (int i = 0; i < count && 2 + i < static_cast<int>(kReportSize); ++i)
            reply[2 + i] = i2cMemory[static_cast<uint8_t>(reg + i)];
    } else {
        for (int i = 0; i < count && 5 + addressLength + i < static_cast<int>(kReportSize); ++i)
            i2cMemory[static_cast<uint8_t>(reg + i)] = request[5 + addressLength + i];
    }
    answer(reply);
}

void SimBoard::handleSpiClock(const Report& request)
{
    if (request[2] == kSubSet) {
        spiClockCode = request[3];
        answerSet(request);
        return;
    }
    Report reply{};
    reply[2] = kSystemClockMhz;
    reply[3] = spiClockCode;
    answer(reply);
}

void SimBoard::handleAdcSetting(const Report& request)
{
    const uint8_t code = request[1];
    Report reply{};
    if (request[2] != kSubSet) {
        handleAdcGet(code, reply);
        answer(reply);
        return;
    }
    adcSettings[code] = request[3];
    if (code == HidAdcMux)
        adcSettings[0xFF] = request[4];  // negative input
    if (code == HidAdcSampleRate)
        adcSampleRateLow = request[4];
    // The board answers the ADC setting writes (the multiplexer's
    // excepted) with the setting as a read shows it.
    if (code == HidAdcMux || code == HidAdcRefControl) {
        answerSet(request);
    } else {
        handleAdcGet(code, reply);
        answer(reply);
    }
}

void SimBoard::handleSfr(const Report& request)
{
    if (request[2] == kSubSet) {
        sfr[request[3]] = request[4];
        answerSet(request);
        return;
    }
    Report reply{};
    reply[2] = faults.sfrReadFlag;
    reply[3] = sfr[request[3]];
    answer(reply);
}

void SimBoard::handleAdcChipRegister(const Report& request)
{
    Report reply{};
    if (request[2] == kSubSet) {
        // A register write: the chip shifts the register back out, its
        // bit 7 in bit 0 of byte 2 and bits 6..0 in bits 7..1 of byte 3.
        uint32_t value = request[4];
        adcChipRegisters[request[3]] = value;
        reply[2] = static_cast<uint8_t>((value >> 7) & 1);
        reply[3] = static_cast<uint8_t>((value << 1) & 0xFF);
        reply[4] = request[5];
        answer(reply);
        return;
    }
    reply[3] = static_cast<uint8_t>(adcChipConversion >> 16);
    reply[4] = static_cast<uint8_t>(adcChipConversion >> 8);
    reply[5] = static_cast<uint8_t>(adcChipConversion);
    answer(reply);
}

void SimBoard::handleGpioSpiSetup(const Report& request)
{
    if (request[2] == kSubSet) {
        std::copy_n(request.begin() + 3, gpioSpiSetup.size(), gpioSpiSetup.begin());
        answerSet(request);
        return;
    }
    Report reply{};
    std::copy(gpioSpiSetup.begin(), gpioSpiSetup.end(), reply.begin() + 2);
    answer(reply);
}

void SimBoard::handleAdcGet(uint8_t code, Report& reply)
{
    switch (code) {
    case HidAdcClock:
        reply[2] = kSystemClockMhz;
        reply[3] = adcSettings[code];
        return;
    case HidAdcMux: {
        reply[2] = adcSettings[code];
        reply[3] = adcSettings[0xFF];
        // The port registers the multiplexer depends on: input modes and skips.
        const uint8_t ports[] = {0xF1, 0xD4, 0xF2, 0xD5, 0xF3, 0xD6, 0xF4, 0xDF, 0xF5};
        for (size_t i = 0; i < std::size(ports); ++i)
            reply[4 + i] = sfr[ports[i]];
        return;
    }
    case HidAdcSampleRate:
        reply[2] = kSystemClockMhz;
        reply[3] = adcSettings[code];
        reply[4] = adcSampleRateLow;
        return;
    default:
        reply[2] = adcSettings[code];
        return;
    }
}

void SimBoard::handlePipe(const Report& request)
{
    if (request[1] == HidSpiPipeDaisyChain && request[2] == 0) {
        // The panel's raw SPI write (no transaction number): count in byte 6,
        // data from byte 7; with read-back (byte 3) the bytes clocked in
        // come back from byte 2. No chip answers the raw bus: they loop back.
        if (request[3] == 1) {
            Report reply{};
            const size_t count = std::min<size_t>(request[6], kReportSize - 7);
            std::copy_n(request.begin() + 7, count, reply.begin() + 2);
            answer(reply);
        } else {
            answerSet(request);
        }
        return;
    }

    const uint8_t transaction = request[2];
    const uint8_t count = std::min<uint8_t>(request[3], kReportSize - 5);
    const uint8_t select = request[4];
    // The count includes the select byte; the bytes clocked out follow it.
    std::span<const uint8_t> frame(request.data() + 5, count > 0 ? count - 1u : 0u);

    std::vector<uint8_t> chipBytes;
    if (chipBus_)
        chipBus_->exchange(request[1], select, frame).swap(chipBytes);
    else
        chipBytes.assign(frame.begin(), frame.end());  // no chips fitted: bytes loop back
    if (chipBytes.size() > kReportSize - 5)
        chipBytes.resize(kReportSize - 5);

    auto earlier = [](uint8_t id) -> uint8_t { return id <= 1 ? 7 : id - 1; };
    for (int i = 0; i < faults.staleAnswers; ++i) {
        Report stale{};
        stale[2] = earlier(transaction);
        answer(stale);
    }

    Report reply{};
    reply[2] = faults.wrongTransaction ? earlier(transaction) : transaction;
    reply[3] = static_cast<uint8_t>(chipBytes.size() + 1);
    std::copy(chipBytes.begin(), chipBytes.end(), reply.begin() + 5);
    answer(reply);
}

namespace {

class SimDevice : public HidDevice {
public:
    explicit SimDevice(std::shared_ptr<SimBoard> board) : board_(std::move(board)) {}
    bool write(const uint8_t* data, size_t length) override { return board_->write(data, length); }
    int read(uint8_t* data, size_t length, int timeoutMs) override
    {
        return board_->read(data, length, timeoutMs);
    }

private:
    std::shared_ptr<SimBoard> board_;
};

}  // namespace

std::shared_ptr<SimBoard> SimHidBackend::plug(Clock& clock, uint16_t productId, uint16_t vendorId)
{
    auto board = std::make_shared<SimBoard>(clock);
    devices_.push_back({{"sim:" + std::to_string(nextId_++), vendorId, productId}, board});
    return board;
}

std::vector<HidDeviceInfo> SimHidBackend::enumerate()
{
    std::vector<HidDeviceInfo> infos;
    for (const auto& device : devices_)
        infos.push_back(device.info);
    return infos;
}

std::unique_ptr<HidDevice> SimHidBackend::open(const std::string& path)
{
    for (const auto& device : devices_) {
        if (device.info.path == path) {
            ++opens_;
            return std::make_unique<SimDevice>(device.board);
        }
    }
    return nullptr;
}

}  // namespace kvb::sim
