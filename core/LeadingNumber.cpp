#include "core/LeadingNumber.h"

#include <charconv>
#include <limits>

namespace kvb {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The power of ten of the first significant digit of a number whose value
// does not fit a double, to tell one too large from one too small.
long long magnitude(std::string_view mantissa, long long exponent)
{
    const size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const size_t first = whole.find_first_not_of('0');
    if (first != std::string_view::npos)
        return exponent + static_cast<long long>(whole.size() - first) - 1;
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
    const size_t significant = fraction.find_first_not_of('0');
    if (significant == std::string_view::npos)
        return std::numeric_limits<long long>::min();  // zero
    return exponent - static_cast<long long>(significant) - 1;
}

// Reads an exponent ("e" or "E", a sign, digits) at `i` into `exponent`;
// returns the index past it, or `i` itself when no digit follows the "e".
size_t readExponent(std::string_view text, size_t i, long long& exponent)
{
    if (i >= text.size() || (text[i] != 'e' && text[i] != 'E'))
        return i;
    size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
        negativeExponent = text[j++] == '-';
    const size_t exponentStart = j;
    long long value = 0;
    for (; j < text.size() && isDigit(text[j]); ++j)
        if (value < 1'000'000)  // far beyond any double either way
            value = value * 10 + (text[j] - '0');
    if (j == exponentStart)
        return i;
    exponent = negativeExponent ? -value : value;
    return j;
}

}  // namespace

std::optional<double> ReadLeadingNumber(std::string_view text, size_t* end)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const size_t start = i;
    size_t digits = 0;
    auto skipDigits = [&] {
        for (; i < text.size() && isDigit(text[i]); ++i)
            ++digits;
    };
    skipDigits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        skipDigits();
    }
    if (digits == 0)
        return std::nullopt;
    const size_t mantissaEnd = i;
    long long exponent = 0;
    i = readExponent(text, i, exponent);
    if (end)
        *end = i;
    // from_chars reads "." as the decimal point whatever the locale; it
    // takes no "+" sign, so the sign is applied here.
    double value = 0.0;
    const auto [ptr, error] = std::from_chars(text.data() + start, text.data() + i, value);
    if (error == std::errc::result_out_of_range)
        value = magnitude(text.substr(start, mantissaEnd - start), exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    return negative ? -value : value;
}

double LeadingNumber(std::string_view text)
{
    return ReadLeadingNumber(text).value_or(0.0);
}

}  // namespace kvb
