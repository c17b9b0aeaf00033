#pragma once
// Test doubles of the core's services: scripted message-box answers, a clock
// that only moves when something sleeps, an event pump that can run a hook,
// a program end that records instead of quitting.

#include "core/Services.h"

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kvb::test {

struct AskedBox {
    std::string text;
    std::string title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    bool operator==(const AskedBox&) const = default;
};

inline void PrintTo(const AskedBox& box, std::ostream* os)
{
    *os << '"' << box.text << "\" / \"" << box.title << "\" buttons "
        << static_cast<int>(box.buttons) << " icon " << static_cast<int>(box.icon);
}

class ScriptedPrompter : public Prompter {
public:
    // Answers handed out in order; when they run out, `fallback` answers.
    std::deque<Answer> script;
    Answer fallback = Answer::Cancel;
    std::vector<AskedBox> asked;
    // Runs before the box is answered (e.g. to plug in a board on Retry).
    std::function<void(const AskedBox&)> onAsk;

    Answer ask(const std::string& text, const std::string& title, Buttons buttons,
               Icon icon) override
    {
        asked.push_back({text, title, buttons, icon});
        if (onAsk)
            onAsk(asked.back());
        if (script.empty())
            return fallback;
        Answer a = script.front();
        script.pop_front();
        return a;
    }

    // The texts of the boxes asked so far, in order.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> found;
        for (const AskedBox& box : asked)
            found.push_back(box.text);
        return found;
    }
};

class FakeClock : public Clock {
public:
    std::chrono::milliseconds current{1000};
    std::chrono::system_clock::time_point wall{};
    std::chrono::milliseconds slept{0};

    std::chrono::milliseconds now() override { return current; }
    void sleep(std::chrono::milliseconds d) override
    {
        current += d;
        slept += d;
        wall += d;
    }
    std::chrono::system_clock::time_point wallNow() override { return wall; }
};

class HookPump : public EventPump {
public:
    int yields = 0;
    std::function<void()> hook;
    void yield() override
    {
        ++yields;
        if (hook)
            hook();
    }
};

// Answers each dialog with the next scripted path and keeps what it was
// asked to show.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::deque<std::string> openAnswers;
    std::deque<std::string> saveAnswers;
    std::vector<FileDialogRequest> opened;
    std::vector<FileDialogRequest> saved;
    std::string openFile(const FileDialogRequest& request) override
    {
        opened.push_back(request);
        return take(openAnswers);
    }
    std::string saveFile(const FileDialogRequest& request) override
    {
        saved.push_back(request);
        return take(saveAnswers);
    }

private:
    static std::string take(std::deque<std::string>& q)
    {
        if (q.empty())
            return {};
        std::string s = q.front();
        q.pop_front();
        return s;
    }
};

// English with "." unless a test names other months, another separator or
// the texts of dates and times.
class ScriptedFormatter : public EnglishFormatter {
public:
    std::vector<std::string> months;  // twelve names, January first
    std::string separator = ".";
    // Every date and every time shown as these texts; empty: as in English.
    std::string date;
    std::string time;
    std::string monthName(int month) override
    {
        if (months.size() == 12 && month >= 1 && month <= 12)
            return months[static_cast<size_t>(month - 1)];
        return EnglishFormatter::monthName(month);
    }
    std::string decimalSeparator() override { return separator; }
    std::string shortDate(const CalendarTime& when) override
    {
        return date.empty() ? EnglishFormatter::shortDate(when) : date;
    }
    std::string longTime(const CalendarTime& when) override
    {
        return time.empty() ? EnglishFormatter::longTime(when) : time;
    }
};

class RecordingProgramEnd : public ProgramEnd {
public:
    int quits = 0;

protected:
    void quit() override { ++quits; }
};

// Everything bundled, ready to hand to the modules under test.
struct TestServices {
    ScriptedPrompter prompter;
    HookPump pump;
    FakeClock clock;
    ScriptedFileDialogs files;
    RecordingProgramEnd programEnd;
    ScriptedFormatter format;
    Services services{prompter, pump, clock, files, programEnd, format};
};

}  // namespace kvb::test
