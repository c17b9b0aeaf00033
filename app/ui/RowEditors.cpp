#include "app/ui/RowEditors.h"

#include "app/HexRowEditor.h"

namespace kvb::ui {

HexRowEdit::HexRowEdit(QWidget* parent) : KeyFieldEdit(IsRowText, 4, parent) {}

UpDownControl::UpDownControl(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, 0x3FFF);
    setSingleStep(1);
    setFocusPolicy(Qt::NoFocus);
    lineEdit()->setVisible(false);
    lineEdit()->setReadOnly(true);
}

}  // namespace kvb::ui
