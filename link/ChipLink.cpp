#include "link/ChipLink.h"

#include "core/AppInfo.h"
#include "core/Hex.h"

#include <algorithm>

namespace kvb::link {

using board::ByteGrid;

namespace {

// A dump as one line: every line end becomes one blank.
std::string flattened(const std::string& text, const char* replacement)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, kCrLf) == 0) {
            out += replacement;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

ChipLink::ChipLink(board::HidTransport& transport, board::ChipPipe& pipe, board::ByteGrid& grid,
                   Services& services)
    : transport_(transport), pipe_(pipe), grid_(grid), services_(services)
{
}

void ChipLink::resetFaultLatch()
{
    for (auto& type : latchedFaults)
        type.fill(0);
    image.forgetReportedFaults();
}

bool ChipLink::readable(int type, int reg) const
{
    const int kind = definitions.kind(typeIndex(type), reg);
    return kind == KindReadOnly || kind == KindReadWrite;
}

void ChipLink::AddToEvbLog(const std::string& text1, const std::string& text2)
{
    if (hooks.appendLog)
        hooks.appendLog(text1 + text2);
}

void ChipLink::logBytes(const char* label, std::span<const uint8_t> bytes, int deviceType,
                        std::string& lastText)
{
    const std::string text = ByteDump(label, bytes);
    lastText = flattened(text, " ");
    if (options.ShowActivityLogs && hooks.appendHexLog)
        hooks.appendHexLog(typeIndex(deviceType), text);
    if (hooks.loggingActive && hooks.loggingActive() && hooks.logEvent)
        hooks.logEvent(flattened(text, ""));
}

void ChipLink::LogSentBytes(std::span<const uint8_t> bytes, int deviceType)
{
    logBytes("Sent:", bytes, deviceType, LastSentText);
}

void ChipLink::LogRcvdBytes(std::span<const uint8_t> bytes, int deviceType)
{
    logBytes("Rcvd:", bytes, deviceType, LastRcvdText);
}

void ChipLink::TimerDelay(int milliseconds)
{
    transport_.Delay(milliseconds / 1000.0);
}

std::span<const uint8_t> ChipLink::answerBytes() const
{
    const auto& report = transport_.ReportBuffer();
    const int count = std::clamp(RxLength - 1, 0, kMaxRxLength - 1);
    return {report.data() + 5, static_cast<size_t>(count)};
}

bool ChipLink::SendReceivePipe(ChipMessage& m)
{
    if (refuseNested() || !EvbConnected())
        return false;
    ExchangeScope exchange(*this);

    grid_.fillWrite(0, 15, ByteGrid::kEmpty);
    grid_.fillRead(0, 15, ByteGrid::kEmpty);
    grid_.notify();
    services_.pump.yield();

    const int type = typeIndex(m.DeviceType);
    lamps.set(LampKind::Com, type, kLampGreen);

    const int reg = RegisterIndex(m.cat, m.adr);
    const bool readableReg = readable(type, reg);
    auto showFrame = [this](const std::vector<uint8_t>& frame) {
        for (size_t i = 0; i < frame.size() && i < ByteGrid::kRows; ++i)
            grid_.writeVal[i] = ByteToHex2(frame[i]);
    };

    if (DaisyChainMode) {
        if (m.allZero()) {
            // The chain's buffered unprompted responses: the select byte alone.
            m.FrameBytes = {0};
            TxFrame = {UprBufferSelectByte(type)};
            pipe_.PipeCommandCode = type == 0 ? board::HidReadUprBuffer1 : board::HidReadUprBuffer2;
        } else {
            pipe_.PipeCommandCode = board::HidSpiPipeDaisyChain;
            EncodeDaisyChainMessage(m);
            TxFrame.assign(1, SelectByte(type, true, m.FrameBytes.size()));
            TxFrame.insert(TxFrame.end(), m.FrameBytes.begin(), m.FrameBytes.end());
            grid_.encodeLength = std::to_string(m.FrameBytes.size() - 1);
            showFrame(m.FrameBytes);
        }
    } else {
        EncodeNonDaisyMessage(m);
        TxFrame.assign(1, SelectByte(type, false, m.FrameBytes.size()));
        TxFrame.insert(TxFrame.end(), m.FrameBytes.begin(), m.FrameBytes.end());
        if (readableReg)
            TxFrame.insert(TxFrame.end(), 2, 0);  // room for the register's answer
        showFrame(m.FrameBytes);
    }
    TxFrameLength = static_cast<int>(TxFrame.size());
    grid_.numToWrite = std::to_string(TxFrameLength);
    grid_.notify();

    if (m.FrameBytes.size() >= 2)
        LogSentBytes(m.FrameBytes, type);

    const board::PipeResult result = pipe_.transfer(TxFrame);
    // A failed transfer left no answer of ours in the report: nothing may be
    // read from it, and it counts as an answer of no bytes.
    RxLength = result.ok() ? result.rxLength() : 0;
    if (!result.ok())
        lamps.set(LampKind::Com, type, kLampRed);
    if (RxLength > kMaxRxLength) {
        RxLength = kMaxRxLength;
        LogUnrecognizedResponse();
    }

    const auto& report = transport_.ReportBuffer();
    if (DaisyChainMode) {
        if (RxLength >= 2)
            LogRcvdBytes(answerBytes(), type);
        return result.ok();
    }
    if (RxLength >= 5)
        LogRcvdBytes(std::span<const uint8_t>(report.data() + 7, 2), type);
    if (readableReg) {
        if (RxLength >= 5) {
            m.dat = static_cast<int16_t>((report[7] & 0x3F) << 8 | report[8]);
        } else {
            m.dat = 0;
            LogUnrecognizedResponse();
            lamps.set(LampKind::Com, type, kLampRed);
        }
    }
    return result.ok();
}

// --- Error logs -----------------------------------------------------------

void ChipLink::comErrorLine(const std::string& text, int16_t flag)
{
    ++comErrorCount_;
    comErrors.add(PartName1, LogTimeStamp(services_.format, services_.clock.wallNow()) + text);
    if (hooks.addSampleFlags)
        hooks.addSampleFlags(flag);
}

void ChipLink::LogCrc4Error()
{
    comErrorLine("    CRC4 Error ", FlagCrc4Error);
}

void ChipLink::LogUnrecognizedResponse()
{
    comErrorLine("    Unrecognized Response ", FlagUnrecognized);
}

void ChipLink::LogNackResponse()
{
    comErrorLine("    NACK Response " + LastSentText + " " + LastRcvdText + " ", FlagNack);
    if (hooks.pauseOnNack && hooks.pauseOnNack())
        services_.prompter.tell(comErrors.text(), kProgramTitle);
}

void ChipLink::LogNoResponse(int deviceType)
{
    comErrorLine("    No Response " + LastSentText, FlagNoResponse);
    lamps.set(LampKind::Com, typeIndex(deviceType), kLampRed);
}

void ChipLink::LogPipeError()
{
    comErrorLine("    Pipe Communication Error", FlagPipeError);
}

void ChipLink::LogFaultStatus(const std::string& text)
{
    faultStatus.add(PartName1,
                    LogTimeStamp(services_.format, services_.clock.wallNow()) + "    " + text);
}

}  // namespace kvb::link
