#include "app/HexRowEditor.h"

#include "core/Hex.h"

#include <algorithm>

namespace kvb {

namespace {

void clampCursor(HexEdit& e)
{
    const int size = static_cast<int>(e.text.size());
    e.caret = std::clamp(e.caret, 0, size);
    e.selStart = std::clamp(e.selStart, 0, size);
    e.selLength = std::clamp(e.selLength, 0, size - e.selStart);
}

void setCaret(HexEdit& e, int caret)
{
    e.caret = caret;
    e.selStart = caret;
    e.selLength = 0;
}

// Keeps the last `width` characters; the caret moves with the text it was in.
void keepLast(HexEdit& e, int width)
{
    if (static_cast<int>(e.text.size()) <= width)
        return;
    const int cut = static_cast<int>(e.text.size()) - width;
    e.text.erase(0, cut);
    setCaret(e, std::max(0, e.caret - cut));
}

void backspace(HexEdit& e)
{
    if (e.selLength > 0) {
        e.text.erase(e.selStart, e.selLength);
        setCaret(e, e.selStart);
    } else if (e.caret > 0) {
        e.text.erase(e.caret - 1, 1);
        setCaret(e, e.caret - 1);
    }
    if (e.text.empty()) {
        e.text = "0";
        setCaret(e, 1);
    }
}

void typeDigit(HexEdit& e, char digit, int width)
{
    if (e.selLength > 0) {
        e.text.replace(e.selStart, e.selLength, 1, digit);
        setCaret(e, e.selStart + 1);
    } else if (e.caret >= static_cast<int>(e.text.size())) {
        e.text.push_back(digit);
        setCaret(e, static_cast<int>(e.text.size()));
        keepLast(e, width);
        setCaret(e, static_cast<int>(e.text.size()));
    } else {
        // Overtype the character after the caret and move past it.
        e.text[e.caret] = digit;
        setCaret(e, e.caret + 1);
        keepLast(e, width);
    }
}

bool isFieldDigit(char c, const KeyField& field)
{
    return field.decimal ? c >= '0' && c <= '9' : IsHexDigit(c);
}

// A value above the field's limit is cut back, with the caret after the
// first character of the new text.
void limitValue(HexEdit& e, const KeyField& field)
{
    if (FieldValue(e.text, field) <= field.limit)
        return;
    if (!field.overText.empty()) {
        e.text = field.overText;
    } else {
        const size_t keep = static_cast<size_t>(std::max(0, field.width - 1));
        const std::string tail =
            e.text.size() > keep ? e.text.substr(e.text.size() - keep) : e.text;
        e.text = field.overLead + tail;
    }
    setCaret(e, 1);
}

}  // namespace

bool HexDigitKey(HexEdit& e, int key, int width)
{
    clampCursor(e);
    if (key >= 'a' && key <= 'f')
        key -= 32;
    if (key == kKeyBackspace)
        backspace(e);
    else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'F'))
        typeDigit(e, static_cast<char>(key), width);
    else
        return false;
    return true;
}

bool FieldKeyPress(HexEdit& e, int key, const KeyField& field)
{
    if (key == kKeyEscape) {
        // Escape clears the value and leaves the caret at the start.
        e.text.assign(static_cast<size_t>(field.width), '0');
        setCaret(e, 0);
        return true;
    }
    if (field.decimal && key != kKeyBackspace && !(key >= '0' && key <= '9'))
        return false;
    clampCursor(e);
    const bool overtype = e.selLength == 0 && e.caret < static_cast<int>(e.text.size());
    if (!HexDigitKey(e, key, field.width))
        return false;
    // An overtyped digit rewrites the whole text, which leaves the caret at
    // the start of the box: the next digit overtypes the first one.
    if (overtype && key != kKeyBackspace)
        setCaret(e, 0);
    limitValue(e, field);
    return true;
}

bool FieldPaste(HexEdit& e, std::string_view pasted, const KeyField& field)
{
    if (pasted.empty() ||
        !std::all_of(pasted.begin(), pasted.end(), [&](char c) { return isFieldDigit(c, field); }))
        return false;
    for (char c : pasted)
        FieldKeyPress(e, static_cast<unsigned char>(c), field);
    return true;
}

unsigned FieldValue(std::string_view text, const KeyField& field)
{
    if (field.decimal)
        return static_cast<unsigned>(
            ReadDigits(text, {.base = 10, .maxLength = 10}).value.value_or(0));
    return HexRowValue(text);
}

unsigned HexRowValue(std::string_view text)
{
    // Up to eight digits, nothing else; anything else reads as 0.
    return static_cast<unsigned>(ReadDigits(text, {.maxLength = 8}).value.value_or(0));
}

bool IsFieldText(std::string_view text, const KeyField& field, unsigned largest)
{
    const auto shown = [&](char c) { return isFieldDigit(c, field) && !(c >= 'a' && c <= 'f'); };
    return static_cast<int>(text.size()) <= field.width &&
           std::all_of(text.begin(), text.end(), shown) && FieldValue(text, field) <= largest;
}

}  // namespace kvb
