#pragma once
// The chip transfer pipe: carries one chip frame to the chips through the
// board's SPI pipe command, tagged with a transaction number 1..7, polls for
// the answer that carries the same number and retries the transfer once.
// The exchange itself is apart from what follows it: the panel's display and
// grid, the retry line of the link log, the boxes (through the board's
// user) and the stop of polling.

#include "board/BoardProtocol.h"
#include "board/ByteGrid.h"
#include "board/HidTransport.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kvb::board {

enum class PipeStatus {
    Done,       // the answer with our transaction number arrived
    SyncError,  // answers arrived, but never with our number
    Lost,       // no answer at all (a failed write, or no board, included)
    Busy,       // refused: another transfer is still in progress
    NotSent,    // refused: no frame to send (or the panel's boxes held none)
};

struct PipeResult {
    PipeStatus status = PipeStatus::NotSent;
    // The answer report. Only meaningful when status is Done; otherwise it
    // holds the last report read, for display, never for parsing.
    Report answer{};
    bool ok() const { return status == PipeStatus::Done; }
    // The answer's count byte (chip bytes + 1) and its chip bytes.
    int rxLength() const { return PipeCount(answer); }
};

// What the panel's "MCB I/O" frame shows of the last transfer.
struct PipeDisplay {
    // The frame shows report bytes 0..10, and the pipe writes them into
    // grid rows 0..10 too.
    static constexpr size_t kShownBytes = 11;
    std::array<std::string, kShownBytes> writeRaw;  // report bytes 0..10 as sent
    std::string dwait;                      // polls of the last slow transfer
    std::string reportCountSent;            // transaction number sent
    std::string reportCountReceived;        // transaction number received
    std::string byteCount;                  // answer's count byte
    PipeDisplay() { writeRaw.fill(ByteGrid::kEmpty); }
};

class ChipPipe {
public:
    static constexpr int kMaxPolls = 51;
    static constexpr int kMaxAttempts = 2;
    // Report bytes 5..63 carry the frame.
    static constexpr int kMaxCount = static_cast<int>(kPipeFrameRoom);

    ChipPipe(HidTransport& transport, ByteGrid& grid);

    // Sends txFrame (element 0 the select byte, then the chip frame) with the
    // current PipeCommandCode. The count sent is the frame's length (select
    // byte included), one less while CommandInProgress is set; positions of
    // the count past the frame carry 0, and the report's bytes past the count
    // keep what the shared report buffer held after the drain. With no board
    // open the transfer runs all the same and ends lost.
    PipeResult transfer(std::span<const uint8_t> txFrame)
    {
        return transfer(txFrame, static_cast<int>(txFrame.size()));
    }
    // The same with the count given apart from the frame (the panel's byte
    // count box): bytes 0..count-1 after the select byte are sent.
    PipeResult transfer(std::span<const uint8_t> txFrame, int count);

    uint8_t PipeCommandCode = HidSpiPipeDaisyChain;
    uint8_t TransferId = 0;
    // The select byte (frame element 0) of the last transfer asked for; the
    // panel's own "MCB SPI" sends it again with the grid's bytes.
    uint8_t SelectByte = 0;
    bool CommandInProgress = false;
    bool busy() const { return busy_; }
    // Transfers that found the board lost (no answer at all), since start.
    int lostTransfers() const { return lostTransfers_; }

    PipeDisplay display;

    // Hooks to the rest of the program, all optional:
    std::function<void(const std::string&)> log;  // the link log, one line
    std::function<void()> stopPolling;             // untick polling, stop the poll timer
    std::function<void(bool)> busyChanged;         // the panel's MCB SPI button
    std::function<void()> displayChanged;          // the panel refreshes its boxes

private:
    class TransferScope;
    void setBusy(bool busy);

    // The exchange: the request's attempts, each written and its answer
    // polled for, into `answer`.
    PipeStatus exchange(std::span<const uint8_t> txFrame, size_t count, Report& answer);
    bool attempt(std::span<const uint8_t> txFrame, size_t count, Report& answer);
    // Reads until the answer with our number came or the polls ran out;
    // `readAny` tells whether any report came at all.
    bool pollForAnswer(Report& answer, bool& readAny);
    // One read into `answer`; a read that fails at once still waits its
    // millisecond, so the polls take their time without a board too.
    bool readOnce(Report& answer, int waitMs);

    // What follows it.
    void logLine(const std::string& line);
    void logRetry(int retries, const Report& answer);
    void showAttemptStart();
    void showRequest(const Report& request);
    void showPolls(int polls, const Report& answer);
    void showAnswer(const Report& answer);
    void tellOutcome(PipeStatus status);
    void refresh();

    HidTransport& transport_;
    ByteGrid& grid_;
    bool busy_ = false;
    int lostTransfers_ = 0;
};

// Notes whether a transfer found the board lost since it was made. A loop
// that sends one frame after another stops at the first lost board, so that
// one action tells the user once.
class PipeLossWatch {
public:
    explicit PipeLossWatch(const ChipPipe& pipe) : pipe_(pipe), start_(pipe.lostTransfers()) {}
    bool lost() const { return pipe_.lostTransfers() != start_; }

private:
    const ChipPipe& pipe_;
    int start_;
};

}  // namespace kvb::board
