#pragma once
// The chip link's logs: the main window's link log, the "Sent:"/"Rcvd:"
// dumps in the hex logs and the text log file, the communication-error
// window with the error bits of the chart sample being gathered, and the
// fault-status window. The text log, the chart sample and the panel's box
// are reached through the link's host; the boxes of the main window through
// its view while one is attached.

#include "core/Services.h"
#include "link/ErrorLogWindow.h"
#include "link/LinkHooks.h"
#include "link/LinkText.h"

#include <cstdint>
#include <span>
#include <string>

namespace kvb::link {

// Error bits the link adds to the chart sample being gathered.
enum SampleFlag : int16_t {
    FlagNoResponse = 0x01,
    FlagCrc4Error = 0x02,
    FlagUnrecognized = 0x04,
    FlagNack = 0x08,
    FlagPipeError = 0x10,
};

class LinkLog {
public:
    // The windows' captions follow `partName1`; the dumps reach the hex logs
    // only while `options` shows the activity logs.
    LinkLog(Services& services, LinkHost& host, const std::string& partName1,
            const LinkViewOptions& options)
        : services_(services), host_(host), partName1_(partName1), options_(options)
    {
    }
    LinkLog(const LinkLog&) = delete;
    LinkLog& operator=(const LinkLog&) = delete;

    // The main window's boxes, or none.
    void attachView(LinkView* view) { view_ = view; }
    ErrorLogWindow comErrors{" Communication Errors"};
    ErrorLogWindow faultStatus{" Fault Status Log"};

    // --- Traffic ------------------------------------------------------------
    void AddToEvbLog(const std::string& text1, const std::string& text2 = kCrLf);
    // Empties the link log box (a new connection).
    void clearLog();
    // The dumps of a frame sent to and an answer from a device type (0 or 1,
    // its TypeIndex).
    void LogSentBytes(std::span<const uint8_t> bytes, int deviceType);
    void LogRcvdBytes(std::span<const uint8_t> bytes, int deviceType);
    // The last dumps, every line end made one blank (the NACK line quotes them).
    const std::string& LastSentText = lastSentText_;
    const std::string& LastRcvdText = lastRcvdText_;

    // --- Communication errors and fault status --------------------------------
    void LogCrc4Error();
    void LogNackResponse();
    void LogUnrecognizedResponse();
    void LogPipeError();
    // A device did not answer a read or write addressed to it (daisy chain):
    // the line quotes the request.
    void LogNoResponse();
    void LogFaultStatus(const std::string& text);
    // Lines written to the communication-error log so far.
    int communicationErrors() const { return comErrorCount_; }

private:
    void logBytes(const char* label, std::span<const uint8_t> bytes, int deviceType,
                  std::string& lastText);
    void comErrorLine(const std::string& text, int16_t flag);

    Services& services_;
    LinkHost& host_;
    LinkView* view_ = nullptr;
    const std::string& partName1_;
    const LinkViewOptions& options_;
    std::string lastSentText_;
    std::string lastRcvdText_;
    int comErrorCount_ = 0;
};

}  // namespace kvb::link
