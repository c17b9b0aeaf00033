#pragma once
// What the chip link needs of the program around it: the program's state it
// asks for over the whole run (`LinkHost`, handed to the link when it is
// built), and the main window that shows the link's answers and logs while
// it is open (`LinkView`, attached by the window).

#include <cstdint>
#include <string>

namespace kvb::link {

// The main window's menu options the link obeys (both checked at start).
struct LinkViewOptions {
    bool ShowActivityLogs = true;   // hex dumps and per-frame "rcv," lines
    bool UpdateGuiControls = true;  // register rows and tabs follow the answers
};

// The program's parts the link consults for the whole run.
class LinkHost {
public:
    virtual ~LinkHost() = default;
    // The text log file: whether it is open, and a line for it.
    virtual bool loggingActive() const = 0;
    virtual void logEvent(const std::string& line) = 0;
    // Error bits of the chart sample being gathered.
    virtual void addSampleFlags(int16_t flags) = 0;
    // The board panel's "Pause on Nack" box.
    virtual bool pauseOnNack() const = 0;
    // Whether the balance-sequence dialog holds the poll timer back.
    virtual bool holdPollTimer() const = 0;
};

// The main window as the link shows into it. The window lives shorter than
// the link: it attaches itself while it is open, and without it the link
// shows nothing.
class LinkView {
public:
    virtual ~LinkView() = default;
    // A value for the selected device arrived (the window refreshes every
    // visible row that shows the register); the MAIN and MONITOR pages
    // refresh when they are visible.
    virtual void showRegisterValue(int reg, int16_t value) = 0;
    virtual void refreshMainTab() = 0;
    virtual void refreshMonitorTab() = 0;
    // The link log box.
    virtual void appendLog(const std::string& text) = 0;
    virtual void clearLog() = 0;
    // The hex log box of a device type (0 or 1).
    virtual void appendHexLog(int type, const std::string& text) = 0;
};

}  // namespace kvb::link
