#include "link/ErrorLogWindow.h"

#include "link/LinkText.h"

#include <ctime>

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

std::string LogTimeStamp(std::chrono::system_clock::time_point when)
{
    std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace kvb::link
