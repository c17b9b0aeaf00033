// Every key of every editor's key class, the keys just outside each class,
// and the value limits of the editors on both sides.

#include "app/BalanceFieldEditor.h"
#include "app/HexRowEditor.h"
#include "app/RawMessage.h"
#include "app/SpiDialogs.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using namespace kvb;

constexpr const char* kHexDigits = "0123456789ABCDEFabcdef";
constexpr const char* kDecimalDigits = "0123456789";
// Characters next to the digit and letter runs, and the control keys the
// editors do not take (Tab, Enter, Ctrl+C, Ctrl+V, Space, Delete).
constexpr int kOutsideHex[] = {'/', ':', '@', 'G', '`', 'g', 0, 9, 13, 3, 22, ' ', 127};

HexEdit atEnd(std::string text)
{
    const int n = static_cast<int>(text.size());
    return HexEdit{std::move(text), n, n, 0};
}

// A balance box's key over the text the box shows.
bool balanceKey(HexEdit& e, int key, BalanceField field)
{
    const std::string shown = e.text;
    return BalanceFieldKeyPress(e, key, field, shown);
}

std::string upper(char c)
{
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
}

TEST(EditorKeys, HexEditorsTakeEveryDigitInBothCasesAndNothingBeside)
{
    for (const char* p = kHexDigits; *p; ++p) {
        const int key = *p;
        HexEdit row = atEnd("000");
        EXPECT_TRUE(HexKeyPress(row, key)) << *p;
        EXPECT_EQ(row.text, "000" + upper(*p)) << *p;

        HexEdit address = atEnd("0");
        EXPECT_TRUE(RawFieldKeyPress(address, RawAddress, key)) << *p;
        EXPECT_EQ(address.text, "0" + upper(*p)) << *p;

        HexEdit bank = atEnd("000");
        EXPECT_TRUE(balanceKey(bank, key, BalanceField::BankHex)) << *p;
        EXPECT_EQ(bank.text, "000" + upper(*p)) << *p;

        HexEdit value = atEnd("000000");
        EXPECT_TRUE(balanceKey(value, key, BalanceField::ValueHex)) << *p;
        EXPECT_EQ(value.text, "000000" + upper(*p)) << *p;
    }
    for (int key : kOutsideHex) {
        HexEdit row = atEnd("0123");
        EXPECT_FALSE(HexKeyPress(row, key)) << key;
        EXPECT_EQ(row.text, "0123") << key;

        for (int field : {RawDevice, RawDataType, RawAddress, RawData, RawCrc4}) {
            HexEdit raw = atEnd(RawFieldZero(field));
            EXPECT_FALSE(RawFieldKeyPress(raw, field, key)) << key << " field " << field;
            EXPECT_EQ(raw.text, RawFieldZero(field));
        }
        for (BalanceField f : {BalanceField::BankHex, BalanceField::ValueHex}) {
            HexEdit box = atEnd("0123");
            EXPECT_FALSE(balanceKey(box, key, f)) << key;
            EXPECT_EQ(box.text, "0123");
        }
    }
}

TEST(EditorKeys, DecimalBoxesTakeDigitsOnly)
{
    for (const char* p = kDecimalDigits; *p; ++p) {
        HexEdit dec = atEnd("00000000");
        EXPECT_TRUE(balanceKey(dec, *p, BalanceField::ValueDec)) << *p;
        EXPECT_EQ(dec.text, std::string("00000000") + *p);
        EXPECT_TRUE(SpiTimeoutDialog::tbSpiTimeout_KeyPress(*p)) << *p;
    }
    for (const char* p = "ABCDEFabcdef/:"; *p; ++p) {
        HexEdit dec = atEnd("00000001");
        EXPECT_FALSE(balanceKey(dec, *p, BalanceField::ValueDec)) << *p;
        EXPECT_EQ(dec.text, "00000001");
        EXPECT_FALSE(SpiTimeoutDialog::tbSpiTimeout_KeyPress(*p)) << *p;
    }
    for (int key : {0, 9, 13, 27, int(' '), 127, int('-'), int('.')})
        EXPECT_FALSE(SpiTimeoutDialog::tbSpiTimeout_KeyPress(key)) << key;
    EXPECT_TRUE(SpiTimeoutDialog::tbSpiTimeout_KeyPress(kKeyBackspace));
}

