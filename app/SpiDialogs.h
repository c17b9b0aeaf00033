#pragma once
// The two link-timing dialogs: the SPI clock of a single-device link and
// the daisy-chain time-out. Both change the bytes the link sends to the
// board in its SPI and port set-up record, and only when OK is pressed.
// The clock dialog's list of speeds mirrors the board panel's: a speed
// picked there sets the board's SPI clock at once.

#include "core/Services.h"
#include "link/ChipLink.h"
#include "panel/SpiModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kvb {

struct SpiClockOption {
    const char* caption;
    uint8_t code;  // the board's divider: 24 MHz / (2 * (code + 1))
};
// "200 kHz" 59, "500 kHz" 23, "1 MHz" 11, "2 MHz" 5, "4 MHz" 2.
const std::array<SpiClockOption, 5>& SpiClockOptions();

// "SPI Setup : Non Daisiy Chain / Full Duplex / Synchronous ".
class SpiClockDialog {
public:
    // The board panel fills the dialog's list whenever it reads the board's
    // clock: the dialog takes the list and runs its selection handling.
    SpiClockDialog(link::ChipLink& link, panel::SpiModel& clocks, EventPump& pump)
        : link_(link), clocks_(clocks), pump_(pump)
    {
        clocks_.clockListChanged = [this] { clockListFilled(); };
    }
    ~SpiClockDialog() { clocks_.clockListChanged = nullptr; }
    SpiClockDialog(const SpiClockDialog&) = delete;
    SpiClockDialog& operator=(const SpiClockDialog&) = delete;

    int option = 4;  // the option last chosen ("4 MHz" at first)
    uint8_t pendingCode = 2;
    // The board panel's clock list and its selection (-1: none), mirrored.
    std::vector<panel::SpiClockEntry> clockList;
    int clockEntry = -1;

    // Takes the link's code as the pending one and mirrors the panel's list.
    void Form_Activate();
    void optSpiClkSpeed_Click(int index);
    // A speed picked from the list: the board panel's list takes the same
    // position and the board gets its clock code at once. The link's code
    // is not changed.
    void cboSPICLock_Click(int entry);
    // Stores the pending code; it is sent with the next single-device set-up.
    void OKButton_Click() { link_.setSpiClockCode(pendingCode); }
    void CancelButton_Click() {}

private:
    void mirror();
    // The board panel's new list, with the entry it selected; a selected
    // entry runs the list's selection handling.
    void clockListFilled();
    link::ChipLink& link_;
    panel::SpiModel& clocks_;
    EventPump& pump_;
};

constexpr int kMinSpiTimeoutUs = 100;
constexpr int kMaxSpiTimeoutUs = 30000;

// "SPI Setup  Daisy Chain: Maximum Timeout / Asynchronous Full Message
// Transfer Time".
class SpiTimeoutDialog {
public:
    SpiTimeoutDialog(link::ChipLink& link, Prompter& prompter) : link_(link), prompter_(prompter) {}

    std::string text;  // tbSpiTimeout: microseconds
    int upDown = 0;
    uint8_t pendingHigh = 0, pendingLow = 0;

    // The link's time-out (half-microseconds) in microseconds.
    void Form_Activate();
    // Only digits and Backspace reach the box.
    static bool tbSpiTimeout_KeyPress(int key);
    // Stores the box's time-out, hides the dialog (`hide`), then sends the
    // daisy-chain set-up with it at once and reads it back; without a board
    // nothing is sent. A number the box cannot give as a 32-bit integer
    // fails OK with its box: nothing is stored or sent, and the dialog
    // stays. True when the set-up was read back.
    bool OKButton_Click(const std::function<void()>& hide = {});
    void CancelButton_Click() {}

private:
    link::ChipLink& link_;
    Prompter& prompter_;
};

// The time-out bytes (half-microseconds, high and low) for a box's text:
// its leading decimal number, clamped to 100..30000 microseconds; no number
// reads as 0. std::overflow_error for a number beyond 32 bits.
std::array<uint8_t, 2> SpiTimeoutBytes(const std::string& text);
// Microseconds shown for the bytes, halves rounded to even.
int SpiTimeoutMicroseconds(uint8_t high, uint8_t low);

}  // namespace kvb
