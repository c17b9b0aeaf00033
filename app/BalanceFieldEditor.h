#pragma once
// Key rules of the balance dialogs' value boxes, built on the register
// row's calculator-style editor: a bank's 4-digit hexadecimal box (at most
// 0x0FFF, one bit per cell), and a balance value's 7-digit hexadecimal and
// 9-digit decimal boxes (at most 0xFFFFFFF, 28 bits).

#include "app/HexRowEditor.h"

#include <string>
#include <string_view>

namespace kvb {

enum class BalanceField { BankHex, ValueHex, ValueDec };

constexpr unsigned kMaxBankValue = 0x0FFF;
constexpr unsigned kMaxBalanceValue = 0x0FFFFFFF;

// Applies one typed character; false when the key is dropped (the text is
// then unchanged). Escape clears the box to zeros.
bool BalanceFieldKeyPress(HexEdit& edit, int key, BalanceField field);

// A box's text as a number: hexadecimal for the hexadecimal boxes, decimal
// for the decimal one; text that is empty or not a number reads as 0.
unsigned BalanceFieldValue(std::string_view text, BalanceField field);

// Zero-padded decimal text of `width` digits (the last `width` if longer).
std::string DecPadded(unsigned value, int width);

}  // namespace kvb
