#pragma once
// Key filters of the hexadecimal and decimal entry boxes, and the edit keys
// (Ctrl+A, Ctrl+C, Ctrl+V) those boxes share. Qt-free: the windows map their
// key events onto these rules.

#include <string>

namespace kvb {

// The character a hexadecimal box accepts for `key`: upper-cased, with
// carriage return and backspace passed; 0 when the key is dropped.
char HexKeyFilter(char key);
// The same for decimal boxes (no upper-casing).
char DecKeyFilter(char key);

enum class EditKey { None, SelectAll, Copy, Paste };

// What an edit box does for a key-down with the letter's key code (65 'A',
// 67 'C', 86 'V'): only with Ctrl alone held (no Shift, no Alt).
EditKey TextBoxEditKeys(int keyCode, bool ctrl, bool shift, bool alt);

// Leading decimal number of a count box ("45abc" gives 45, text without a
// leading digit gives 0), clamped to [low, high].
int ClampCountText(const std::string& text, int low, int high);

}  // namespace kvb
