#pragma once
// How often a piece of text occurs in a log or a file.

#include <string_view>

namespace kvb::test {

// The occurrences of `part` in `text` that do not overlap; none of an
// empty part.
inline int Occurrences(std::string_view text, std::string_view part)
{
    if (part.empty())
        return 0;
    int n = 0;
    for (size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size()))
        ++n;
    return n;
}

}  // namespace kvb::test