// Backspace and Escape are taken by every editor; Escape clears to the
// box's own zeros.
TEST(EditorKeys, BackspaceAndEscapeInEveryEditor)
{
    struct Box {
        BalanceField field;
        const char* zeros;
    };
    for (const Box& b : {Box{BalanceField::BankHex, "0000"}, Box{BalanceField::ValueHex, "0000000"},
                         Box{BalanceField::ValueDec, "000000000"}}) {
        HexEdit e = atEnd("12");
        EXPECT_TRUE(balanceKey(e, kKeyBackspace, b.field));
        EXPECT_EQ(e.text, "1");
        EXPECT_TRUE(balanceKey(e, kKeyEscape, b.field));
        EXPECT_EQ(e.text, b.zeros);
    }
    const char* zeros[] = {"0", "0", "00", "0000", "0"};
    for (int field : {RawDevice, RawDataType, RawAddress, RawData, RawCrc4}) {
        EXPECT_EQ(RawFieldZero(field), zeros[field]);
        HexEdit e = atEnd("5");
        EXPECT_TRUE(RawFieldKeyPress(e, field, kKeyBackspace));
        EXPECT_EQ(e.text, "0");
        e = atEnd("5");
        EXPECT_TRUE(RawFieldKeyPress(e, field, kKeyEscape));
        EXPECT_EQ(e.text, zeros[field]);
    }
    HexEdit row = atEnd("12");
    EXPECT_TRUE(HexKeyPress(row, kKeyBackspace));
    EXPECT_EQ(row.text, "1");
}

// Each field keeps its own number of digits: one more pushes the first out.
TEST(EditorKeys, RawFieldsKeepTheirWidth)
{
    const char* full[] = {"1", "2", "34", "5678", "9"};
    const char* shifted[] = {"A", "A", "4A", "678A", "A"};
    for (int field : {RawDevice, RawDataType, RawAddress, RawData, RawCrc4}) {
        EXPECT_EQ(RawFieldWidth(field), static_cast<int>(std::string(full[field]).size()));
        HexEdit e = atEnd(full[field]);
        RawFieldKeyPress(e, field, 'a');
        EXPECT_EQ(e.text, shifted[field]) << field;
    }
}

// The largest value of each editor is kept as typed; one more is cut back.
TEST(EditorKeys, ValueLimitsOnBothSides)
{
    HexEdit row = atEnd("03FF");
    HexKeyPress(row, 'F');
    EXPECT_EQ(row.text, "3FFF");
    EXPECT_EQ(row.caret, 4);
    row = atEnd("0400");
    HexKeyPress(row, '0');
    EXPECT_EQ(row.text, "3000");
    EXPECT_EQ(row.caret, 1);

    HexEdit bank = atEnd("00FF");
    balanceKey(bank, 'F', BalanceField::BankHex);
    EXPECT_EQ(bank.text, "0FFF");
    EXPECT_EQ(bank.caret, 4);
    bank = atEnd("0100");
    balanceKey(bank, '0', BalanceField::BankHex);
    EXPECT_EQ(bank.text, "0000");
    EXPECT_EQ(bank.caret, 1);

    HexEdit dec = atEnd("026843545");
    balanceKey(dec, '5', BalanceField::ValueDec);
    EXPECT_EQ(dec.text, "268435455");
    EXPECT_EQ(dec.caret, 9);
    dec = atEnd("026843545");
    balanceKey(dec, '6', BalanceField::ValueDec);
    EXPECT_EQ(dec.text, "268435455");
    EXPECT_EQ(dec.caret, 1);

    HexEdit value = atEnd("0FFFFFF");
    balanceKey(value, 'F', BalanceField::ValueHex);
    EXPECT_EQ(value.text, "FFFFFFF");
    EXPECT_EQ(value.caret, 7);
}

}  // namespace
