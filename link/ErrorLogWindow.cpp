#include "link/ErrorLogWindow.h"

#include "link/LinkText.h"

namespace kvb::link {

void ErrorLogWindow::add(const std::string& partName, const std::string& line)
{
    visible_ = true;
    caption_ = partName + suffix_;
    if (++lineCount_ > kLineLimit) {
        lineCount_ = 0;
        text_.clear();
    }
    text_ += line;
    text_ += kCrLf;
    notify();
}

void ErrorLogWindow::Form_Activate(const std::string& partName)
{
    caption_ = partName + suffix_;
    notify();
}

void ErrorLogWindow::clearText()
{
    text_.clear();
    notify();
}

void ErrorLogWindow::done()
{
    visible_ = false;
    notify();
}

std::string LogTimeStamp(Formatter& format, std::chrono::system_clock::time_point when)
{
    const CalendarTime local = LocalCalendarTime(when);
    return format.shortDate(local) + " " + format.longTime(local);
}

}  // namespace kvb::link
