#pragma once
// The check of the chain's unprompted responses: reads the evaluation
// board's buffer of one device type and judges its first byte. An empty
// buffer only blinks the UPR lamp; a pending response stops polling, turns
// the lamp red and reads the chain's faults and voltages.

#include "app/ChipCommands.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <cstdint>

namespace kvb {

class UprBuffers {
public:
    // The first answer byte of an empty buffer.
    static constexpr uint8_t kEmptyBuffer = 0x88;

    UprBuffers(link::ChipLink& link, ChipCommands& commands, Services& services);

    // index: 0 or 1 checks that type's buffer; 2 or 3 reads type 0 or 1
    // without judging it (a flush) and is rewritten to 0 or 1. Any other
    // index is refused: nothing is sent.
    void ReadUPRBuffers(int16_t& index);
    // The "UPR0 Read" / "UPR1 Read" buttons (cmdUPRRead_0, cmdUPRRead_1).
    void cmdUPRRead_Click(int index)
    {
        int16_t copy = static_cast<int16_t>(index);
        ReadUPRBuffers(copy);
    }

private:
    void readBuffer(int16_t& index);
    // Sends the buffer request of a type; true when a response was pending.
    bool bufferHoldsResponse(int16_t type, bool readOnly);
    void responsePending();

    link::ChipLink& link_;
    ChipCommands& commands_;
    Services& services_;
};

}  // namespace kvb
