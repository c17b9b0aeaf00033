#pragma once
// The start-up form's power-up of the board: names the board, sets the 24
// pins of ports 0 to 2 through the board panel's port model, writes data,
// output modes and data again, and reads both back.

#include "panel/BoardPanel.h"

#include <array>
#include <string>

namespace kvb {

struct PinSetting {
    const char* caption;  // exactly 11 characters
    bool value;           // data box: high
    bool pushPull;        // output-mode box: push-pull
};

// Pins P0.0..P0.7, P1.0..P1.7, P2.0..P2.7 in that order.
const std::array<PinSetting, 24>& StartupPins();

class StartupSequence {
public:
    StartupSequence(panel::BoardPanel& panel, panel::ByteGrid& grid,
                    board::HidTransport& transport, Services& services)
        : panel_(panel), grid_(grid), transport_(transport), services_(services)
    {
    }

    // The power-up before the main window opens (list entry 1).
    void PowerUp();
    // "Show Battery Board  GPIO": the same set-up with P1.0 push-pull, the
    // ports set digital, and a short pause after each step; the start-up
    // form stays.
    void BatteryBoardGpio();

private:
    void nameBoard();
    void setPins(bool p10PushPull);
    void writeAndReadBack(bool pauseBetweenGroups);
    void pause();

    panel::BoardPanel& panel_;
    panel::ByteGrid& grid_;
    board::HidTransport& transport_;
    Services& services_;
};

}  // namespace kvb
