#pragma once
// Chip messages and the two framings the chips understand: the daisy-chain
// framing (device field, 4-bit CRC in the low nibble of the last byte) and
// the single-device framing (no device, no CRC). Pure computation.

#include <cstdint>
#include <span>
#include <vector>

namespace kvb::link {

// Category bit that marks a write.
constexpr uint8_t kWriteFlag = 0x08;
// Device number that addresses every device of the chain.
constexpr uint8_t kBroadcastDevice = 15;

// One exchange with a chip. The encoders and the link write masked fields
// and answers back into the caller's message.
struct ChipMessage {
    ChipMessage() = default;
    ChipMessage(uint8_t device, uint8_t category, uint8_t address, int16_t data = 0,
                int16_t deviceType = 0)
        : dev(device), cat(category), adr(address), dat(data), DeviceType(deviceType)
    {
    }

    uint8_t dev = 0;                  // 1..14 chain position, 15 all, 0 identify
    uint8_t cat = 0;                  // register page (bits 0-2), write flag (bit 3)
    uint8_t adr = 0;                  // address within the page, 0..63
    int16_t dat = 0;                  // 14 data bits
    std::vector<uint8_t> FrameBytes;  // the encoded request
    int16_t DeviceType = 0;           // 0 or 1

    bool isWrite() const { return (cat & kWriteFlag) != 0; }
    bool allZero() const { return dev == 0 && cat == 0 && adr == 0 && dat == 0; }
};

// Masks the fields in place and fills FrameBytes with the 3-byte (read or
// command) or 4-byte (write) daisy-chain frame, CRC included.
bool EncodeDaisyChainMessage(ChipMessage& message);
// Masks category, address and data in place and fills FrameBytes with the
// 2-byte (read or command) or 3-byte (write) single-device frame.
bool EncodeNonDaisyMessage(ChipMessage& message);

// Splits a daisy-chain answer frame. A 4-byte frame writes all four fields,
// a 3-byte (continuation) frame only address and data; the fields are
// written even when the CRC is wrong. Returns whether the CRC is right; any
// other length writes nothing and returns false.
bool DecodeDaisyChainResponse(uint8_t& dev, uint8_t& cat, uint8_t& adr, int16_t& dat,
                              std::span<const uint8_t> frame);

// The CRC over every bit of the frame but the low nibble of its last byte,
// first bit sent as the highest power, divided by x^4 + x + 1 (no augmenting
// zeros, no final inversion).
uint8_t ComputeCrc4(std::span<const uint8_t> frame);
void InsertCrc4(std::span<uint8_t> frame);
bool CheckCrc4(std::span<const uint8_t> frame);

// The byte the board receives in front of every frame: bit 6 the device
// type, bit 7 a 4-byte daisy-chain frame.
uint8_t SelectByte(int deviceType, bool daisyChain, size_t frameLength);
// The request for a type's buffered unprompted responses (sent alone).
uint8_t UprBufferSelectByte(int deviceType);
// Device type named by a select byte.
inline int SelectedType(uint8_t select) { return (select & 0x40) ? 1 : 0; }

}  // namespace kvb::link
