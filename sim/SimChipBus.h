#pragma once
// What the simulated board's SPI pipe talks to: the chips behind the board.

#include <cstdint>
#include <span>
#include <vector>

namespace kvb::sim {

class SimChipBus {
public:
    virtual ~SimChipBus() = default;
    // One pipe transfer: the board command (0x15 single device, 0x16 daisy
    // chain, 0x17/0x18 unprompted-response buffer of type 0/1), the select
    // byte and the bytes clocked out after it. Returns the bytes the chips
    // sent back (the board reports their count + 1 in answer byte 3).
    virtual std::vector<uint8_t> exchange(uint8_t pipeCode, uint8_t select,
                                          std::span<const uint8_t> frame) = 0;
};

}  // namespace kvb::sim
