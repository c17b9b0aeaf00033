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

}  // namespace kvb
