#pragma once
// The chip transfer pipe: carries one chip frame to the chips through the
// board's SPI pipe command, tagged with a transaction number 1..7, polls for
// the answer that carries the same number and retries the transfer once.
// The exchange itself is apart from what follows it: the panel's display and
// grid follow its exchange record (PipeObserver); the retry line of the link
// log, the boxes (through the board's user) and the stop of polling (through
// its host) are told of its outcome.

#include "board/BoardProtocol.h"
#include "board/HidTransport.h"

#include <algorithm>
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

// One transfer asked of the pipe.
struct PipeRequest {
    // Element 0 the select byte, then the chip frame.
    std::span<const uint8_t> frame;
    uint8_t commandCode = HidSpiPipeDaisyChain;
    // The count sent is one less while a command is in progress.
    bool commandInProgress = false;
    // Bytes sent after the select byte; below 0 the frame's length (select
    // byte included) is the count.
    int count = -1;
};

struct PipeResult {
    PipeStatus status = PipeStatus::NotSent;
    // The answer report. Only meaningful when status is Done; otherwise it
    // holds the last report read, for display, never for parsing.
    Report answer{};
    bool ok() const { return status == PipeStatus::Done; }
    // The answer's count byte (chip bytes + 1).
    int rxLength() const { return PipeCount(answer); }
    // The answer's chip bytes: count - 1 of them from report byte 5, none
    // unless the transfer was answered.
    std::span<const uint8_t> chipBytes() const
    {
        const int n = ok() ? std::clamp(rxLength() - 1, 0, static_cast<int>(kPipeFrameRoom)) : 0;
        return PipeChipBytes(answer).first(static_cast<size_t>(n));
    }
};

// One exchange as the pipe carries it, for those who follow it. Filled in as
// the exchange goes: each attempt's request as written, the last report read
// (the answer once the status is Done), the polls of an attempt whose answer
// did not come on the first read.
struct PipeExchange {
    Report request{};
    Report answer{};
    PipeStatus status = PipeStatus::NotSent;
    int attempts = 0;
    uint8_t transferId = 0;
    int polls = 0;
};

// Follows the pipe's exchanges without taking part in them: it is told what
// happened, in the order it happened, and changes nothing of the exchange.
class PipeObserver {
public:
    virtual ~PipeObserver() = default;
    // An attempt begins; its request is not built yet.
    virtual void attemptStarted(const PipeExchange& exchange) = 0;
    // The attempt's request is built and is written next.
    virtual void requestBuilt(const PipeExchange& exchange) = 0;
    // The attempt's answer did not come on the first read: the polls ended,
    // with it or without it.
    virtual void answerPolled(const PipeExchange& exchange) = 0;
    // The exchange ended with `exchange.status`.
    virtual void exchangeEnded(const PipeExchange& exchange) = 0;
};

// What the pipe needs of the program around it for the whole run, handed
// over when the pipe is built: the link log takes the pipe's own lines, and a
// board found lost stops polling (unticks it and stops the poll timer).
class PipeHost {
public:
    virtual ~PipeHost() = default;
    virtual void logPipeLine(const std::string& line) = 0;
    virtual void stopPolling() = 0;
};

class ChipPipe {
public:
    static constexpr int kMaxPolls = 51;
    static constexpr int kMaxAttempts = 2;
    // Report bytes 5..63 carry the frame.
    static constexpr int kMaxCount = static_cast<int>(kPipeFrameRoom);

    ChipPipe(HidTransport& transport, PipeHost& host);
    ChipPipe(const ChipPipe&) = delete;
    ChipPipe& operator=(const ChipPipe&) = delete;

    // The one who follows the exchanges (the board panel's view), or none.
    void setObserver(PipeObserver* observer) { observer_ = observer; }

    // Sends the request's frame with its command code, under the next
    // transaction number. The count sent is the request's, one less while a
    // command is in progress; positions of the count past the frame carry 0,
    // and the report's bytes past the count keep what the transport's report
    // buffer held after the drain. With no board open the transfer runs all
    // the same and ends lost. The request's command code becomes the pipe's.
    PipeResult transfer(const PipeRequest& request);
    // A request for `frame` in the pipe's current mode: its command code and
    // whether a command is in progress.
    PipeRequest request(std::span<const uint8_t> frame, int count = -1) const
    {
        return {frame, PipeCommandCode, CommandInProgress, count};
    }

    // --- The pipe's mode ----------------------------------------------------
    // The command code the next request in the current mode carries.
    uint8_t pipeCommandCode() const { return PipeCommandCode; }
    void setPipeCommandCode(uint8_t code) { PipeCommandCode = code; }
    // Raised around the scan, sleep and wake commands.
    bool commandInProgress() const { return CommandInProgress; }
    void setCommandInProgress(bool inProgress) { CommandInProgress = inProgress; }
    // The transaction number of the last transfer, 1..7; 0 before the first.
    uint8_t transferId() const { return TransferId; }
    // The select byte (frame element 0) of the last transfer asked for; the
    // panel's own "MCB SPI" sends it again with the grid's bytes.
    uint8_t selectByte() const { return SelectByte; }
    void clearSelectByte() { SelectByte = 0; }
    // A new session: no command in progress, numbering from the start, and
    // `commandCode` as the mode's code.
    void restart(uint8_t commandCode)
    {
        CommandInProgress = false;
        TransferId = 0;
        PipeCommandCode = commandCode;
    }

    bool busy() const { return busy_; }
    // Transfers that found the board lost (no answer at all), since start.
    int lostTransfers() const { return lostTransfers_; }

    // A window hook: the board panel's window, which lives shorter than the
    // pipe, sets it while it is open (its "MCB SPI" button follows busy) and
    // clears it when it goes.
    std::function<void(bool)> busyChanged;

private:
    class TransferScope;
    void setBusy(bool busy);

    // The exchange: the request's attempts, each written and its answer
    // polled for, into the exchange record's answer.
    PipeStatus exchange(std::span<const uint8_t> txFrame, size_t count);
    bool attempt(std::span<const uint8_t> txFrame, size_t count);
    // Reads until the answer with our number came or the polls ran out;
    // `readAny` tells whether any report came at all.
    bool pollForAnswer(bool& readAny);
    // One read into `answer`; a read that fails at once still waits its
    // millisecond, so the polls take their time without a board too.
    bool readOnce(Report& answer, int waitMs);

    // What follows it.
    void logLine(const std::string& line);
    void logRetry(int retries, const Report& answer);
    void tellOutcome(PipeStatus status);
    template <typename Event>
    void tellObserver(Event event)
    {
        if (observer_)
            (observer_->*event)(record_);
    }

    HidTransport& transport_;
    PipeHost& host_;
    PipeObserver* observer_ = nullptr;
    PipeExchange record_;
    uint8_t PipeCommandCode = HidSpiPipeDaisyChain;
    uint8_t TransferId = 0;
    uint8_t SelectByte = 0;
    bool CommandInProgress = false;
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
