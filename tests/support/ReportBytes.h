#pragma once
// The leading bytes of a board report, as numbers to compare with the bytes
// a test writes out.

#include "board/BoardProtocol.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kvb::test {

// Report bytes 0 to n - 1 (the whole report when n is longer).
inline std::vector<int> Head(const board::Report& report, size_t n)
{
    n = std::min(n, report.size());
    return {report.begin(), report.begin() + static_cast<std::ptrdiff_t>(n)};
}

}  // namespace kvb::test
