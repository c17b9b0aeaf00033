#include "board/ChipPipe.h"

#include "core/Hex.h"

#include <algorithm>
#include <vector>

namespace kvb::board {

// Busy from the first yield to the last refresh, retries included; the
// panel's "MCB SPI" button follows it.
class ChipPipe::TransferScope {
public:
    explicit TransferScope(ChipPipe& pipe) : pipe_(pipe) { pipe_.setBusy(true); }
    ~TransferScope() { pipe_.setBusy(false); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    ChipPipe& pipe_;
};

ChipPipe::ChipPipe(HidTransport& transport, PipeHost& host) : transport_(transport), host_(host) {}

void ChipPipe::setBusy(bool busy)
{
    busy_ = busy;
    if (busyChanged)
        busyChanged(busy);
}

PipeResult ChipPipe::transfer(const PipeRequest& request)
{
    const std::span<const uint8_t> txFrame = request.frame;
    PipeResult result;
    if (busy_) {
        // A transfer asked for from inside another one's waits: the report
        // buffer, the transaction number and the select byte belong to the
        // outer transfer, so this one is refused before it touches them.
        logLine("USB Still Busy from previous call, exit comm routine");
        result.status = PipeStatus::Busy;
        return result;
    }
    if (txFrame.empty()) {
        result.status = PipeStatus::NotSent;
        return result;
    }
    PipeCommandCode = request.commandCode;
    SelectByte = txFrame[0];
    // The frame as asked for: both attempts send these bytes, whatever the
    // caller's buffer holds by the time of the retry.
    const std::vector<uint8_t> frame(txFrame.begin(), txFrame.end());

    TransferScope busy(*this);
    transport_.services().pump.yield();
    TransferId = TransferId < 7 ? TransferId + 1 : 1;
    int count = request.count < 0 ? static_cast<int>(txFrame.size()) : request.count;
    count = std::clamp(count - (request.commandInProgress ? 1 : 0), 0, kMaxCount);

    record_ = PipeExchange{};
    record_.transferId = TransferId;
    record_.status = exchange(frame, static_cast<size_t>(count));
    tellOutcome(record_.status);
    // The transport's report buffer keeps the last answer read, as the panel
    // and the parsers of the daisy chain expect.
    transport_.keepLastRead(record_.answer);
    tellObserver(&PipeObserver::exchangeEnded);
    result.status = record_.status;
    result.answer = record_.answer;
    return result;
}

// --- The exchange ------------------------------------------------------------

PipeStatus ChipPipe::exchange(std::span<const uint8_t> txFrame, size_t count)
{
    for (int retries = 0;;) {
        if (attempt(txFrame, count))
            return PipeStatus::Done;
        if (++retries >= kMaxAttempts)
            break;
        logRetry(retries, record_.answer);
    }
    // TransferId is never 0: a nonzero foreign number means answers came,
    // but not ours.
    if (PipeTransaction(record_.answer) != 0)
        return PipeStatus::SyncError;
    ++lostTransfers_;
    return PipeStatus::Lost;
}

bool ChipPipe::attempt(std::span<const uint8_t> txFrame, size_t count)
{
    ++record_.attempts;
    transport_.FlushHidInput();
    tellObserver(&PipeObserver::attemptStarted);
    transport_.services().pump.yield();
    // Built over the transport's report buffer as the drain left it: the
    // bytes past the count are what it held.
    record_.request = transport_.lastReport();
    PutPipeRequest(record_.request, PipeCommandCode, TransferId, txFrame, count);
    tellObserver(&PipeObserver::requestBuilt);

    // Whether the write went through is not looked at: a report that never
    // reached the board brings no answer, and the polls find that out.
    leaveUnchecked(transport_.writeReport(record_.request));
    transport_.services().clock.sleep(std::chrono::milliseconds(2));
    record_.answer.fill(0);
    bool readAny = false;
    const bool matched = pollForAnswer(readAny);
    // The buffer holds the last report read, which a retry's request is
    // built over.
    if (readAny)
        transport_.keepLastRead(record_.answer);
    return matched;
}

bool ChipPipe::readOnce(Report& answer, int waitMs)
{
    const int n = transport_.readInto(answer, waitMs);
    if (n < 0 && waitMs > 0)
        transport_.services().clock.sleep(std::chrono::milliseconds(waitMs));
    return n > 0;
}

bool ChipPipe::pollForAnswer(bool& readAny)
{
    Report& answer = record_.answer;
    readAny = readOnce(answer, 0);
    if (PipeTransaction(answer) == TransferId)
        return true;
    int polls = 0;
    while (PipeTransaction(answer) != TransferId && polls < kMaxPolls) {
        readAny = readOnce(answer, 1) || readAny;
        ++polls;
    }
    record_.polls = polls;
    tellObserver(&PipeObserver::answerPolled);
    return PipeTransaction(answer) == TransferId;
}

// --- What follows it -------------------------------------------------------------

void ChipPipe::logLine(const std::string& line)
{
    host_.logPipeLine(line);
}

void ChipPipe::logRetry(int retries, const Report& answer)
{
    logLine("Packet Sync: Retry count = " + SignedText(retries) + "BQTY " +
            SignedText(PipeCount(answer)) + "XID " + SignedText(TransferId) + "RID " +
            SignedText(PipeTransaction(answer)));
}

void ChipPipe::tellOutcome(PipeStatus status)
{
    if (status == PipeStatus::SyncError) {
        transport_.user().pipeOutOfStep();
    } else if (status == PipeStatus::Lost) {
        host_.stopPolling();
        transport_.user().pipeLost();
    }
}

}  // namespace kvb::board
