#pragma once
// The key rules of a register row's value editor: at most four upper-case
// hexadecimal digits and never more than 0x3FFF (the 14 bits of a chip
// register), and the same calculator-style rules for boxes of other widths,
// digits and limits. Such a box inserts nothing by itself; every key is
// applied here to the text, the caret and the selection.

#include <string>
#include <string_view>

namespace kvb {

// The editor's text and cursor. The caret and the selection start are
// character positions; a selection of length 0 means none.
struct HexEdit {
    std::string text;
    int caret = 0;
    int selStart = 0;
    int selLength = 0;
};

// Key codes of the characters the editor treats specially.
constexpr int kKeyBackspace = 8;
constexpr int kKeyEscape = 27;

// The largest value a register row holds.
constexpr unsigned kMaxRowValue = 0x3FFF;

// Applies a hexadecimal digit or Backspace to a field of at most `width`
// digits, as a calculator does: digits typed at the end push the older ones
// out to the left, a digit inside the text overtypes, a digit replaces a
// selection; Backspace never leaves the field empty ("0"). Lower-case digits
// are taken as upper-case. False for any other key, which changes nothing.
bool HexDigitKey(HexEdit& edit, int key, int width);

// The rules of a calculator-style value box: how many digits it keeps,
// which digits it takes and the largest value a key may leave in it. A value
// above that becomes `overLead` followed by the text's last width - 1
// characters, or `overText` when that is given.
struct KeyField {
    int width = 4;
    bool decimal = false;  // "0"-"9" only; else hexadecimal, "a"-"f" taken as "A"-"F"
    unsigned limit = kMaxRowValue;
    char overLead = '3';
    std::string_view overText = {};
};

// A register row's value editor.
inline constexpr KeyField kRowField{};

// Applies one typed character (its character code) by the field's rules, as
// HexDigitKey does for its digits, except that a digit typed inside the
// text leaves the caret at the start of the box (the text is rewritten
// whole, so the next digit overtypes the first one). Escape fills the box
// with zeros, caret at the start. A value above the limit is cut back with
// the caret after its first character. Returns true when the key was taken
// (the box's owner must then be refreshed); keys the field does not accept
// return false and change nothing.
bool FieldKeyPress(HexEdit& edit, int key, const KeyField& field);

// Applies pasted text as if its characters were typed one by one. Text that
// is empty or holds anything but the field's digits is refused whole: the
// box keeps its text and the result is false.
bool FieldPaste(HexEdit& edit, std::string_view pasted, const KeyField& field);

// The box's text as a number in the field's base; an empty text, or one
// that is not a number, reads as 0.
unsigned FieldValue(std::string_view text, const KeyField& field);

// True for a text the box can show: up to `width` of the field's digits
// (hexadecimal ones in upper case) with a value of at most `largest`.
bool IsFieldText(std::string_view text, const KeyField& field, unsigned largest);

// FieldKeyPress and FieldPaste for a register row.
inline bool HexKeyPress(HexEdit& edit, int key)
{
    return FieldKeyPress(edit, key, kRowField);
}
inline bool HexPaste(HexEdit& edit, std::string_view pasted)
{
    return FieldPaste(edit, pasted, kRowField);
}

// The editor's text read as an unsigned hexadecimal number; an empty text,
// or one that is not hexadecimal, reads as 0.
unsigned HexRowValue(std::string_view text);

// True for a text the editor can hold: up to four upper-case hexadecimal
// digits with a value of at most 0x3FFF.
inline bool IsRowText(std::string_view text)
{
    return IsFieldText(text, kRowField, kMaxRowValue);
}

}  // namespace kvb
