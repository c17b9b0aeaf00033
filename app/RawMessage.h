#pragma once
// The raw message sender: five hexadecimal fields (device, data type, data
// address, data, CRC4) typed with calculator-like key rules, the frame the
// chip link would send for them in either framing, and sending it as a
// register read or write.

#include "app/HexRowEditor.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <array>
#include <string>
#include <vector>

namespace kvb {

enum RawField : int { RawDevice, RawDataType, RawAddress, RawData, RawCrc4 };
constexpr int kRawFields = 5;
constexpr int kMaxFrameBoxes = 4;

using RawFieldTexts = std::array<std::string, kRawFields>;

// A field's number of digits (address 2, data 4, the others 1) and its
// empty text ("00", "0000", "0").
int RawFieldWidth(int field);
std::string RawFieldZero(int field);
RawFieldTexts RawFieldZeros();

// Applies one typed key to a field. Escape empties the field to its zero
// text; hexadecimal digits and Backspace follow HexDigitKey. False when the
// key is refused (the field is unchanged); the caller re-encodes either way.
bool RawFieldKeyPress(HexEdit& edit, int field, int key);

// The message the fields describe, encoded for the framing: on a daisy chain
// all four fields, on a single-device link all but the device. Throws
// std::overflow_error when the data is 8000 hex or more (it does not fit a
// signed 16-bit value) and std::invalid_argument for a field that is not
// hexadecimal.
link::ChipMessage BuildRawMessage(const RawFieldTexts& fields, bool daisyChain, int deviceType);

// What the panel shows for an encoded message: one two-digit box per frame
// byte (the others hidden) and, on a daisy chain, the CRC4 digit.
struct RawFrameDisplay {
    std::vector<std::string> bytes;
    std::string crc4;  // empty on a single-device link: the field keeps its text
};
RawFrameDisplay DisplayRawFrame(const link::ChipMessage& message, bool daisyChain);

// Sends the fields' message to a device type as a read (data type 0..7) or
// a write (8..F), after checking the board and that the type is present.
class RawMessageSender {
public:
    RawMessageSender(link::ChipLink& link, Services& services) : link_(link), services_(services)
    {
    }

    void cbSendRawMsg_Click(const RawFieldTexts& fields, int deviceType);

private:
    link::ChipLink& link_;
    Services& services_;
};

}  // namespace kvb
