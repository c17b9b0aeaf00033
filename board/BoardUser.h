#pragma once
// What the board layer needs of the person at the program and of the
// program around it: the boxes that tell of a lost connection, a refused
// transfer or entry, the decisions they ask for, and the program's end. The
// board layer decides when to ask and what follows from the answer (Cancel
// in a connection box ends the program); the layer above shows the boxes
// (app/BoardPrompter), and the tests reuse that or script their own.

#include "core/Services.h"

#include <string>

namespace kvb::board {

// Why the connection box comes up.
enum class ConnectionFault {
    Unconfirmed,   // a request could not be written, or its answer did not come
    WriteFailed,   // an I2C transfer's report could not be written
    ReadTimedOut,  // an I2C transfer's answer did not come
};

class BoardUser {
public:
    virtual ~BoardUser() = default;

    // --- Questions; the board layer keeps the answer as UsbCheckAnswer -----
    // No board was found: Retry searches again, Cancel ends the program.
    virtual Answer askBoardNotFound(const std::string& deviceName,
                                    const std::string& boardTitle) = 0;
    // The board did not take a request or answer it: Retry searches again,
    // Cancel ends the program.
    virtual Answer askConnectionLost(ConnectionFault fault, const std::string& boardTitle) = 0;
    // The I2C slave did not acknowledge: Retry goes back to the panel,
    // Cancel ends the program.
    virtual Answer askI2cAddressRefused() = 0;
    // A bus scan found no slave: Yes ends the program.
    virtual Answer askI2cAddressNotFound() = 0;

    // --- Notices (OK only) ------------------------------------------------
    // Answers came twice, never with the transfer's number.
    virtual void pipeOutOfStep() = 0;
    // No answer came twice; polling has been stopped.
    virtual void pipeLost() = 0;
    // After an SCL toggle the board says SDA did not come free.
    virtual void sdaError() = 0;
    // A panel button whose command the board does not offer.
    virtual void notOffered() = 0;
    // The register list file is missing or not a list.
    virtual void registersFileRefused() = 0;
    // A panel box does not hold a hexadecimal byte, or a number within
    // [low, high].
    virtual void hexByteRefused(const std::string& boxName) = 0;
    virtual void numberRefused(const std::string& boxName, unsigned low, unsigned high) = 0;

    // --- The program's end --------------------------------------------------
    // Ends the program in order (the board is closed among the shutdown
    // steps); the caller returns normally afterwards.
    virtual void endProgram() = 0;
    // The program is ending: long loops stop.
    virtual bool programEnding() const = 0;
};

}  // namespace kvb::board
