#pragma once
// The board panel: the engineering window's state for the board's
// microcontroller. It owns one model per control group (ports, SFRs, SPI,
// I2C address and transfers, the microcontroller's ADC, the on-board ADC
// chip) plus the board-instance list, the LEDs and the firmware version, and
// its load opens the board. Unloading it ends the program.

#include "board/ChipPipe.h"
#include "board/HidTransport.h"
#include "panel/AdcChipModel.h"
#include "panel/ByteGrid.h"
#include "panel/I2cAddressModel.h"
#include "panel/I2cTransferModel.h"
#include "panel/McuAdcModel.h"
#include "panel/PanelIo.h"
#include "panel/PipeView.h"
#include "panel/PortModel.h"
#include "panel/SfrModel.h"
#include "panel/SpiModel.h"

#include <array>
#include <string>
#include <vector>

namespace kvb::panel {

// "Firmware Version 2.5 - 2012/October/31" from a firmware answer; a month
// outside 1..12 is shown as its number.
std::string FirmwareVersionText(const board::Report& answer, Formatter& format);

class BoardPanel final : private board::BoardListWatcher {
public:
    BoardPanel(board::HidTransport& transport, ByteGrid& grid, board::ChipPipe& pipe);
    BoardPanel(const BoardPanel&) = delete;
    BoardPanel& operator=(const BoardPanel&) = delete;

    PanelSignals notices;
    // The "MCB I/O" frame and the grid's first rows follow the chip pipe.
    PipeView pipeView;
    SfrModel sfr;
    PortModel ports;
    SpiModel spi;
    I2cAddressModel i2cAddress;
    I2cTransferModel i2c;
    McuAdcModel mcuAdc;
    AdcChipModel adcChip;

    // Opens the board (the board search), then sets the grid and the I2C
    // address box to their starting texts. False when the search was
    // cancelled, which ends the program.
    bool load();
    bool loaded() const { return loaded_; }
    // Ends the program; its shutdown closes the board first.
    void unload();

    // Board instances: the texts "0", "1", ... of the open boards.
    std::vector<std::string> instances;
    int selectedInstance = -1;
    void refillInstances();
    void boardListChanged() override { refillInstances(); }
    void selectInstance(int index);

    // "Pause on Nack": a not-acknowledge answer stops with the error log in
    // a box until the user closes it. Clear when the panel loads.
    bool PauseOnNack = false;

    // LEDs: [0] red, [1] green.
    std::array<bool, 2> leds{};
    bool setLed(int index, bool on);

    // Firmware version label and its copy, from the answer whatever its
    // error byte; "--" when the board gave no answer.
    std::string firmwareVersion;
    std::string firmwareVersionCopy;
    bool readFirmwareVersion();

private:
    board::HidTransport& transport_;
    ByteGrid& grid_;
    bool loaded_ = false;
};

}  // namespace kvb::panel
