#include "data/CoreClaims.h"

#include <pthread.h>

namespace kvb::data {

namespace {

constexpr int kMostCores = 64;

uint64_t Bit(int core)
{
    return uint64_t{1} << core;
}

}  // namespace

CoreClaims::Stay::~Stay()
{
    if (movedTo_ >= 0)
        pthread_setaffinity_np(pthread_self(), sizeof before_, &before_);
}

CoreClaims::CoreClaims()
{
    const int core = sched_getcpu();
    if (core >= 0 && core < kMostCores)
        taken_.store(Bit(core));
}

bool CoreClaims::take(int core)
{
    return (taken_.fetch_or(Bit(core)) & Bit(core)) == 0;
}

CoreClaims::Stay CoreClaims::claim()
{
    Stay stay;
    const int core = sched_getcpu();
    if (core < 0 || core >= kMostCores || take(core))
        return stay;
    if (pthread_getaffinity_np(pthread_self(), sizeof stay.before_, &stay.before_) != 0)
        return stay;
    for (int c = 0; c < kMostCores; ++c) {
        if (!CPU_ISSET(c, &stay.before_) || !take(c))
            continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(c, &one);
        if (pthread_setaffinity_np(pthread_self(), sizeof one, &one) == 0)
            stay.movedTo_ = c;
        break;
    }
    return stay;
}

}  // namespace kvb::data
