#include "link/LinkLog.h"

#include "core/AppInfo.h"

namespace kvb::link {

namespace {

// A dump as one line: every line end becomes `replacement`.
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

void LinkLog::AddToEvbLog(const std::string& text1, const std::string& text2)
{
    if (view_)
        view_->appendLog(text1 + text2);
}

void LinkLog::clearLog()
{
    if (view_)
        view_->clearLog();
}

void LinkLog::logBytes(const char* label, std::span<const uint8_t> bytes, int deviceType,
                       std::string& lastText)
{
    const std::string text = ByteDump(label, bytes);
    lastText = flattened(text, " ");
    if (options_.ShowActivityLogs && view_)
        view_->appendHexLog(deviceType, text);
    if (host_.loggingActive())
        host_.logEvent(flattened(text, ""));
}

void LinkLog::LogSentBytes(std::span<const uint8_t> bytes, int deviceType)
{
    logBytes("Sent:", bytes, deviceType, lastSentText_);
}

void LinkLog::LogRcvdBytes(std::span<const uint8_t> bytes, int deviceType)
{
    logBytes("Rcvd:", bytes, deviceType, lastRcvdText_);
}

void LinkLog::comErrorLine(const std::string& text, int16_t flag)
{
    ++comErrorCount_;
    comErrors.add(partName1_, LogTimeStamp(services_.format, services_.clock.wallNow()) + text);
    host_.addSampleFlags(flag);
}

void LinkLog::LogCrc4Error()
{
    comErrorLine("    CRC4 Error ", FlagCrc4Error);
}

void LinkLog::LogUnrecognizedResponse()
{
    comErrorLine("    Unrecognized Response ", FlagUnrecognized);
}

void LinkLog::LogNackResponse()
{
    comErrorLine("    NACK Response " + lastSentText_ + " " + lastRcvdText_ + " ", FlagNack);
    if (host_.pauseOnNack())
        services_.prompter.tell(comErrors.text(), kProgramTitle);
}

void LinkLog::LogNoResponse()
{
    comErrorLine("    No Response " + lastSentText_, FlagNoResponse);
}

void LinkLog::LogPipeError()
{
    comErrorLine("    Pipe Communication Error", FlagPipeError);
}

void LinkLog::LogFaultStatus(const std::string& text)
{
    faultStatus.add(partName1_,
                    LogTimeStamp(services_.format, services_.clock.wallNow()) + "    " + text);
}

}  // namespace kvb::link
