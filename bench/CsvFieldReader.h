#pragma once
// Reads comma-separated fields one at a time: commas and line ends both end
// a field, so records may run over lines. A field in double quotes keeps its
// commas and blanks ("" inside stands for one quote); an unquoted field loses
// its leading and trailing blanks.

#include <istream>
#include <optional>
#include <string>

namespace kvb::bench {

class CsvFieldReader {
public:
    explicit CsvFieldReader(std::istream& in) : in_(in) {}

    // The next field; empty when the input has ended.
    std::optional<std::string> next();

private:
    // Consumes the separator after a field: a comma, or a line end (CR, LF
    // or CR LF).
    void skipSeparator();

    std::istream& in_;
};

}  // namespace kvb::bench
