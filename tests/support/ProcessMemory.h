#pragma once
// The resident memory of this process, for the tests and benchmarks that
// watch it stay flat.

#include <cstdio>
#include <unistd.h>

namespace kvb::test {

// Resident bytes, from /proc/self/statm; 0 when it cannot be read.
inline long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

}  // namespace kvb::test
