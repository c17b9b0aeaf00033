#include "app/BalanceFieldEditor.h"

#include <algorithm>

namespace kvb {

namespace {

int widthOf(BalanceField field)
{
    switch (field) {
    case BalanceField::BankHex:
        return 4;
    case BalanceField::ValueHex:
        return 7;
    case BalanceField::ValueDec:
        return 9;
    }
    return 4;
}

unsigned decValue(std::string_view text)
{
    unsigned long long value = 0;
    if (text.empty() || text.size() > 10)
        return 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(value);
}

void caretAt(HexEdit& e, int caret)
{
    e.caret = caret;
    e.selStart = caret;
    e.selLength = 0;
}

}  // namespace

unsigned BalanceFieldValue(std::string_view text, BalanceField field)
{
    return field == BalanceField::ValueDec ? decValue(text) : HexRowValue(text);
}

std::string DecPadded(unsigned value, int width)
{
    std::string text = std::string(static_cast<size_t>(width), '0') + std::to_string(value);
    return text.substr(text.size() - static_cast<size_t>(width));
}

bool BalanceFieldKeyPress(HexEdit& e, int key, BalanceField field)
{
    const int width = widthOf(field);
    if (key == kKeyEscape) {
        // The box is cleared to zeros with the caret at the start, so the
        // next digit overtypes the first zero.
        e.text.assign(static_cast<size_t>(width), '0');
        caretAt(e, 0);
        return true;
    }
    const bool digit = key >= '0' && key <= '9';
    if (field == BalanceField::ValueDec && !digit && key != kKeyBackspace)
        return false;
    if (!HexDigitKey(e, key, width))
        return false;
    const unsigned limit = field == BalanceField::BankHex ? kMaxBankValue : kMaxBalanceValue;
    if (BalanceFieldValue(e.text, field) <= limit)
        return true;
    if (field == BalanceField::ValueDec) {
        e.text = std::to_string(kMaxBalanceValue);
    } else {
        const size_t keep = static_cast<size_t>(width - 1);
        const std::string tail = e.text.size() > keep ? e.text.substr(e.text.size() - keep) : e.text;
        e.text = "0" + tail;
    }
    caretAt(e, 1);
    return true;
}

}  // namespace kvb
