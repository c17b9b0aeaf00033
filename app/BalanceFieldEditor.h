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

// The box's number of digits.
int BalanceFieldWidth(BalanceField field);

// Applies one typed character to the box's text and cursor; false when the
// key is dropped (the edit is then unchanged). Escape clears the box to
// zeros. A box text the box could not hold (see IsBalanceFieldText) gives
// way to `shown`, the dialog's own text, before the key is applied.
bool BalanceFieldKeyPress(HexEdit& edit, int key, BalanceField field, std::string_view shown);

// Applies pasted or input-method text as typed keys, over the box's text as
// BalanceFieldKeyPress does; false (and the edit unchanged) when it holds
// anything but the box's digits.
bool BalanceFieldPaste(HexEdit& edit, std::string_view pasted, BalanceField field,
                       std::string_view shown);

// True for a text the box can show: what its keys leave, a bank's value as
// the chip gave it (all 14 bits), and what Delete leaves of either.
bool IsBalanceFieldText(std::string_view text, BalanceField field);

// A box's text as a number: hexadecimal for the hexadecimal boxes, decimal
// for the decimal one; text that is empty or not a number reads as 0.
unsigned BalanceFieldValue(std::string_view text, BalanceField field);

// Zero-padded decimal text of `width` digits (the last `width` if longer).
std::string DecPadded(unsigned value, int width);

}  // namespace kvb
