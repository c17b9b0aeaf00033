#include "core/Services.h"

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

EnglishFormatter& EnglishFormatter::instance()
{
    static EnglishFormatter english;
    return english;
}

}  // namespace kvb
