#include "core/FieldReader.h"

namespace kvb {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool isBlank(int c)
{
    return c == ' ' || c == '\t';
}

bool endsLine(int c)
{
    return c == '\r' || c == '\n';
}

bool endsField(int c)
{
    return c == ',' || endsLine(c) || c == kEnd;
}

// Adds a character to the field while it is shorter than the part kept.
void take(std::string& field, size_t keep, int c)
{
    if (field.size() < keep)
        field.push_back(static_cast<char>(c));
}

}  // namespace

void FieldReader::skipSeparator()
{
    int c = in_.get();
    if (c == '\r' && in_.peek() == '\n')
        in_.get();
}

bool FieldReader::readQuoted(std::string& field, size_t keep)
{
    in_.get();
    for (;;) {
        int c = in_.get();
        if (c == kEnd)
            return false;  // an unclosed quote ends with the input
        if (c == '"') {
            if (in_.peek() != '"')
                break;
            in_.get();
        }
        take(field, keep, c);
    }
    // Anything between the closing quote and the separator is dropped.
    while (!endsField(in_.peek()))
        in_.get();
    return true;
}

void FieldReader::readUnquoted(std::string& field, size_t keep)
{
    // Blanks count as part of the field only once a character follows
    // them, so trailing blanks are dropped from the whole field, not
    // from the part of it that is kept: "0x1   x" keeps its blanks
    // however short the kept part is.
    std::string blanks;
    while (!endsField(in_.peek())) {
        const int c = in_.get();
        if (isBlank(c)) {
            if (field.size() + blanks.size() < keep)
                blanks.push_back(static_cast<char>(c));
            continue;
        }
        for (char b : blanks)
            take(field, keep, b);
        blanks.clear();
        take(field, keep, c);
    }
}

std::optional<std::string> FieldReader::next(size_t keep)
{
    for (;;) {
        while (isBlank(in_.peek()))
            in_.get();
        if (in_.peek() == kEnd)
            return std::nullopt;

        std::string field;
        const bool quoted = in_.peek() == '"';
        if (quoted) {
            if (!readQuoted(field, keep))
                return field;
        } else {
            readUnquoted(field, keep);
        }
        const bool atLineEnd = endsLine(in_.peek());
        if (in_.peek() != kEnd)
            skipSeparator();
        if (emptyLines_ == EmptyLines::Skipped && atLineEnd && field.empty() && !quoted)
            continue;
        return field;
    }
}

}  // namespace kvb
