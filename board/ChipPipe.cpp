#include "board/ChipPipe.h"

#include "core/AppInfo.h"
#include "core/Hex.h"

#include <algorithm>

namespace kvb::board {

ChipPipe::ChipPipe(HidTransport& transport, ByteGrid& grid) : transport_(transport), grid_(grid) {}

void ChipPipe::setBusy(bool busy)
{
    busy_ = busy;
    if (busyChanged)
        busyChanged(busy);
}

void ChipPipe::showReport(const Report& report, std::array<std::string, 11>& into)
{
    for (size_t i = 0; i < into.size(); ++i)
        into[i] = ByteToHex2(report[i]);
}

void ChipPipe::refresh()
{
    grid_.notify();
    if (displayChanged)
        displayChanged();
}

PipeResult ChipPipe::transfer(std::span<const uint8_t> txFrame, int count)
{
    PipeResult result;
    Services& services = transport_.services();
    if (busy_) {
        // A transfer asked for from inside another one's waits: the report
        // buffer, the transaction number and the select byte belong to the
        // outer transfer, so this one is refused before it touches them.
        if (log)
            log("USB Still Busy from previous call, exit comm routine");
        result.status = PipeStatus::Busy;
        return result;
    }
    if (!txFrame.empty())
        SelectByte = txFrame[0];
    if (!transport_.hasBoard() || txFrame.empty()) {
        result.status = PipeStatus::NoBoard;
        return result;
    }

    setBusy(true);
    struct BusyGuard {
        ChipPipe& pipe;
        ~BusyGuard() { pipe.setBusy(false); }
    } guard{*this};
    services.pump.yield();

    TransferId = TransferId < 7 ? TransferId + 1 : 1;

    count = std::clamp(count - (CommandInProgress ? 1 : 0), 0, kMaxCount);

    Report request{};
    request[0] = kReportNumber;
    request[1] = PipeCommandCode;
    request[2] = TransferId;
    request[3] = static_cast<uint8_t>(count);
    request[4] = txFrame[0];
    for (int i = 0; i < count; ++i) {
        size_t source = static_cast<size_t>(i) + 1;
        request[5 + i] = source < txFrame.size() ? txFrame[source] : 0;
    }

    int retries = 0;
    Report& answer = result.answer;
    for (;;) {
        transport_.FlushHidInput();

        display.writeRaw.fill(ByteGrid::kEmpty);
        grid_.fillWrite(0, 10, ByteGrid::kEmpty);
        grid_.fillRead(0, 10, ByteGrid::kEmpty);
        refresh();
        services.pump.yield();

        showReport(request, display.writeRaw);
        for (int i = 0; i <= 10; ++i)
            grid_.writeVal[i] = display.writeRaw[i];
        refresh();

        bool written = transport_.writeReport(request);
        services.clock.sleep(std::chrono::milliseconds(2));

        answer.fill(0);
        bool matched = false;
        if (written) {
            transport_.readInto(answer, 0);
            matched = answer[2] == TransferId;
            if (!matched) {
                int polls = 0;
                while (answer[2] != TransferId && polls < kMaxPolls) {
                    transport_.readInto(answer, 1);
                    ++polls;
                }
                matched = answer[2] == TransferId;
                display.dwait = SignedText(polls);
                display.byteCount = SignedText(answer[3]);
                display.reportCountReceived = SignedText(answer[2]);
            }
        }

        if (matched)
            break;
        ++retries;
        if (retries >= kMaxAttempts)
            break;
        if (log)
            log("Packet Sync: Retry count = " + SignedText(retries) + "BQTY " +
                SignedText(answer[3]) + "XID " + SignedText(TransferId) + "RID " +
                SignedText(answer[2]));
    }

    // TransferId is never 0, so a match means an answer arrived; a nonzero
    // foreign number means answers came, but not ours.
    if (answer[2] == TransferId) {
        result.status = PipeStatus::Done;
    } else if (answer[2] != 0) {
        result.status = PipeStatus::SyncError;
        services.prompter.tell("HID Packet Sync Error Retry 2x", kProgramTitle);
    } else {
        result.status = PipeStatus::Lost;
        ++lostTransfers_;
        if (stopPolling)
            stopPolling();
        services.prompter.tell(
            "USB Communications lost, Disconnect and Reconnect, Polling Terminated",
            kProgramTitle);
    }

    // The shared report buffer keeps the last answer read, as the panel and
    // the parsers of the daisy chain expect.
    transport_.ReportBuffer() = answer;
    display.reportCountSent = SignedText(TransferId);
    display.reportCountReceived = SignedText(answer[2]);
    std::array<std::string, 11> shown;
    showReport(answer, shown);
    for (int i = 0; i <= 10; ++i)
        grid_.readVal[i] = shown[i];
    refresh();
    return result;
}

}  // namespace kvb::board
