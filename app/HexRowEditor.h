#pragma once
// The key rules of a register row's value editor: at most four upper-case
// hexadecimal digits and never more than 0x3FFF (the 14 bits of a chip
// register). The editor inserts nothing by itself; every key is applied here
// to the text, the caret and the selection.

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

// Applies one typed character (its character code) as HexDigitKey does for
// four digits, except that a digit typed inside the text leaves the caret at
// the start of the box. Returns true when the key was taken (the row must
// then be refreshed); keys the editor does not accept return false and
// change nothing.
bool HexKeyPress(HexEdit& edit, int key);

// Applies pasted text as if its characters were typed one by one. Text that
// is empty or holds anything but hexadecimal digits is refused whole: the
// editor keeps its text and the result is false.
bool HexPaste(HexEdit& edit, std::string_view pasted);

// The editor's text read as an unsigned hexadecimal number; an empty text,
// or one that is not hexadecimal, reads as 0.
unsigned HexRowValue(std::string_view text);

// True for a text the editor can hold: up to four hexadecimal digits with a
// value of at most 0x3FFF.
bool IsRowText(std::string_view text);

}  // namespace kvb
