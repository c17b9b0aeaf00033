#include "board/ChipPipe.h"

#include "core/Hex.h"

#include <algorithm>
#include <vector>

namespace kvb::board {

namespace {
constexpr size_t kShownBytes = PipeDisplay::kShownBytes;
constexpr int kLastShown = static_cast<int>(kShownBytes) - 1;
}  // namespace

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

ChipPipe::ChipPipe(HidTransport& transport, ByteGrid& grid) : transport_(transport), grid_(grid) {}

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

    result.status = exchange(frame, static_cast<size_t>(count), result.answer);
    tellOutcome(result.status);
    // The shared report buffer keeps the last answer read, as the panel and
    // the parsers of the daisy chain expect.
    transport_.keepLastRead(result.answer);
    showAnswer(result.answer);
    return result;
}

// --- The exchange ------------------------------------------------------------

PipeStatus ChipPipe::exchange(std::span<const uint8_t> txFrame, size_t count, Report& answer)
{
    for (int retries = 0;;) {
        if (attempt(txFrame, count, answer))
            return PipeStatus::Done;
        if (++retries >= kMaxAttempts)
            break;
        logRetry(retries, answer);
    }
    // TransferId is never 0: a nonzero foreign number means answers came,
    // but not ours.
    if (PipeTransaction(answer) != 0)
        return PipeStatus::SyncError;
    ++lostTransfers_;
    return PipeStatus::Lost;
}

bool ChipPipe::attempt(std::span<const uint8_t> txFrame, size_t count, Report& answer)
{
    transport_.FlushHidInput();
    showAttemptStart();
    transport_.services().pump.yield();
    // Built over the transport's report buffer as the drain left it: the
    // bytes past the count are what it held. Whether the write went through
    // is not looked at: a report that never reached the board brings no
    // answer, and the polls find that out.
    Report request = transport_.lastReport();
    PutPipeRequest(request, PipeCommandCode, TransferId, txFrame, count);
    showRequest(request);
    leaveUnchecked(transport_.writeReport(request));
    transport_.services().clock.sleep(std::chrono::milliseconds(2));
    answer.fill(0);
    bool readAny = false;
    const bool matched = pollForAnswer(answer, readAny);
    // The shared buffer holds the last report read, which a retry's request
    // is built over.
    if (readAny)
        transport_.keepLastRead(answer);
    return matched;
}

bool ChipPipe::readOnce(Report& answer, int waitMs)
{
    const int n = transport_.readInto(answer, waitMs);
    if (n < 0 && waitMs > 0)
        transport_.services().clock.sleep(std::chrono::milliseconds(waitMs));
    return n > 0;
}

bool ChipPipe::pollForAnswer(Report& answer, bool& readAny)
{
    readAny = readOnce(answer, 0);
    if (PipeTransaction(answer) == TransferId)
        return true;
    int polls = 0;
    while (PipeTransaction(answer) != TransferId && polls < kMaxPolls) {
        readAny = readOnce(answer, 1) || readAny;
        ++polls;
    }
    showPolls(polls, answer);
    return PipeTransaction(answer) == TransferId;
}

// --- What follows it -------------------------------------------------------------

void ChipPipe::logLine(const std::string& line)
{
    if (log)
        log(line);
}

void ChipPipe::logRetry(int retries, const Report& answer)
{
    logLine("Packet Sync: Retry count = " + SignedText(retries) + "BQTY " +
            SignedText(PipeCount(answer)) + "XID " + SignedText(TransferId) + "RID " +
            SignedText(PipeTransaction(answer)));
}

void ChipPipe::showAttemptStart()
{
    display.writeRaw.fill(ByteGrid::kEmpty);
    grid_.fillWrite(0, kLastShown, ByteGrid::kEmpty);
    grid_.fillRead(0, kLastShown, ByteGrid::kEmpty);
    refresh();
}

void ChipPipe::showRequest(const Report& request)
{
    ReportBytesAsHex(request, 0, display.writeRaw);
    std::copy(display.writeRaw.begin(), display.writeRaw.end(), grid_.writeVal.begin());
    refresh();
}

void ChipPipe::showPolls(int polls, const Report& answer)
{
    display.dwait = SignedText(polls);
    display.byteCount = SignedText(PipeCount(answer));
    display.reportCountReceived = SignedText(PipeTransaction(answer));
}

void ChipPipe::showAnswer(const Report& answer)
{
    display.reportCountSent = SignedText(TransferId);
    display.reportCountReceived = SignedText(PipeTransaction(answer));
    ReportBytesAsHex(answer, 0, std::span(grid_.readVal).first(kShownBytes));
    refresh();
}

void ChipPipe::tellOutcome(PipeStatus status)
{
    if (status == PipeStatus::SyncError) {
        transport_.user().pipeOutOfStep();
    } else if (status == PipeStatus::Lost) {
        if (stopPolling)
            stopPolling();
        transport_.user().pipeLost();
    }
}

void ChipPipe::refresh()
{
    grid_.notify();
    if (displayChanged)
        displayChanged();
}

}  // namespace kvb::board
