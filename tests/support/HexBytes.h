#pragma once
// Bytes as the tests write them out: two upper-case hexadecimal digits
// each, one blank between ("22 10 0C").

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace kvb::test {

inline std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::ostringstream out;
    for (size_t i = 0; i < bytes.size(); ++i)
        out << (i ? " " : "") << std::uppercase << std::hex << std::setw(2) << std::setfill('0')
            << int(bytes[i]);
    return out.str();
}

}  // namespace kvb::test
