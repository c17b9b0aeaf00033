#pragma once
// The board panel's port pins: ports P0 to P4 of the board's
// microcontroller, each with a data, an output-mode and an input-mode
// register. Pin boxes make up the byte to write; each register is written
// and read back through the special-function-register command, and a lamp
// shows whether the read-back matched.

#include "board/HidTransport.h"
#include "panel/PanelIo.h"
#include "panel/SfrModel.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvb::panel {

enum class PortRow { Data = 0, OutputMode = 1, InputMode = 2 };

class PortModel {
public:
    static constexpr int kPorts = 5;
    static constexpr int kRowCount = 3;

    PortModel(board::HidTransport& transport, SfrModel& sfr, PanelSignals& notices);

    // The register of a port's row: data 80 90 A0 B0 C7, output mode
    // A4 A5 A6 A7 AE, input mode F1 F2 F3 F4 F5.
    static uint8_t registerAddress(PortRow row, int port);
    // Index of the row's lamp: output mode = port, data = port + 5, input
    // mode = port + 10.
    static int lampIndex(PortRow row, int port);

    // Pin boxes, [row][port][bit]: data checked = high, output mode checked
    // = push-pull, input mode checked = analog.
    bool box(PortRow row, int port, int bit) const;
    // Sets a pin box; a change runs the change handling (label, and with
    // autoWriteRead the write and read-back). The same state runs nothing.
    void setBox(PortRow row, int port, int bit, bool checked);
    // The change handling of a port's row: recomputes the write label and,
    // with autoWriteRead, writes the register and reads it back.
    void rowChanged(PortRow row, int port);

    // The byte the boxes stand for (input mode: 255 minus the analog bits).
    uint8_t rowByte(PortRow row, int port) const;
    const std::string& writeLabel(PortRow row, int port) const;
    const std::string& readLabel(PortRow row, int port) const;
    Lamp lamp(int index) const { return lamps_[index]; }

    // Writes the write label's byte (a label never computed takes the
    // boxes' byte first); no answer is read.
    void write(PortRow row, int port);
    // Reads the register back into the read label and paints the lamp.
    // An answer shows its value whatever its error byte; a missing answer
    // shows "--" and a red lamp; a request that could not be written leaves
    // the label and paints the lamp red. True when the read-back matched the
    // write label.
    bool read(PortRow row, int port);

    // The port operations of the start-up form's power-up.
    void writeData(int port) { write(PortRow::Data, port); }
    void writeOutputMode(int port) { write(PortRow::OutputMode, port); }
    bool readData(int port) { return read(PortRow::Data, port); }
    bool readOutputMode(int port) { return read(PortRow::OutputMode, port); }

    // "Reset GPIO": every output-mode box clear, every data box checked,
    // every input-mode box clear (port 3 data never taken low on the way).
    void resetGpio();
    // "Write Read All": every register written and read back.
    void writeReadAll();
    // "Clear Analog": every pin digital; ports 0 to 2 written and re-read.
    void clearAnalog();
    // "Sample GP": reads the SFR list and sets the data boxes from the port
    // data registers; a port whose read failed keeps its boxes. Then every
    // port's data row runs its change handling.
    void sampleGp();
    // "Weak Pull-Up Disable": sends the port configuration command.
    void setWeakPullUpDisable(bool disable);
    bool setGpConf();

    bool autoWriteRead = false;       // chkAutoWriteRead
    bool weakPullUpDisable = false;   // chkWeakPullUpDisable
    // Captions of the data boxes (the start-up form names the pins).
    std::array<std::array<std::string, 8>, kPorts> dataCaptions;

private:
    // Cancel in a connection box has begun ending the program.
    bool ending() const;

    std::array<std::array<std::array<bool, 8>, kPorts>, kRowCount> boxes_{};
    std::array<std::array<std::string, kPorts>, kRowCount> writeLabels_;
    std::array<std::array<std::string, kPorts>, kRowCount> readLabels_;
    std::array<Lamp, 15> lamps_{};

    board::HidTransport& transport_;
    SfrModel& sfr_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
