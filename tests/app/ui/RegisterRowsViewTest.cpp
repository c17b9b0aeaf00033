#include "app/ui/BgrColour.h"
#include "app/ui/RegisterRowsView.h"
#include "app/ui/RowEditors.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

using kvb::ui::RegisterRowsView;

struct RowsView : ::testing::Test {
    kvb::test::TestServices t;
    kvb::link::RegisterDefinitions defs;
    kvb::link::RegisterImage image;
    RegisterRowsView view{defs, image, t.prompter, &t.pump};

    RowsView()
    {
        auto define = [this](int reg, int kind, const char* label) {
            auto& d = defs.regs[0][reg];
            d.name = "Reg" + std::to_string(reg);
            d.kind = kind;
            d.valueLabel = label;
            d.scale = 0.5;
            for (int b = 0; b < 14; ++b)
                d.bitNames[b] = "B" + std::to_string(b);
        };
        define(147, 1, "Value");
        define(194, 3, "");
        define(193, 2, "");
        defs.tabRegisters[0][0][0] = 147;
        defs.tabRegisters[0][0][1] = 194;
        defs.tabRegisters[0][0][2] = 193;
        view.show();
        view.showTab(0, 0, 1);
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = view.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void key(QWidget* target, int qtKey, const QString& text,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
};

TEST_F(RowsView, RowsAreLaidOutAndNamedPerKind)
{
    EXPECT_TRUE(child<QWidget>("fmRegCtrls_0")->isVisible());
    EXPECT_FALSE(child<QWidget>("fmRegCtrls_3")->isVisible());
    EXPECT_EQ(child<QLabel>("lblRegAddr_0")->text(), "cat 0x2, addr 0x13");
    EXPECT_EQ(child<QLabel>("lblBitName_13")->text(), "B13");
    EXPECT_TRUE(child<QPushButton>("cbWrite_0")->isVisible());
    EXPECT_TRUE(child<QLineEdit>("tbRegDecodedVal_0")->isVisible());

    // Command with data: six data bits, name moved right, "Send".
    EXPECT_TRUE(child<QPushButton>("cbRegToggleBit_19")->isVisible());   // row 1, bit 5
    EXPECT_FALSE(child<QPushButton>("cbRegToggleBit_20")->isVisible());  // row 1, bit 6
    EXPECT_EQ(child<QLabel>("lblRegName_1")->x(), 5160 / 15);
    auto* send = child<QPushButton>("cbRead_1");
    EXPECT_EQ(send->text(), "Send");
    EXPECT_EQ(kvb::ui::ToBgr(send->palette().color(QPalette::Button)), 0xC0C0C0);
    EXPECT_FALSE(child<QPushButton>("cbWrite_1")->isVisible());
    EXPECT_FALSE(child<QLineEdit>("tbRegDecodedVal_1")->isVisible());

    // Command without data: no value box at all.
    EXPECT_FALSE(child<QLineEdit>("tbRegdata_2")->isVisible());
    EXPECT_FALSE(child<QSpinBox>("updnRegData_2")->isVisible());

    EXPECT_TRUE(child<QPushButton>("cbReadRegs")->isVisible());
    EXPECT_TRUE(child<QPushButton>("cbWriteRegs")->isVisible());
    view.showTab(0, 1, 1);
    EXPECT_FALSE(child<QPushButton>("cbReadRegs")->isVisible());
    EXPECT_FALSE(child<QWidget>("fmRegCtrls_0")->isVisible());
}

TEST_F(RowsView, TypingBitsAndUpDownEditTheRegisterImage)
{
    auto* box = child<kvb::ui::HexRowEdit>("tbRegdata_0");
    box->setCursorPosition(4);
    key(box, Qt::Key_A, "a");
    EXPECT_EQ(box->text(), "000A");
    EXPECT_EQ(image.at(0, 1, 147), 0xA);
    EXPECT_EQ(child<QPushButton>("cbRegToggleBit_1")->text(), "1");
    EXPECT_EQ(child<QLineEdit>("tbRegDecodedVal_0")->text(), "5.0000");

    key(box, Qt::Key_Escape, "\x1b");
    EXPECT_EQ(box->text(), "0000");
    EXPECT_EQ(image.at(0, 1, 147), 0);

    auto* bit = child<QPushButton>("cbRegToggleBit_13");
    const int yields = t.pump.yields;
    bit->click();
    EXPECT_EQ(t.pump.yields, yields + 1);
    EXPECT_EQ(box->text(), "2000");
    EXPECT_EQ(kvb::ui::ToBgr(bit->palette().color(QPalette::Button)), 0x00FF00);
    EXPECT_EQ(child<QSpinBox>("updnRegData_0")->value(), 0x2000);

    child<QSpinBox>("updnRegData_0")->setValue(0x123);  // as the user's arrows do
    EXPECT_EQ(box->text(), "0123");
    EXPECT_EQ(image.at(0, 1, 147), 0x123);

    // A digit inside the text overtypes and leaves the caret at the start,
    // where the next digit overtypes the first one.
    box->setCursorPosition(1);
    key(box, Qt::Key_5, "5");
    EXPECT_EQ(box->text(), "0523");
    EXPECT_EQ(box->cursorPosition(), 0);
    key(box, Qt::Key_2, "2");
    EXPECT_EQ(box->text(), "2523");
    EXPECT_EQ(box->cursorPosition(), 0);
    EXPECT_EQ(image.at(0, 1, 147), 0x2523);
    EXPECT_EQ(child<QSpinBox>("updnRegData_0")->value(), 0x2523);
    child<QSpinBox>("updnRegData_0")->setValue(0x123);

    box->setCursorPosition(4);
    key(box, Qt::Key_Delete, "");  // at the end: nothing deleted, row refreshed
    box->setCursorPosition(0);
    key(box, Qt::Key_Delete, "");
    EXPECT_EQ(box->text(), "123");
    EXPECT_EQ(image.at(0, 1, 147), 0x123);
}

// The decoded value is shown, not edited: it takes no focus, and it looks
// unlike the value box the user types in, on the window's background.
TEST_F(RowsView, DecodedValueLooksReadOnly)
{
    auto* decoded = child<QLineEdit>("tbRegDecodedVal_0");
    auto* value = child<QLineEdit>("tbRegdata_0");
    EXPECT_TRUE(decoded->isReadOnly());
    EXPECT_EQ(decoded->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(decoded->palette().color(QPalette::Base), value->palette().color(QPalette::Base));
    EXPECT_EQ(decoded->palette().color(QPalette::Base), decoded->palette().color(QPalette::Window));
}

TEST_F(RowsView, PastedTextIsTakenOnlyWhenItCouldBeTyped)
{
    auto* box = child<kvb::ui::HexRowEdit>("tbRegdata_0");
    box->setCursorPosition(0);
    emit box->pasteRequested("12G4");
    emit box->pasteRequested("0x12");
    EXPECT_EQ(box->text(), "0000");
    key(box, Qt::Key_V, "\x16", Qt::ControlModifier);  // keyboard paste does nothing
    EXPECT_EQ(box->text(), "0000");
    QInputMethodEvent ime;
    ime.setCommitString("zz");
    QApplication::sendEvent(box, &ime);
    EXPECT_EQ(box->text(), "0000");
    EXPECT_EQ(image.at(0, 1, 147), 0);

    box->setCursorPosition(4);
    emit box->pasteRequested("2b");
    EXPECT_EQ(box->text(), "002B");
    EXPECT_EQ(image.at(0, 1, 147), 0x2B);

    // Edits the box would make by itself are held to the same limits.
    QString text = "4000";
    int pos = 0;
    EXPECT_EQ(box->validator()->validate(text, pos), QValidator::Invalid);
    text = "12g";
    EXPECT_EQ(box->validator()->validate(text, pos), QValidator::Invalid);
}

TEST_F(RowsView, AnswersShowWithoutEchoFromTheUpDown)
{
    image.at(0, 1, 147) = -1;
    view.setRowValue(0, -1);
    EXPECT_EQ(child<QLineEdit>("tbRegdata_0")->text(), "FFFF");
    EXPECT_EQ(child<QSpinBox>("updnRegData_0")->value(), 16383);
    EXPECT_EQ(image.at(0, 1, 147), -1);  // the up-down's change was not written back
    EXPECT_EQ(view.rowsShowing(147), std::vector<int>{0});
}

TEST_F(RowsView, ButtonsReportTheirRow)
{
    std::vector<int> read, write;
    int groups = 0;
    QObject::connect(&view, &RegisterRowsView::readClicked, [&](int r) { read.push_back(r); });
    QObject::connect(&view, &RegisterRowsView::writeClicked, [&](int r) { write.push_back(r); });
    QObject::connect(&view, &RegisterRowsView::writeGroupClicked, [&] { ++groups; });
    child<QPushButton>("cbRead_1")->click();
    child<QPushButton>("cbWrite_0")->click();
    child<QPushButton>("cbWriteRegs")->click();
    EXPECT_EQ(read, std::vector<int>{1});
    EXPECT_EQ(write, std::vector<int>{0});
    EXPECT_EQ(groups, 1);
}

}  // namespace
