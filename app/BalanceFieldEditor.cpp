#include "app/BalanceFieldEditor.h"

namespace kvb {

namespace {

// A bank's value read from the chip is shown in full, bits 12 and 13
// included.
constexpr unsigned kMaxShownBank = 0x3FFF;

KeyField rulesOf(BalanceField field)
{
    switch (field) {
    case BalanceField::BankHex:
        return {.width = 4, .limit = kMaxBankValue, .overLead = '0'};
    case BalanceField::ValueHex:
        return {.width = 7, .limit = kMaxBalanceValue, .overLead = '0'};
    case BalanceField::ValueDec:
        return {.width = 9, .decimal = true, .limit = kMaxBalanceValue, .overText = "268435455"};
    }
    return kRowField;
}

// The edit a key applies to: the box's text, unless the box could not hold
// it.
HexEdit overShown(const HexEdit& edit, BalanceField field, std::string_view shown)
{
    HexEdit e = edit;
    if (!IsBalanceFieldText(e.text, field))
        e.text = shown;
    return e;
}

}  // namespace

int BalanceFieldWidth(BalanceField field)
{
    return rulesOf(field).width;
}

unsigned BalanceFieldValue(std::string_view text, BalanceField field)
{
    return FieldValue(text, rulesOf(field));
}

std::string DecPadded(unsigned value, int width)
{
    std::string text = std::string(static_cast<size_t>(width), '0') + std::to_string(value);
    return text.substr(text.size() - static_cast<size_t>(width));
}

bool BalanceFieldKeyPress(HexEdit& edit, int key, BalanceField field, std::string_view shown)
{
    HexEdit e = overShown(edit, field, shown);
    if (!FieldKeyPress(e, key, rulesOf(field)))
        return false;
    edit = e;
    return true;
}

bool BalanceFieldPaste(HexEdit& edit, std::string_view pasted, BalanceField field,
                       std::string_view shown)
{
    HexEdit e = overShown(edit, field, shown);
    if (!FieldPaste(e, pasted, rulesOf(field)))
        return false;
    edit = e;
    return true;
}

bool IsBalanceFieldText(std::string_view text, BalanceField field)
{
    return IsFieldText(text, rulesOf(field),
                       field == BalanceField::BankHex ? kMaxShownBank : kMaxBalanceValue);
}

}  // namespace kvb
