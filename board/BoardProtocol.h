#pragma once
// The evaluation board's USB HID report protocol: the report's size and
// number, command codes and transfer status codes. The layouts of the
// requests and answers are in BoardReports.h.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kvb::board {

constexpr uint16_t kBoardVendorId = 0x2B7E;
constexpr uint16_t kBoardProductId = 0x2035;

constexpr size_t kReportSize = 64;
using Report = std::array<uint8_t, kReportSize>;

constexpr uint8_t kReportNumber = 1;

// Report byte 2 of a board command: set/write or get/read.
constexpr uint8_t kSubSet = 0;
constexpr uint8_t kSubGet = 1;

// Board command codes (report byte 1).
enum Command : uint8_t {
    HidFirmwareVersion = 0x00,
    HidLeds = 0x01,
    HidGpioConfig = 0x02,
    HidI2cOptions = 0x04,
    HidI2cTransfer = 0x06,
    HidSpiConfig = 0x07,
    HidSpiClock = 0x08,
    HidAdcClock = 0x0A,
    HidAdcRefControl = 0x0B,
    HidAdcMux = 0x0C,
    HidAdcMode = 0x0D,
    HidAdcLoopCount = 0x0E,
    HidAdcSampleRate = 0x0F,
    HidAdcEnable = 0x10,
    HidAdcConvert = 0x11,
    HidSfr = 0x12,
    HidAdcChipRegister = 0x13,
    HidGpioSpiSetup = 0x14,
    HidSpiPipe = 0x15,
    HidSpiPipeDaisyChain = 0x16,
    HidReadUprBuffer1 = 0x17,
    HidReadUprBuffer2 = 0x18,
};

// Transfer status of a board exchange. A status that comes back must be
// looked at, or left unchecked where it is said so (leaveUnchecked).
enum class [[nodiscard]] Status : int16_t {
    None = 0,
    Refused = 1,      // answer arrived with a nonzero error byte
    TimedOut = 2,     // no answer within the wait
    WriteFailed = 4,  // the report could not be written
    Done = 8,         // answer arrived, error byte 0
};

// An answer came back, whatever its error byte: the panel shows the bytes
// the board sent, its error byte among them, and leaves judging them to the
// engineer.
constexpr bool AnswerArrived(Status status)
{
    return status == Status::Done || status == Status::Refused;
}

// Says where a result is dropped that the exchange does not look at: the
// code goes on the same whatever it is.
template <typename Result>
constexpr void leaveUnchecked(const Result&) noexcept
{
}

// Longest wait for a board command's answer.
constexpr int kAnswerWaitMs = 6000;

}  // namespace kvb::board
