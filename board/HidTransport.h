#pragma once
// The USB HID transport to the evaluation board: finds and opens every board
// with the board's vendor and product ID, keeps the one shared report buffer,
// exchanges 64-byte reports with bounded waits, drains stale input, and turns
// failures into the Retry/Cancel connection boxes, which the board's user
// (BoardUser) shows.

#include "board/BoardProtocol.h"
#include "board/BoardReports.h"
#include "board/BoardUser.h"
#include "board/HidBackend.h"
#include "core/Services.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kvb::board {

// Who follows the list of open boards.
class BoardListWatcher {
public:
    virtual void boardListChanged() = 0;

protected:
    ~BoardListWatcher() = default;
};

class HidTransport {
public:
    HidTransport(HidBackend& backend, Services& services, BoardUser& user);

    // --- Board search and handles -----------------------------------------
    // Searches for every board, opens each and makes board 0 current. When
    // none is found it asks Retry/Cancel until one is found or the user
    // cancels; Cancel ends the program and returns false.
    bool InitUsbHidConnection();
    // Closes every board; no board is current afterwards.
    void CloseHidHandles();
    size_t boardCount() const { return boards_.size(); }
    // Makes board `index` current (the board panel's instance list).
    bool selectBoard(size_t index);
    // Index of the current board, -1 when none is open.
    int currentBoard() const { return current_; }
    bool hasBoard() const { return current_ >= 0; }

    // --- Report exchange --------------------------------------------------
    // The report buffer is the transport's own: every board command is built
    // in it and its answer read into it. Outside the transport it is read
    // only, as the last report it holds (the answer of the last exchange
    // that read one, or what the last drain left).
    const Report& lastReport() const { return report_; }

    // Writes `request` (64 bytes) to the current board. False when there is
    // no board or the write failed.
    [[nodiscard]] bool writeReport(const Report& request);
    // Puts `request` into the report buffer, where every board command is
    // built and its answer then read, and writes it.
    [[nodiscard]] bool writeRequest(const Report& request);

    // Requests written over the report buffer as it stands: bytes past
    // their payload keep what it held. Each is kept in the buffer and
    // written; false when there is no board or the write failed.
    [[nodiscard]] bool writeBoardCommandOverBuffer(uint8_t code, uint8_t subCommand,
                                                   std::span<const uint8_t> payload = {});
    [[nodiscard]] bool writeAdcConvertRequest(uint8_t readMode, uint8_t sampleMode);
    [[nodiscard]] bool writeRawSpi(const RawSpiWrite& write);
    // A chip pipe request built and kept in the buffer, written without
    // waiting for its answer; the buffer's transaction byte is cleared after
    // the write, so that it reads as nobody's answer.
    [[nodiscard]] bool writeUnawaitedPipeRequest(uint8_t command, uint8_t transaction,
                                                 std::span<const uint8_t> txFrame, size_t count);
    // The chip pipe builds its requests over lastReport() without keeping
    // them, and keeps the last report it read in the buffer.
    void keepLastRead(const Report& report) { report_ = report; }
    // Clears the report buffer and reads one answer into it, as ReadReport;
    // a missing answer brings up the connection box (Retry searches again,
    // Cancel ends the program) before its status 2 is returned.
    Status awaitAnswer();
    // Reads whatever report is waiting, at most waitMs, into `into`. Returns
    // bytes read, 0 when none came, -1 on a device error or with no board.
    int readInto(Report& into, int waitMs);
    // Discards every input report already waiting. Stops at the first probe
    // that times out or fails, and after a bounded number of reports.
    void FlushHidInput();

    // 8 when the write succeeded; otherwise the connection box ("Please
    // check USB connection." / "checkStatus"): Retry searches again, Cancel
    // ends the program; returns 0 then.
    Status CheckStatus(bool writeOk);
    // The reaction to a failed transfer (status 2 or 4: connection box;
    // status 1: invalid-I2C-address box unless quiet).
    void HandleHidStatus(Status status, bool quiet);

