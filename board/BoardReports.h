#pragma once
// The layouts of the board's reports, each with its one builder (requests)
// or reader (answers), so that no other code names a byte position.
//
// Requests, 64 bytes, [0] the report number:
//   board command  [1] code, [2] sub-command (0 set, 1 get), payload from [3]
//   I2C transfer   [1] 0x06, [2] slave address (+1 to read), [3] data byte
//                  count, [4] register-address length L, [5 .. 4+L] the
//                  register address, the data to write after it
//   raw SPI write  [1] 0x16, [2] 0, [3] read back, [4] clock phase change,
//                  [5] phase change byte, [6] count, the data from [7]
//   chip pipe      [1] pipe command, [2] transaction number, [3] count,
//                  [4] select byte, the frame from [5]
// Answers: [0] report number, [1] error byte (0: accepted), data from [2];
// the chip pipe's: [2] transaction number, [3] count, chip bytes from [5].

#include "board/BoardProtocol.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kvb::board {

// --- Requests ---------------------------------------------------------------

inline void SetReportNumber(Report& report)
{
    report[0] = kReportNumber;
}

// A board command in a report of its own (every byte past the payload 0).
// A payload longer than the report's room is cut.
Report BoardCommandRequest(uint8_t code, uint8_t subCommand, std::span<const uint8_t> payload = {});

// The same written over `into`: bytes past the payload keep what `into`
// held, byte 0 is the report number.
void PutBoardCommand(Report& into, uint8_t code, uint8_t subCommand,
                     std::span<const uint8_t> payload = {});

// The microcontroller ADC's conversion (0x11) over `into`: the read mode
// where the sub-command stands, the sample count selection after it; bytes
// from 4 on keep what `into` held.
void PutAdcConvertRequest(Report& into, uint8_t readMode, uint8_t sampleMode);

// The SPI and port set-up record (0x14): mode byte, port bytes, daisy-chain
// select, SPI clock code and SPI time-out (high, low); sent as the payload
// of a set command and read back from a get's answer data.
using GpioSpiSetupRecord = std::array<uint8_t, 9>;
Report GpioSpiSetupRequest(const GpioSpiSetupRecord& setup);

// I2C transfer (0x06). The register address may take at most 59 bytes, a
// read at most 62 data bytes (the answer's data room); a write's register
// address and data together at most 59.
constexpr size_t kI2cRegisterRoom = kReportSize - 5;
constexpr bool I2cWriteFits(size_t addressLength, size_t count)
{
    return addressLength + count <= kI2cRegisterRoom;
}
// Writes the transfer over `into`: bytes past it keep what `into` held.
// `slave` is the address byte as sent (even to write, +1 to read); `data`
// is sent after the register address (none for a read). The caller has
// checked that it fits.
void PutI2cRequest(Report& into, uint8_t slave, uint8_t count,
                   std::span<const uint8_t> addressBytes, std::span<const uint8_t> data = {});

// The board panel's raw SPI write: command 0x16 with its own layout, not the
// chip pipe's. At most 57 data bytes.
constexpr size_t kRawSpiDataRoom = kReportSize - 7;
struct RawSpiWrite {
    bool readBack = false;
    bool phaseChange = false;
    uint8_t phaseChangeByte = 0;
    std::span<const uint8_t> data;
};
// Written over `into`: bytes past the data keep what `into` held.
void PutRawSpiWrite(Report& into, const RawSpiWrite& write);

// A chip pipe request written over `into`: `txFrame` is the select byte,
// then the chip frame; `count` bytes after the select byte are sent, 0
// where the frame ends before the count (at most 59). Bytes past the count
// keep what `into` held.
constexpr size_t kPipeFrameRoom = kReportSize - 5;
void PutPipeRequest(Report& into, uint8_t command, uint8_t transaction,
                    std::span<const uint8_t> txFrame, size_t count);

// --- Answers ----------------------------------------------------------------

// The answer data's room: bytes 2 to 63.
constexpr size_t kAnswerDataRoom = kReportSize - 2;

inline uint8_t ErrorByte(const Report& answer)
{
    return answer[1];
}
// The first `count` data bytes (at most 62).
inline std::span<const uint8_t> AnswerData(const Report& answer, size_t count)
{
    return std::span<const uint8_t>(answer).subspan(2, count);
}

// A special-function register read: the read's flag (0: good) and the
// register's value.
struct SfrAnswer {
    uint8_t flag = 0;
    uint8_t value = 0;
};
inline SfrAnswer ReadSfrAnswer(const Report& answer)
{
    return {answer[2], answer[3]};
}

// The SPI clock read: the board's system clock in MHz and its clock code.
struct SpiClockAnswer {
    uint8_t systemClockMhz = 0;
    uint8_t code = 0;
};
inline SpiClockAnswer ReadSpiClockAnswer(const Report& answer)
{
    return {answer[2], answer[3]};
}

struct FirmwareVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
};
inline FirmwareVersion ReadFirmwareVersion(const Report& answer)
{
    return {answer[2], answer[3], answer[4] * 256u + answer[5], answer[6], answer[7]};
}

// After an SCL toggle: SDA did not come free.
inline bool SdaError(const Report& answer)
{
    return (answer[2] & 1) != 0;
}

// The microcontroller ADC's conversion count.
inline unsigned ConversionCount(const Report& answer)
{
    return answer[2] * 256u + answer[3];
}

// The on-board ADC chip (0x13). A conversion is 24 bits in two's
// complement, high byte first; a register's value comes back spread over two
// bytes: bit 0 of the first, then bits 7..1 of the second.
int32_t AdcChipValue(uint8_t high, uint8_t middle, uint8_t low);
uint8_t AdcChipRegisterValue(uint8_t byte2, uint8_t byte3);
inline uint8_t AdcChipRegisterAnswer(const Report& answer)
{
    return AdcChipRegisterValue(answer[2], answer[3]);
}
inline int32_t AdcChipConversionAnswer(const Report& answer)
{
    return AdcChipValue(answer[3], answer[4], answer[5]);
}

// The set-up record as the board returns it.
GpioSpiSetupRecord ReadGpioSpiSetup(const Report& answer);

// The chip pipe's answer.
inline uint8_t PipeTransaction(const Report& answer)
{
    return answer[2];
}
// Clears the transaction number, so that the report reads as no transfer's
// answer.
inline void ClearPipeTransaction(Report& report)
{
    report[2] = 0;
}
inline uint8_t PipeCount(const Report& answer)
{
    return answer[3];
}
inline std::span<const uint8_t> PipeChipBytes(const Report& answer)
{
    return std::span<const uint8_t>(answer).subspan(5);
}

// --- Shown as they are --------------------------------------------------------

// The report's bytes from `first` on, two hexadecimal digits each, into
// `into` (as many as it holds): the panel's views of a raw report.
void ReportBytesAsHex(const Report& report, size_t first, std::span<std::string> into);

}  // namespace kvb::board
