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

// A count box's value: the text's leading number (LeadingNumber: "45abc"
// and "+45" give 45, "1e2" 100, "4 5" 4, text without a number 0), rounded
// to a whole number and held to [low, high].
int ClampCountText(const std::string& text, int low, int high);

}  // namespace kvb
