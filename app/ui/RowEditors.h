#pragma once
// The editors of a register row that need more than a stock widget: the
// hexadecimal value box, which inserts nothing by itself and hands every key
// and every paste to the row's key rules, and the bare up-down control.

#include "app/ui/KeyFieldEdit.h"

#include <QSpinBox>

namespace kvb::ui {

// A key-rule box for at most four hexadecimal digits up to 0x3FFF.
class HexRowEdit : public KeyFieldEdit {
    Q_OBJECT
public:
    explicit HexRowEdit(QWidget* parent = nullptr);
};

// An up-down control: arrows only, 0..16383, step 1, not bound to the value
// box.
class UpDownControl : public QSpinBox {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);
};

}  // namespace kvb::ui