    // A board command that reads an answer (the query exchange). Builds the
    // request from a cleared buffer, writes it and waits for the answer.
    // Returns 8 when the answer arrived with error byte 0, 1 when it was
    // refused, 2 when it timed out and 4 when the write failed (after the
    // connection box). The answer is in lastReport() only on 8 and 1.
    Status Query(uint8_t code, std::initializer_list<uint8_t> payload = {},
                 uint8_t subCommand = kSubGet);
    // The same exchange with the request written over the report buffer as
    // the drain left it, not over a cleared one: bytes past the sub-command
    // keep what the buffer held.
    Status QueryOverBuffer(uint8_t code, uint8_t subCommand = kSubGet);
    // A board command that reads no answer. True when the write succeeded
    // (a failed write shows the connection box).
    bool SetCommand(uint8_t code, std::initializer_list<uint8_t> payload = {},
                    uint8_t subCommand = kSubSet);
    bool SetCommand(uint8_t code, std::span<const uint8_t> payload,
                    uint8_t subCommand = kSubSet);

    // --- I2C transfers (board command 0x06) --------------------------------
    // `address` is the slave address in its 8-bit (even) form. The request
    // is built in the report buffer without clearing it first: bytes past it
    // keep what the buffer held, only byte 0 is set to the report number.
    // Reads fill data[0..count-1]. Returns a status; requests that do not
    // fit the report (count 0 or above 62 for a read, address and data
    // beyond the report for a write) are refused with status 1 before
    // anything is sent.
    Status I2cRead(uint8_t address, uint8_t count, std::span<uint8_t> data,
                   std::span<const uint8_t> addressBytes);
    Status I2cWrite(uint8_t address, uint8_t count, std::span<const uint8_t> data,
                    std::span<const uint8_t> addressBytes);
    // The transfer, the status reaction, and the transfer again while the
    // status is a lost connection that the user chose to retry.
    Status I2cReadWithRetry(uint8_t address, uint8_t count, std::span<uint8_t> data,
                            std::span<const uint8_t> addressBytes, bool quiet);
    Status I2cWriteWithRetry(uint8_t address, uint8_t count, std::span<const uint8_t> data,
                             std::span<const uint8_t> addressBytes, bool quiet);

    // --- Timing -----------------------------------------------------------
    // Waits `seconds` on the monotonic clock, letting window events run
    // every 4 ms.
    void Delay(double seconds);

    // --- State read by the other modules --------------------------------
    bool EvbConnected = false;
    bool PipeOpen = false;
    int UsbCheckAnswer = 0;
    std::string BoardDeviceName = "KVB71853 ";
    std::string BoardTitle = "KVB71853  Evaluation Board";

    // Told whenever the list of open boards changes (the board panel, which
    // refills its instance list); one watcher, for the transport's life.
    void watchBoardList(BoardListWatcher& watcher) { boardListWatcher_ = &watcher; }

    Services& services() { return services_; }
    // Whom the board layer asks and tells, and who ends the program.
    BoardUser& user() { return user_; }

private:
    // Tests look at and seed the buffer through this.
    friend struct ReportBufferAccess;

    // Writes the shared report buffer.
    [[nodiscard]] bool writeReportBuffer() { return writeReport(report_); }
    // Reads one answer into the report buffer, waiting at most waitMs.
    // Status 8 (error byte 0), 1 (error byte nonzero) or 2 (no answer).
    Status ReadReport(int waitMs = kAnswerWaitMs);
    void boardListChanged();
    bool connectionBox(ConnectionFault fault);
    // Runs `transfer` and the status reaction, again while the user retries
    // a lost connection.
    template <typename Transfer>
    Status withRetry(Transfer transfer, bool quiet);

    HidBackend& backend_;
    Services& services_;
    BoardUser& user_;
    BoardListWatcher* boardListWatcher_ = nullptr;
    Report report_{};
    std::vector<std::unique_ptr<HidDevice>> boards_;
    int current_ = -1;
};

}  // namespace kvb::board
