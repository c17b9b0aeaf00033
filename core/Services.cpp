#include "core/Services.h"

#include <ctime>
#include <thread>

namespace kvb {

std::chrono::milliseconds SystemClock::now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleep(std::chrono::milliseconds duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

std::chrono::system_clock::time_point SystemClock::wallNow()
{
    return std::chrono::system_clock::now();
}

std::string EnglishFormatter::monthName(int month)
{
    static const char* const kMonths[] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

CalendarTime LocalCalendarTime(std::chrono::system_clock::time_point when)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string EnglishFormatter::shortDate(const CalendarTime& when)
{
    return std::to_string(when.month) + "/" + std::to_string(when.day) + "/" +
           std::to_string(when.year);
}

std::string EnglishFormatter::longTime(const CalendarTime& when)
{
    auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
    return std::to_string(hour12) + ":" + twoDigits(when.minute) + ":" + twoDigits(when.second) +
           (when.hour < 12 ? " AM" : " PM");
}

EnglishFormatter& EnglishFormatter::instance()
{
    static EnglishFormatter english;
    return english;
}

}  // namespace kvb
