#pragma once
// What the chip link needs of the windows around it, as hooks the program
// wires when it builds its windows. Every hook is optional: an unset hook
// does nothing (or answers false). The logs' hooks are the log's own
// (`LinkLogHooks`).

#include <cstdint>
#include <functional>

namespace kvb::link {

// The main window's menu options the link obeys (both checked at start).
struct LinkViewOptions {
    bool ShowActivityLogs = true;   // hex dumps and per-frame "rcv," lines
    bool UpdateGuiControls = true;  // register rows and tabs follow the answers
};

struct LinkHooks {
    // Register views: a value for the selected device arrived (the window
    // refreshes every visible row that shows the register); the MAIN and
    // MONITOR pages refresh when they are visible.
    std::function<void(int reg, int16_t value)> showRegisterValue;
    std::function<void()> refreshMainTab;
    std::function<void()> refreshMonitorTab;

    // Whether the balance-sequence dialog holds the poll timer back.
    std::function<bool()> holdPollTimer;
};

}  // namespace kvb::link
