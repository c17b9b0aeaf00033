#include "board/HidTransport.h"

#include <algorithm>
#include <cmath>

namespace kvb::board {

namespace {
// A board sends one report per request; anything beyond this many waiting
// reports means the input never runs dry, and draining stops regardless.
constexpr int kMaxFlushReports = 256;
}  // namespace

HidTransport::HidTransport(HidBackend& backend, Services& services, BoardUser& user)
    : backend_(backend), services_(services), user_(user)
{
}

void HidTransport::boardListChanged()
{
    if (boardListWatcher_)
        boardListWatcher_->boardListChanged();
}

bool HidTransport::InitUsbHidConnection()
{
    boardListChanged();
    if (!boards_.empty())
        CloseHidHandles();
    EvbConnected = false;
    PipeOpen = false;

    for (;;) {
        for (const HidDeviceInfo& info : backend_.enumerate()) {
            if (info.vendorId != kBoardVendorId || info.productId != kBoardProductId)
                continue;
            auto device = backend_.open(info.path);
            if (!device)
                continue;  // present but not accessible: not usable as a board
            boards_.push_back(std::move(device));
            EvbConnected = true;
            PipeOpen = true;
            UsbCheckAnswer = 1;
        }
        if (!boards_.empty())
            break;

        Answer answer = user_.askBoardNotFound(BoardDeviceName, BoardTitle);
        UsbCheckAnswer = static_cast<int>(answer);
        if (answer != Answer::Retry) {
            user_.endProgram();
            return false;
        }
    }

    current_ = 0;
    boardListChanged();
    return true;
}

void HidTransport::CloseHidHandles()
{
    boards_.clear();
    current_ = -1;
}

bool HidTransport::selectBoard(size_t index)
{
    if (index >= boards_.size())
        return false;
    current_ = static_cast<int>(index);
    return true;
}

bool HidTransport::writeReport(const Report& request)
{
    if (current_ < 0)
        return false;
    return boards_[current_]->write(request.data(), request.size());
}

bool HidTransport::writeRequest(const Report& request)
{
    report_ = request;
    return writeReportBuffer();
}

bool HidTransport::writeBoardCommandOverBuffer(uint8_t code, uint8_t subCommand,
                                               std::span<const uint8_t> payload)
{
    PutBoardCommand(report_, code, subCommand, payload);
    return writeReportBuffer();
}

bool HidTransport::writeAdcConvertRequest(uint8_t readMode, uint8_t sampleMode)
{
    PutAdcConvertRequest(report_, readMode, sampleMode);
    return writeReportBuffer();
}

bool HidTransport::writeRawSpi(const RawSpiWrite& write)
{
    PutRawSpiWrite(report_, write);
    return writeReportBuffer();
}

bool HidTransport::writeUnawaitedPipeRequest(uint8_t command, uint8_t transaction,
                                             std::span<const uint8_t> txFrame, size_t count)
{
    PutPipeRequest(report_, command, transaction, txFrame, count);
    const bool written = writeReportBuffer();
    ClearPipeTransaction(report_);
    return written;
}

int HidTransport::readInto(Report& into, int waitMs)
{
    if (current_ < 0)
        return -1;
    Report incoming{};
    int n = boards_[current_]->read(incoming.data(), incoming.size(), waitMs);
    if (n > 0)
        into = incoming;
    return n;
}

Status HidTransport::ReadReport(int waitMs)
{
    int n = readInto(report_, waitMs);
    if (n <= 0)
        return Status::TimedOut;
    return ErrorByte(report_) > 0 ? Status::Refused : Status::Done;
}

Status HidTransport::awaitAnswer()
{
    report_.fill(0);
    const Status status = ReadReport();
    if (status == Status::TimedOut)
        connectionBox(ConnectionFault::Unconfirmed);
    return status;
}

void HidTransport::FlushHidInput()
{
    Report scratch{};
    for (int i = 0; i < kMaxFlushReports; ++i) {
        if (readInto(scratch, 1) <= 0)
            return;
        report_ = scratch;
    }
}

bool HidTransport::connectionBox(ConnectionFault fault)
{
    Answer answer = user_.askConnectionLost(fault, BoardTitle);
    UsbCheckAnswer = static_cast<int>(answer);
    if (answer == Answer::Retry)
        return InitUsbHidConnection();
    user_.endProgram();
    return false;
}

Status HidTransport::CheckStatus(bool writeOk)
{
    if (writeOk)
        return Status::Done;
    connectionBox(ConnectionFault::Unconfirmed);
    return Status::None;
}

void HidTransport::HandleHidStatus(Status status, bool quiet)
{
    if (status == Status::WriteFailed || status == Status::TimedOut) {
        connectionBox(status == Status::WriteFailed ? ConnectionFault::WriteFailed
                                                    : ConnectionFault::ReadTimedOut);
    } else if (status == Status::Refused && !quiet) {
        Answer answer = user_.askI2cAddressRefused();
        UsbCheckAnswer = static_cast<int>(answer);
        if (answer != Answer::Retry)
            user_.endProgram();
    }
}

Status HidTransport::Query(uint8_t code, std::initializer_list<uint8_t> payload, uint8_t subCommand)
{
    FlushHidInput();
    if (!SetCommand(code, payload, subCommand))
        return Status::WriteFailed;
    return awaitAnswer();
}

Status HidTransport::QueryOverBuffer(uint8_t code, uint8_t subCommand)
{
    FlushHidInput();
    if (CheckStatus(writeBoardCommandOverBuffer(code, subCommand)) != Status::Done)
        return Status::WriteFailed;
    return awaitAnswer();
}

bool HidTransport::SetCommand(uint8_t code, std::initializer_list<uint8_t> payload,
                              uint8_t subCommand)
{
    return SetCommand(code, std::span<const uint8_t>(payload.begin(), payload.size()), subCommand);
}

bool HidTransport::SetCommand(uint8_t code, std::span<const uint8_t> payload, uint8_t subCommand)
{
    return CheckStatus(writeRequest(BoardCommandRequest(code, subCommand, payload))) ==
           Status::Done;
}

Status HidTransport::I2cRead(uint8_t address, uint8_t count, std::span<uint8_t> data,
                             std::span<const uint8_t> addressBytes)
{
    if (count == 0 || count > kAnswerDataRoom || addressBytes.size() > kI2cRegisterRoom ||
        data.size() < count)
        return Status::Refused;
    // Bytes past the request keep what the buffer held.
    PutI2cRequest(report_, static_cast<uint8_t>(address + 1), count, addressBytes);
    if (!writeReportBuffer())
        return Status::WriteFailed;
    const Status status = ReadReport();
    if (status != Status::Done)
        return status;
    const std::span<const uint8_t> answer = AnswerData(report_, count);
    std::copy(answer.begin(), answer.end(), data.begin());
    return Status::Done;
}

Status HidTransport::I2cWrite(uint8_t address, uint8_t count, std::span<const uint8_t> data,
                              std::span<const uint8_t> addressBytes)
{
    if (!I2cWriteFits(addressBytes.size(), count) || data.size() < count)
        return Status::Refused;
    // Bytes past the request keep what the buffer held.
    PutI2cRequest(report_, address, count, addressBytes, data.first(count));
    if (!writeReportBuffer())
        return Status::WriteFailed;
    return ReadReport();
}

template <typename Transfer>
Status HidTransport::withRetry(Transfer transfer, bool quiet)
{
    for (;;) {
        const Status status = transfer();
        HandleHidStatus(status, quiet);
        if ((status != Status::TimedOut && status != Status::WriteFailed) ||
            user_.programEnding() || !hasBoard())
            return status;
    }
}

Status HidTransport::I2cReadWithRetry(uint8_t address, uint8_t count, std::span<uint8_t> data,
                                      std::span<const uint8_t> addressBytes, bool quiet)
{
    return withRetry([&] { return I2cRead(address, count, data, addressBytes); }, quiet);
}

Status HidTransport::I2cWriteWithRetry(uint8_t address, uint8_t count,
                                       std::span<const uint8_t> data,
                                       std::span<const uint8_t> addressBytes, bool quiet)
{
    return withRetry([&] { return I2cWrite(address, count, data, addressBytes); }, quiet);
}

void HidTransport::Delay(double seconds)
{
    if (!(seconds > 0))
        return;
    auto deadline = services_.clock.now() +
                    std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
    while (services_.clock.now() < deadline && !user_.programEnding()) {
        services_.clock.sleep(std::chrono::milliseconds(4));
        services_.pump.yield();
    }
}

}  // namespace kvb::board
