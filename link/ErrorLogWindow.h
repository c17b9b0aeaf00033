#pragma once
// The model of the communication-error window and of the fault-status
// window: a text box that starts afresh when its line counter passes 250, a
// caption that follows the part name, and whether the window is shown.

#include "core/Services.h"

#include <chrono>
#include <functional>
#include <string>

namespace kvb::link {

class ErrorLogWindow {
public:
    static constexpr int kLineLimit = 250;

    explicit ErrorLogWindow(std::string captionSuffix) : suffix_(std::move(captionSuffix)) {}

    // Shows the window (caption from the part name), counts the line, empties
    // the box when the count passes the limit, then appends the line and CR LF.
    void add(const std::string& partName, const std::string& line);
    // The window comes up (activated): the caption takes the part name.
    void Form_Activate(const std::string& partName);
    // "Clear Text": empties the box; the counter runs on.
    void clearText();
    // "Done": hides the window; text and counter stay.
    void done();

    const std::string& text() const { return text_; }
    int lineCount() const { return lineCount_; }
    bool visible() const { return visible_; }
    const std::string& caption() const { return caption_; }

    // A window hook: the log's window, which lives shorter than the log, sets
    // it while it is open and clears it when it goes.
    std::function<void()> changed;

private:
    void notify()
    {
        if (changed)
            changed();
    }

    std::string suffix_;
    std::string text_;
    std::string caption_;
    int lineCount_ = 0;
    bool visible_ = false;
};

// The local date and time in front of every error-log line: the short
// date, a blank, then the long time, as the user's system writes them.
std::string LogTimeStamp(Formatter& format, std::chrono::system_clock::time_point when);

}  // namespace kvb::link
