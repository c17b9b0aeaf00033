#include "board/HidTransport.h"

#include "core/AppInfo.h"

#include <algorithm>
#include <cmath>

namespace kvb::board {

namespace {
// A board sends one report per request; anything beyond this many waiting
// reports means the input never runs dry, and draining stops regardless.
constexpr int kMaxFlushReports = 256;
}  // namespace

HidTransport::HidTransport(HidBackend& backend, Services& services)
    : backend_(backend), services_(services)
{
}

void HidTransport::boardListChanged()
{
    if (onBoardListChanged)
        onBoardListChanged();
}

void HidTransport::endProgram()
{
    services_.programEnd.end();
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

        Answer answer = services_.prompter.ask(
            "Please check USB connection.\nDravonel HID USB (PID 2035)  " + BoardDeviceName +
                " Evaluation Board not found.",
            BoardTitle, Buttons::RetryCancel, Icon::Warning);
        UsbCheckAnswer = static_cast<int>(answer);
        if (answer != Answer::Retry) {
            endProgram();
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

int16_t HidTransport::ReadReport(int waitMs)
{
    int n = readInto(report_, waitMs);
    if (n <= 0)
        return StatusTimedOut;
    return report_[1] > 0 ? StatusRefused : StatusDone;
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

bool HidTransport::connectionBox(const std::string& text)
{
    Answer answer =
        services_.prompter.ask(text, BoardTitle, Buttons::RetryCancel, Icon::Warning);
    UsbCheckAnswer = static_cast<int>(answer);
    if (answer == Answer::Retry)
        return InitUsbHidConnection();
    endProgram();
    return false;
}

int16_t HidTransport::CheckStatus(bool writeOk)
{
    if (writeOk)
        return StatusDone;
    connectionBox("Please check USB connection.\ncheckStatus");
    return StatusNone;
}

void HidTransport::HandleHidStatus(int16_t status, bool quiet)
{
    if (status == StatusWriteFailed || status == StatusTimedOut) {
        connectionBox(std::string("Please check USB connection.") +
                      (status == StatusWriteFailed ? "WriteFile" : "ReadFile") + " error.");
    } else if (status == StatusRefused && !quiet) {
        Answer answer = services_.prompter.ask(
            "Invalid I2C address. Press Retry to return to GUI and enter valid address or "
            "Cancel to close GUI.",
            kProgramTitle, Buttons::RetryCancel, Icon::Warning);
        UsbCheckAnswer = static_cast<int>(answer);
        if (answer != Answer::Retry)
            endProgram();
    }
}

int16_t HidTransport::Query(uint8_t code, std::initializer_list<uint8_t> payload,
                            uint8_t subCommand)
{
    FlushHidInput();
    ClearReportBuffer(0);
    SetReportIdByte();
    report_[1] = code;
    report_[2] = subCommand;
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - 3), report_.begin() + 3);
    if (CheckStatus(writeReportBuffer()) != StatusDone)
        return StatusWriteFailed;
    ClearReportBuffer(0);
    int16_t status = ReadReport();
    if (status == StatusTimedOut)
        CheckStatus(false);
    return status;
}

bool HidTransport::SetCommand(uint8_t code, std::initializer_list<uint8_t> payload,
                              uint8_t subCommand)
{
    return SetCommand(code, std::span<const uint8_t>(payload.begin(), payload.size()), subCommand);
}

bool HidTransport::SetCommand(uint8_t code, std::span<const uint8_t> payload, uint8_t subCommand)
{
    ClearReportBuffer(0);
    SetReportIdByte();
    report_[1] = code;
    report_[2] = subCommand;
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - 3), report_.begin() + 3);
    return CheckStatus(writeReportBuffer()) == StatusDone;
}

int16_t HidTransport::I2cRead(uint8_t address, uint8_t count, std::span<uint8_t> data,
                              std::span<const uint8_t> addressBytes)
{
    if (count == 0 || count > kReportSize - 2 || addressBytes.size() > kReportSize - 5 ||
        data.size() < count)
        return StatusRefused;
    // Bytes past the request keep what the buffer held.
    SetReportIdByte();
    report_[1] = HidI2cTransfer;
    report_[2] = static_cast<uint8_t>(address + 1);
    report_[3] = count;
    report_[4] = static_cast<uint8_t>(addressBytes.size());
    std::copy(addressBytes.begin(), addressBytes.end(), report_.begin() + 5);
    if (!writeReportBuffer())
        return StatusWriteFailed;
    int16_t status = ReadReport();
    if (status != StatusDone)
        return status;
    std::copy_n(report_.begin() + 2, count, data.begin());
    return StatusDone;
}

int16_t HidTransport::I2cWrite(uint8_t address, uint8_t count, std::span<const uint8_t> data,
                               std::span<const uint8_t> addressBytes)
{
    if (5 + addressBytes.size() + count > kReportSize || data.size() < count)
        return StatusRefused;
    // Bytes past the request keep what the buffer held.
    SetReportIdByte();
    report_[1] = HidI2cTransfer;
    report_[2] = address;
    report_[3] = count;
    report_[4] = static_cast<uint8_t>(addressBytes.size());
    std::copy(addressBytes.begin(), addressBytes.end(), report_.begin() + 5);
    std::copy_n(data.begin(), count, report_.begin() + 5 + addressBytes.size());
    if (!writeReportBuffer())
        return StatusWriteFailed;
    return ReadReport();
}

int16_t HidTransport::I2cReadWithRetry(uint8_t address, uint8_t count, std::span<uint8_t> data,
                                       std::span<const uint8_t> addressBytes, bool quiet)
{
    for (;;) {
        int16_t status = I2cRead(address, count, data, addressBytes);
        HandleHidStatus(status, quiet);
        if ((status != StatusTimedOut && status != StatusWriteFailed) ||
            services_.programEnd.ending() || !hasBoard())
            return status;
    }
}

int16_t HidTransport::I2cWriteWithRetry(uint8_t address, uint8_t count,
                                        std::span<const uint8_t> data,
                                        std::span<const uint8_t> addressBytes, bool quiet)
{
    for (;;) {
        int16_t status = I2cWrite(address, count, data, addressBytes);
        HandleHidStatus(status, quiet);
        if ((status != StatusTimedOut && status != StatusWriteFailed) ||
            services_.programEnd.ending() || !hasBoard())
            return status;
    }
}

void HidTransport::Delay(double seconds)
{
    if (!(seconds > 0))
        return;
    auto deadline = services_.clock.now() +
                    std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
    while (services_.clock.now() < deadline && !services_.programEnd.ending()) {
        services_.clock.sleep(std::chrono::milliseconds(4));
        services_.pump.yield();
    }
}

}  // namespace kvb::board
