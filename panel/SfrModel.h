#pragma once
// The board panel's special-function registers: one register read or
// written by address, and the list of 26 port, crossbar and SPI registers
// read in one go. The port model addresses its registers through the same
// address box.

#include "board/HidTransport.h"
#include "panel/PanelIo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kvb::panel {

struct SfrRow {
    std::string caption;         // first two characters: the address
    std::string written = "00";  // "Write" column
    std::string read = "00";     // "Read" column
    Lamp lamp = Lamp::Off;
};

class SfrModel {
public:
    static constexpr int kRows = 26;
    // Rows of the port data registers P0 to P4.
    static constexpr std::array<int, 5> kPortDataRows{0, 1, 2, 16, 17};

    SfrModel(board::HidTransport& transport, PanelSignals& notices);

    std::string address = "80";      // txtSFRAddress
    std::string writeData = "AA";    // txtSFRWRData
    std::array<std::string, 4> buffer;  // lblSFRBuf: report number, error, flag, value
    std::array<SfrRow, kRows> rows;
    bool writeEqRead = false;        // chkWriteEqRead

    // "Read SFR": reads the register named by the address box. The answer's
    // bytes 0 to 3 show in `buffer`, whatever its error byte; a missing
    // answer shows "--". Returns the value whenever an answer came.
    std::optional<uint8_t> readSfr();
    // "Write SFR": writes the value box into the register of the address box.
    bool writeSfr();
    // "Read All": the 26 rows in order.
    void readAll();
    // Click on a row's read box.
    void readRow(int row);

    // Register access for the port model (sets the address box first).
    std::optional<uint8_t> readRegister(uint8_t address);
    void writeRegister(uint8_t address, uint8_t value);
    // Status of the last register read (8 answered, 1 refused, 2 no answer,
    // 4 the request could not be written).
    board::Status lastReadStatus() const { return lastReadStatus_; }

private:
    void readListed(int row, bool copyToWritten);
    // The answer of a read whenever one came.
    std::optional<board::SfrAnswer> readAt(uint8_t address, bool show);

    board::HidTransport& transport_;
    PanelSignals& notices_;
    board::Status lastReadStatus_ = board::Status::None;
};

}  // namespace kvb::panel
