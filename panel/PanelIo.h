#pragma once
// Small helpers shared by the board panel's models: status lamps, the check
// of a hexadecimal or decimal entry box before its value is sent, and the
// board commands whose answer the panel does not wait for.

#include "board/HidTransport.h"
#include "panel/ByteGrid.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace kvb::panel {

// A status lamp of the panel.
enum class Lamp { Off, LightGreen, DarkGreen, LightRed, Black };

// The colour after a good result: it alternates between light and dark
// green so that every good result visibly changes the lamp.
inline Lamp nextGood(Lamp current)
{
    return current == Lamp::LightGreen ? Lamp::DarkGreen : Lamp::LightGreen;
}

// What the panel's models tell the window: a box or label changed (refresh
// it), or a long operation starts or ends (the controls are disabled while
// it runs, since it lets window events run in between). Both are window
// hooks: the panel window comes and goes while the models live on, and it
// clears them when it goes.
struct PanelSignals {
    std::function<void()> changed;
    std::function<void(bool busy)> busyChanged;
    int busyDepth = 0;

    void notify()
    {
        if (changed)
            changed();
    }
};

// Marks the panel busy for the lifetime of the scope.
class BusyScope {
public:
    explicit BusyScope(PanelSignals& notices) : notices_(notices)
    {
        if (notices_.busyDepth++ == 0 && notices_.busyChanged)
            notices_.busyChanged(true);
    }
    ~BusyScope()
    {
        if (--notices_.busyDepth == 0 && notices_.busyChanged)
            notices_.busyChanged(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    PanelSignals& notices_;
};

// The box's text as one byte of hexadecimal digits; otherwise a message
// naming the box and nothing.
std::optional<uint8_t> HexByteField(board::BoardUser& user, const std::string& text,
                                    const std::string& boxName);
// The box's text as a decimal number within [low, high]; otherwise a
// message naming the box and nothing.
std::optional<uint8_t> DecByteField(board::BoardUser& user, const std::string& text,
                                    const std::string& boxName, unsigned low, unsigned high);

// The bytes write boxes 0..count-1 hold, each read as a hexadecimal byte;
// nothing, after a message naming the first box that is not one.
std::optional<std::vector<uint8_t>> WriteBoxBytes(board::BoardUser& user, const ByteGrid& grid,
                                                  int count);
// The bytes a raw SPI or I2C block write sends: the register list when "Load
// Write Data from File" is ticked, the write boxes otherwise.
std::optional<std::vector<uint8_t>> TransferWriteBytes(board::BoardUser& user, const ByteGrid& grid,
                                                       int count);

// Writes a board command from a cleared report buffer without reading an
// answer and without reporting a failed write. True when it was written.
bool SendUnchecked(board::HidTransport& transport, uint8_t code, uint8_t subCommand,
                   std::initializer_list<uint8_t> payload);

}  // namespace kvb::panel
