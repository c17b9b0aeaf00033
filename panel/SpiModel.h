#pragma once
// The board panel's SPI group: the clock polarity, phase and slave-select
// options, the SPI clock list (the speeds the board can make, shared with the
// main window's SPI clock dialog), the raw SPI write with optional read-back,
// and the chip pipe's "MCB SPI" and "Custom Sequence" buttons, which send
// the grid's bytes through the chip pipe.

#include "board/ChipPipe.h"
#include "board/HidTransport.h"
#include "panel/ByteGrid.h"
#include "panel/PanelIo.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvb::panel {

struct SpiClockEntry {
    std::string text;  // the speed in MHz as shown, "12", "2.4", "0.666"
    uint8_t code = 0;  // the board's clock code, what is sent
};

// The speeds of the clock codes 23 down to 0 (slowest first) for a system
// clock of `systemClockMhz`, keeping only those of at least 500 kHz, written
// with the user's decimal separator.
std::vector<SpiClockEntry> SpiClockList(unsigned systemClockMhz,
                                        const std::string& decimalSeparator);

class SpiModel {
public:
    static constexpr int kClockCodes = 24;
    // Report bytes 7..63 carry the raw write's data.
    static constexpr int kMaxRawBytes = static_cast<int>(board::kRawSpiDataRoom);
    static constexpr int kRawReadBack = 21;

    SpiModel(board::HidTransport& transport, ByteGrid& grid, board::ChipPipe& pipe,
             PanelSignals& notices);

    // Options; setting one sends all three (chkSPIckpol/ckpha/ss).
    bool clockPolarity = false;
    bool clockPhase = false;
    bool slaveSelect = false;
    void setOption(bool& option, bool value);
    bool setSPIconfig();

    // The clock list and its selection (-1: none).
    std::vector<SpiClockEntry> clockEntries;
    int selectedClock = -1;
    // Reads the board's clock, rebuilds the list, selects the current speed
    // and sends its code back, whatever the answer's error byte; then the
    // dialog's list follows (clockListChanged). An unanswered query empties
    // both lists; a request that could not be written leaves them. False
    // when the board gave no answer.
    bool getSPIclock();
    // Selects an entry; a changed selection sends its code.
    void selectClock(int index);
    // Sends the selected entry's code; with none selected nothing is sent.
    bool writeClock();
    // Tells the SPI clock dialog to fill its list and take the selection,
    // which runs the dialog's own selection handling. A window hook: the
    // dialog lives shorter than the model and clears it when it goes.
    std::function<void()> clockListChanged;

    // Raw write (chkSPIread, chkSPIClockPhaseChange, txtClockPhaseChangeByte).
    bool readBack = false;
    bool phaseChange = false;
    std::string phaseChangeByte = "0";
    bool spiWrite();

    // The chip pipe from the grid: txtNumToWrite bytes (select byte counted)
    // from the write boxes, after the select byte of the pipe's last frame.
    board::PipeResult mcbSpi();
    // The fixed test sequence; it stops after a transfer that found the
    // board lost.
    void testSequence();

private:

    board::HidTransport& transport_;
    ByteGrid& grid_;
    board::ChipPipe& pipe_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
