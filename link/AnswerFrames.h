#pragma once
// Reading the chips' answers: bytes in, frames out. The daisy-chain walk
// splits an answer into its 4-byte frames and, after a read-all command,
// into the 3-byte frames of the block, checking each frame's CRC; the
// single-device link answers with one value. Pure computation: what the
// frames mean for the register image, the lamps and the logs is the link's.

#include "link/ChipFrame.h"
#include "link/RegisterModel.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kvb::link {

// One frame of a daisy-chain answer. A 3-byte frame carries address and
// data only: it keeps the device and category of the frame before it.
struct AnswerFrame {
    uint8_t dev = 0;
    uint8_t cat = 0;
    uint8_t adr = 0;
    int16_t dat = 0;
    bool crcOk = false;

    int reg() const { return RegisterIndex(cat, adr); }
};

// The frames of a daisy-chain answer (the chip bytes, from report byte 5),
// up to and including the first whose CRC fails; bytes left over that do
// not fill a frame are dropped. `answerType` is the device type the select
// byte named, `request` the message that was sent, and `readAll` whether
// its register is a read-all command: then the frame from the requested
// device that carries the block's last address switches the walk to the
// block's 3-byte frames.
std::vector<AnswerFrame> parseDaisyAnswer(std::span<const uint8_t> answer, int answerType,
                                          const ChipMessage& request, bool readAll);

// The first frame of a daisy-chain answer, when the answer holds a whole
// 4-byte frame whose CRC is right.
std::optional<AnswerFrame> firstDaisyFrame(std::span<const uint8_t> answer);

// The register value a single-device answer carries in its third and
// fourth bytes (report bytes 7 and 8), the top two bits dropped; nothing
// when the answer is shorter.
std::optional<int16_t> singleDeviceValue(std::span<const uint8_t> answer);

}  // namespace kvb::link
