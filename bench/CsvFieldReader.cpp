#include "bench/CsvFieldReader.h"

namespace kvb::bench {

namespace {

bool isBlank(int c)
{
    return c == ' ' || c == '\t';
}

bool endsField(int c)
{
    return c == ',' || c == '\r' || c == '\n';
}

}  // namespace

void CsvFieldReader::skipSeparator()
{
    int c = in_.get();
    if (c == '\r' && in_.peek() == '\n')
        in_.get();
}

std::optional<std::string> CsvFieldReader::next()
{
    while (isBlank(in_.peek()))
        in_.get();
    if (in_.peek() == std::char_traits<char>::eof())
        return std::nullopt;

    std::string field;
    if (in_.peek() == '"') {
        in_.get();
        for (;;) {
            int c = in_.get();
            if (c == std::char_traits<char>::eof())
                return field;  // an unclosed quote ends with the file
            if (c == '"') {
                if (in_.peek() != '"')
                    break;
                in_.get();
            }
            field.push_back(static_cast<char>(c));
        }
        // Anything between the closing quote and the separator is dropped.
        while (in_.peek() != std::char_traits<char>::eof() && !endsField(in_.peek()))
            in_.get();
    } else {
        while (in_.peek() != std::char_traits<char>::eof() && !endsField(in_.peek()))
            field.push_back(static_cast<char>(in_.get()));
        while (!field.empty() && isBlank(field.back()))
            field.pop_back();
    }
    if (in_.peek() != std::char_traits<char>::eof())
        skipSeparator();
    return field;
}

}  // namespace kvb::bench
