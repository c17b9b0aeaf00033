#pragma once
// Reads comma-separated fields one at a time: commas and line ends (CR, LF
// or CR LF, each one line end) both end a field, so records may run over
// lines. A field in double quotes keeps its commas and blanks ("" inside
// stands for one quote); an unquoted field loses its leading and trailing
// blanks. Nothing past the field asked for is read, so a caller that needs
// the first few fields of a big file reads only those.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace kvb {

class FieldReader {
public:
    // What an empty line (or the empty rest of a line after a comma) is.
    enum class EmptyLines { AreFields, Skipped };

    explicit FieldReader(std::istream& in, EmptyLines emptyLines = EmptyLines::AreFields)
        : in_(in), emptyLines_(emptyLines)
    {
    }

    // The next field, of which at most `keep` characters are kept (the rest
    // is read past); nothing when the input has ended. The blanks are
    // dropped from the whole field before it is cut, so a kept part may end
    // in blanks that stand inside the field.
    std::optional<std::string> next(size_t keep = std::string::npos);

private:
    // Consumes the separator after a field: a comma, or a line end.
    void skipSeparator();
    // Reads a quoted field from its opening quote up to its separator;
    // false when the input ends before the closing quote.
    bool readQuoted(std::string& field, size_t keep);
    // Reads an unquoted field up to its separator, without its trailing blanks.
    void readUnquoted(std::string& field, size_t keep);

    std::istream& in_;
    EmptyLines emptyLines_;
};

}  // namespace kvb
