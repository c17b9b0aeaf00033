#pragma once
// What the chip link needs of the windows around it, as hooks the program
// wires when it builds its windows. Every hook is optional: an unset hook
// does nothing (or answers false).

#include <cstdint>
#include <functional>
#include <string>

namespace kvb::link {

// The main window's menu options the link obeys (both checked at start).
struct LinkViewOptions {
    bool ShowActivityLogs = true;   // hex dumps and per-frame "rcv," lines
    bool UpdateGuiControls = true;  // register rows and tabs follow the answers
};

struct LinkHooks {
    // The main window's link log box.
    std::function<void(const std::string&)> appendLog;
    std::function<void()> clearLog;
    // The hex log box of a device type (0 or 1).
    std::function<void(int, const std::string&)> appendHexLog;

    // Register views: a value for the selected device arrived (the window
    // refreshes every visible row that shows the register); the MAIN and
    // MONITOR pages refresh when they are visible.
    std::function<void(int reg, int16_t value)> showRegisterValue;
    std::function<void()> refreshMainTab;
    std::function<void()> refreshMonitorTab;

    // Whether the balance-sequence dialog holds the poll timer back.
    std::function<bool()> holdPollTimer;

    // The text log file.
    std::function<bool()> loggingActive;
    std::function<void(const std::string&)> logEvent;

    // Error bits of the chart sample being gathered.
    std::function<void(int16_t)> addSampleFlags;
    // The board panel's "Pause on Nack" box.
    std::function<bool()> pauseOnNack;
};

}  // namespace kvb::link
