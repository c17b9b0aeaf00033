#include "app/ui/RegisterRowsView.h"

#include "app/ui/BgrColour.h"
#include "app/ui/RowEditors.h"
#include "core/ControlNames.h"
#include "core/Services.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kvb::ui {

namespace {

// Positions are kept in twips; the screen has 15 twips to the pixel.
constexpr int px(int twips) { return twips / 15; }

constexpr int kRowPitch = 64;
constexpr int kRowHeight = 60;
constexpr int kRowWidth = 1112;
constexpr int kBitsLeft = 164;  // bit 13's column; bit 0 stands rightmost
constexpr int kBitPitch = 40;
constexpr int kValueLeft = 730;
constexpr int kDecodedLeft = 846;
constexpr int kReadLeft = 980;
constexpr int kWriteLeft = 1046;

void setBackColour(QWidget* widget, int bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Button, FromBgr(bgr));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

RegisterRowsView::RegisterRowsView(const link::RegisterDefinitions& defs,
                                   link::RegisterImage& image, Prompter& prompter,
                                   EventPump* pump, QWidget* parent)
    : QWidget(parent), rows_(defs, image, prompter), pump_(pump)
{
    setObjectName("fraRegisterRows");
    for (int r = 0; r < link::kTabRows; ++r)
        buildRow(r);

    const int groupTop = 8 + link::kTabRows * kRowPitch;
    readGroup_ = new QPushButton("Read Group", this);
    readGroup_->setObjectName("cbReadRegs");
    readGroup_->setGeometry(px(240) + 880, groupTop, 96, 26);
    writeGroup_ = new QPushButton("Write Group", this);
    writeGroup_->setObjectName("cbWriteRegs");
    writeGroup_->setGeometry(px(240) + 980, groupTop, 96, 26);
    connect(readGroup_, &QPushButton::clicked, this, &RegisterRowsView::readGroupClicked);
    connect(writeGroup_, &QPushButton::clicked, this, &RegisterRowsView::writeGroupClicked);
    setMinimumSize(px(240) + kRowWidth + 8, groupTop + 34);

    rows_.rowChanged = [this](int r) { syncRow(r); };
    rows_.upDownMoved = [this](int r, int value) { w_[r].upDown->setValue(value); };
    for (int r = 0; r < link::kTabRows; ++r)
        syncRow(r);
    syncGroups();
}

void RegisterRowsView::buildRow(int r)
{
    RowWidgets& w = w_[r];
    w.frame = new QFrame(this);
    w.frame->setObjectName(ElementName<QString>("fmRegCtrls", r));
    w.frame->setFrameShape(QFrame::StyledPanel);
    w.frame->setGeometry(px(kRowHiddenLeft), 8 + r * kRowPitch, kRowWidth, kRowHeight);

    w.name = new QLabel(w.frame);
    w.name->setObjectName(ElementName<QString>("lblRegName", r));
    w.address = new QLabel(w.frame);
    w.address->setObjectName(ElementName<QString>("lblRegAddr", r));

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    for (int bit = 0; bit < link::kBits; ++bit) {
        const int index = r * link::kBits + bit;
        const int left = kBitsLeft + (link::kBits - 1 - bit) * kBitPitch;
        auto* label = new QLabel(w.frame);
        label->setObjectName(ElementName<QString>("lblBitName", index));
        label->setFont(small);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(left, 2, kBitPitch, 16);
        w.bitNames[bit] = label;
        auto* button = new QPushButton("0", w.frame);
        button->setObjectName(ElementName<QString>("cbRegToggleBit", index));
        button->setGeometry(left + 2, 20, kBitPitch - 4, 24);
        connect(button, &QPushButton::clicked, this, [this, index] {
            if (pump_)
                pump_->yield();
            rows_.toggleBit(index);
        });
        w.bits[bit] = button;
    }

    w.value = new HexRowEdit(w.frame);
    w.value->setObjectName(ElementName<QString>("tbRegdata", r));
    w.value->setGeometry(kValueLeft, 20, 52, 24);
    connect(w.value, &HexRowEdit::keyTyped, this, [this, r](int key) {
        if (rows_.keyPress(r, cursorOf(r), key))
            showEditor(r);
    });
    connect(w.value, &HexRowEdit::pasteRequested, this, [this, r](const QString& text) {
        const QByteArray bytes = text.toLatin1();
        if (rows_.paste(r, cursorOf(r), std::string_view(bytes.data(), bytes.size())))
            showEditor(r);
    });
    auto deleted = [this, r] {
        const HexEdit cursor = cursorOf(r);
        rows_.deleteReleased(r, w_[r].value->text().toStdString());
        // Keep the caret where the box left it.
        w_[r].value->setCursorPosition(cursor.caret);
    };
    connect(w.value, &HexRowEdit::deleteReleased, this, deleted);
    connect(w.value, &HexRowEdit::editedByItself, this, deleted);

    w.upDown = new UpDownControl(w.frame);
    w.upDown->setObjectName(ElementName<QString>("updnRegData", r));
    w.upDown->setGeometry(kValueLeft + 54, 20, 18, 24);
    connect(w.upDown, &QSpinBox::valueChanged, this,
            [this, r](int value) { rows_.upDownChanged(r, value); });

    w.decodedLabel = new QLabel(w.frame);
    w.decodedLabel->setObjectName(ElementName<QString>("lblRegDecodedLabel", r));
    w.decodedLabel->setGeometry(kDecodedLeft, 2, 120, 16);
    w.decoded = new QLineEdit(w.frame);
    w.decoded->setObjectName(ElementName<QString>("tbRegDecodedVal", r));
    w.decoded->setReadOnly(true);
    w.decoded->setGeometry(kDecodedLeft, 20, 80, 24);
    w.decodedUnits = new QLabel(w.frame);
    w.decodedUnits->setObjectName(ElementName<QString>("lblRegDecodedUnits", r));
    w.decodedUnits->setGeometry(kDecodedLeft + 84, 20, 40, 24);

    w.read = new QPushButton("Read", w.frame);
    w.read->setObjectName(ElementName<QString>("cbRead", r));
    w.read->setGeometry(kReadLeft, 18, 60, 26);
    connect(w.read, &QPushButton::clicked, this, [this, r] { emit readClicked(r); });
    w.write = new QPushButton("Write", w.frame);
    w.write->setObjectName(ElementName<QString>("cbWrite", r));
    w.write->setGeometry(kWriteLeft, 18, 60, 26);
    connect(w.write, &QPushButton::clicked, this, [this, r] { emit writeClicked(r); });
}

bool RegisterRowsView::showTab(int type, int tabIndex, int device)
{
    const bool shown = rows_.showTab(type, tabIndex, device);
    syncGroups();
    return shown;
}

HexEdit RegisterRowsView::cursorOf(int r) const
{
    const HexRowEdit* edit = w_[r].value;
    HexEdit cursor;
    cursor.caret = edit->cursorPosition();
    cursor.selStart = edit->hasSelectedText() ? edit->selectionStart() : cursor.caret;
    cursor.selLength = edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    return cursor;
}

void RegisterRowsView::showEditor(int r)
{
    const HexEdit& e = rows_.row(r).editor;
    HexRowEdit* edit = w_[r].value;
    edit->setText(QString::fromStdString(e.text));
    if (e.selLength > 0)
        edit->setSelection(e.selStart, e.selLength);
    else
        edit->setCursorPosition(e.caret);
}

void RegisterRowsView::syncRow(int r)
{
    const RegisterRow& row = rows_.row(r);
    RowWidgets& w = w_[r];
    w.frame->move(px(row.frameLeft), w.frame->y());
    w.frame->setVisible(row.shown);
    if (!row.shown)
        return;

    const RowLayout& l = row.layout;
    w.name->setText(QString::fromStdString(row.name));
    w.name->setGeometry(px(l.nameLeft), 4, 150, 18);
    w.address->setText(QString::fromStdString(row.address));
    w.address->setGeometry(px(l.nameLeft), 24, 150, 18);
    w.name->raise();
    w.address->raise();

    for (int bit = 0; bit < link::kBits; ++bit) {
        const bool shown = bit < l.bitsShown;
        const QString name = QString::fromStdString(row.bitNames[bit]);
        w.bitNames[bit]->setText(name);
        w.bitNames[bit]->setToolTip(name);
        w.bitNames[bit]->setVisible(shown);
        w.bits[bit]->setText(row.bits[bit] ? "1" : "0");
        setBackColour(w.bits[bit], row.bits[bit] ? kBitSetColour : kBitClearColour);
        w.bits[bit]->setVisible(shown);
    }

    if (w.value->text().toStdString() != row.editor.text)
        showEditor(r);
    w.value->setVisible(l.valueShown);
    w.upDown->setVisible(l.valueShown);
    if (w.upDown->value() != row.upDown) {
        auto guard = rows_.holdUpDown();
        w.upDown->setValue(row.upDown);
    }

    w.decodedLabel->setText(QString::fromStdString(row.decodedLabel));
    w.decodedUnits->setText(QString::fromStdString(row.decodedUnits));
    w.decoded->setText(QString::fromStdString(row.decoded));
    w.decodedLabel->setVisible(row.decodedShown);
    w.decodedUnits->setVisible(row.decodedShown);
    w.decoded->setVisible(row.decodedShown);

    w.read->setText(l.readCaption);
    setBackColour(w.read, l.readColour);
    w.read->setVisible(true);
    w.write->setVisible(l.writeShown);
}

void RegisterRowsView::syncGroups()
{
    readGroup_->setVisible(rows_.readGroupShown());
    writeGroup_->setVisible(rows_.writeGroupShown());
}

}  // namespace kvb::ui
