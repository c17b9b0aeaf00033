#pragma once
// Small interfaces through which the core reaches the user, the event loop,
// time and the file system. The program binds them to Qt; tests bind them to
// scripted doubles, so no core code ever opens a modal loop of its own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvb {

// Buttons offered by a message box.
enum class Buttons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };

// The answer of a message box. The numbers are the classic message-box
// results, which some callers store and compare (4 = Retry, 2 = Cancel).
enum class Answer : int { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

enum class Icon { None, Information, Warning, Critical, Question };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text in a box with the given title and buttons and returns the
    // button the user pressed.
    virtual Answer ask(const std::string& text, const std::string& title,
                       Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // An OK-only box.
    void tell(const std::string& text, const std::string& title, Icon icon = Icon::None)
    {
        ask(text, title, Buttons::Ok, icon);
    }
};

// Lets pending window events run once while a handler waits: timer ticks
// and repaints. User input (clicks, keys, closing a window) is not among
// them: it waits until the handler has returned to the event loop, and then
// runs in the order it was given.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void yield() = 0;
};

// Monotonic time for waits, wall time for names and time stamps.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::milliseconds now() = 0;  // monotonic
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    virtual std::chrono::system_clock::time_point wallNow() = 0;
};

// The window a file dialog belongs to: the dialog stays above it and holds
// its input back while it is open.
enum class DialogOwner { MainWindow, InstrumentPanel };

// What a file dialog shows: its owner and title, where it starts (an open
// dialog's folder, a save dialog's proposed path), its filters in order
// ("Text Files (*.txt)") and which of them is chosen when it opens.
struct FileDialogRequest {
    DialogOwner owner = DialogOwner::MainWindow;
    std::string title;
    std::string start;
    std::vector<std::string> filters;
    size_t chosenFilter = 0;
};

// Open and save file dialogs. An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::string openFile(const FileDialogRequest& request) = 0;
    virtual std::string saveFile(const FileDialogRequest& request) = 0;
};

// Ends the program in order: every registered shutdown step runs once, in
// the reverse order of registration (logs closed, board handles closed, ...),
// then the application is asked to quit. Callers return normally afterwards;
// `ending()` tells long-running loops to stop.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    void onShutdown(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void end()
    {
        if (ending_)
            return;
        ending_ = true;
        while (!steps_.empty()) {
            auto step = std::move(steps_.back());
            steps_.pop_back();
            step();
        }
        quit();
    }
    bool ending() const { return ending_; }

protected:
    virtual void quit() = 0;

private:
    std::vector<std::function<void()>> steps_;
    bool ending_ = false;
};

// A moment as the local clock shows it (month 1 to 12, hour 0 to 23).
struct CalendarTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
CalendarTime LocalCalendarTime(std::chrono::system_clock::time_point when);

// How dates and numbers are shown to the user: the program binds it to the
// system's language and number format. Only texts meant to be read go
// through it; nothing sent to the board or saved to a file is localised.
class Formatter {
public:
    virtual ~Formatter() = default;
    // The month's full name (month 1 to 12); empty for any other number.
    virtual std::string monthName(int month) = 0;
    // What separates a number's whole part from its fraction.
    virtual std::string decimalSeparator() = 0;
    // The date in the short date format, the time of day in the long time
    // format.
    virtual std::string shortDate(const CalendarTime& when) = 0;
    virtual std::string longTime(const CalendarTime& when) = 0;
};

// English as written in the United States: month names, ".", dates as
// 12/9/2026 and times as 1:05:07 PM (the tests' default).
class EnglishFormatter : public Formatter {
public:
    std::string monthName(int month) override;
    std::string decimalSeparator() override { return "."; }
    std::string shortDate(const CalendarTime& when) override;
    std::string longTime(const CalendarTime& when) override;
    static EnglishFormatter& instance();
};

// The set of services handed to every module.
struct Services {
    Prompter& prompter;
    EventPump& pump;
    Clock& clock;
    FileDialogs& files;
    ProgramEnd& programEnd;
    Formatter& format = EnglishFormatter::instance();
};

// The real clock: steady_clock and std::this_thread::sleep_for.
class SystemClock : public Clock {
public:
    std::chrono::milliseconds now() override;
    void sleep(std::chrono::milliseconds duration) override;
    std::chrono::system_clock::time_point wallNow() override;
};

}  // namespace kvb
