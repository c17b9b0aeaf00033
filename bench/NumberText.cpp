#include "bench/NumberText.h"

#include "core/LeadingNumber.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <utility>

namespace kvb::bench {

namespace {

// The number at the start of `text`; `end` is set to the index just past it.
// A number beyond the range of a double is no number the panel can use.
std::optional<double> scanNumber(std::string_view text, size_t& end)
{
    std::optional<double> value = ReadLeadingNumber(text, &end);
    if (value && std::isinf(*value))
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> leadingNumber(std::string_view text)
{
    size_t end = 0;
    return scanNumber(text, end);
}

std::optional<double> wholeNumber(std::string_view text)
{
    size_t end = 0;
    auto value = scanNumber(text, end);
    if (value && text.find_first_not_of(" \t", end) != std::string_view::npos)
        return std::nullopt;
    return value;
}

double numericValue(std::string_view text)
{
    return leadingNumber(text).value_or(0.0);
}

std::optional<int16_t> leadingInt16(std::string_view text)
{
    // Read without dropping an overflow: "1e400" is a number, too large.
    const std::optional<double> value = ReadLeadingNumber(text);
    if (!value)
        return 0;
    const double rounded = std::round(*value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

bool holdsNumber(std::string_view text)
{
    size_t end = 0;
    return ReadLeadingNumber(text, &end) &&
           text.find_first_not_of(" \t", end) == std::string_view::npos;
}

namespace {

// The integer and fraction digits of `value` (not negative) rounded half up
// to `places` decimals, from its 15 significant digits: like the digits a
// person reads, 1000000.0123 stays 1000000.0123000000 and does not show the
// binary value's 1000000.0122999999.
std::pair<std::string, std::string> fixedDigits(double value, int places)
{
    // to_chars, unlike printf, ignores the locale.
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                             std::chars_format::scientific, 14).ptr;
    std::string text(buffer, end);
    size_t e = text.find('e');
    std::string mantissa = text.substr(0, 1) + text.substr(2, e - 2);
    int point = std::atoi(text.c_str() + e + 1) + 1;  // digits before the point

    std::string whole, fraction;
    if (point <= 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-point), '0') + mantissa;
    } else if (point >= static_cast<int>(mantissa.size())) {
        whole = mantissa + std::string(point - mantissa.size(), '0');
    } else {
        whole = mantissa.substr(0, static_cast<size_t>(point));
        fraction = mantissa.substr(static_cast<size_t>(point));
    }
    if (static_cast<int>(fraction.size()) > places) {
        bool up = fraction[static_cast<size_t>(places)] >= '5';
        fraction.resize(static_cast<size_t>(places));
        std::string digits = whole + fraction;
        for (size_t k = digits.size(); up && k-- > 0;) {
            if (digits[k] == '9') {
                digits[k] = '0';
            } else {
                ++digits[k];
                up = false;
            }
        }
        if (up)
            digits.insert(digits.begin(), '1');
        whole = digits.substr(0, digits.size() - fraction.size());
        fraction = digits.substr(digits.size() - fraction.size());
    }
    fraction.resize(static_cast<size_t>(places), '0');
    return {whole, fraction};
}

}  // namespace

std::string formatPattern(double value, std::string_view pattern)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Overflow" : "Overflow";
    size_t point = pattern.find('.');
    std::string_view integerPart = pattern.substr(0, point);
    std::string_view fractionPart =
        point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
    int minInteger = static_cast<int>(std::count(integerPart.begin(), integerPart.end(), '0'));
    bool grouping = integerPart.find(',') != std::string_view::npos;
    int minFraction = static_cast<int>(std::count(fractionPart.begin(), fractionPart.end(), '0'));
    int maxFraction = minFraction +
                      static_cast<int>(std::count(fractionPart.begin(), fractionPart.end(), '#'));

    auto [whole, fraction] = fixedDigits(std::fabs(value), maxFraction);
    bool nonzero = (whole + fraction).find_first_not_of('0') != std::string::npos;

    while (static_cast<int>(fraction.size()) > minFraction && fraction.back() == '0')
        fraction.pop_back();
    size_t firstSignificant = whole.find_first_not_of('0');
    whole = firstSignificant == std::string::npos ? std::string{} : whole.substr(firstSignificant);
    while (static_cast<int>(whole.size()) < minInteger)
        whole.insert(whole.begin(), '0');
    if (grouping) {
        std::string grouped;
        for (size_t k = 0; k < whole.size(); ++k) {
            if (k > 0 && (whole.size() - k) % 3 == 0)
                grouped.push_back(',');
            grouped.push_back(whole[k]);
        }
        whole = grouped;
    }
    std::string out = (value < 0 && nonzero) ? "-" : "";
    out += whole;
    if (point != std::string_view::npos)
        out += "." + fraction;
    return out;
}

}  // namespace kvb::bench
