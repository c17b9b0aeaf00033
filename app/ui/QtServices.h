#pragma once
// The core's services bound to Qt: message boxes, the event loop, file
// dialogs and the application's quit.

#include "core/Services.h"

#include <QLocale>

#include <optional>

namespace kvb::ui {

class QtPrompter : public Prompter {
public:
    Answer ask(const std::string& text, const std::string& title, Buttons buttons,
               Icon icon) override;
};

class QtEventPump : public EventPump {
public:
    void yield() override;
};

// Each dialog opens over its owner: the top-level window of the owner's
// name ("Main_KVB71853", "frmInst"), the shown one when there are several;
// with no such window it opens on its own.
class QtFileDialogs : public FileDialogs {
public:
    std::string openFile(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;
};

class QtProgramEnd : public ProgramEnd {
protected:
    void quit() override;
};

// A locale's month names, decimal separator, short date and long time: the
// system's (as it is at each call), or the one given.
class QtFormatter : public Formatter {
public:
    QtFormatter() = default;
    explicit QtFormatter(const QLocale& locale) : locale_(locale) {}
    std::string monthName(int month) override;
    std::string decimalSeparator() override;
    std::string shortDate(const CalendarTime& when) override;
    std::string longTime(const CalendarTime& when) override;

private:
    QLocale locale() const { return locale_ ? *locale_ : QLocale::system(); }
    std::optional<QLocale> locale_;
};

// The real services, owned together.
struct QtServices {
    QtPrompter prompter;
    QtEventPump pump;
    SystemClock clock;
    QtFileDialogs files;
    QtProgramEnd programEnd;
    QtFormatter format;
    Services services{prompter, pump, clock, files, programEnd, format};
};

}  // namespace kvb::ui
