#include "app/ui/RegisterRowsView.h"

#include "app/ui/BgrColour.h"
#include "app/ui/RowEditors.h"
#include "core/ControlNames.h"
#include "core/ui/Widgets.h"
#include "core/Services.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace kvb::ui {

namespace {

// Positions are kept in twips; the screen has 15 twips to the pixel.
constexpr int px(int twips) { return twips / 15; }

// Rows are laid out in pixels; only the left edges of the name and address
// labels follow the register's kind (kept in twips by RegisterRows). The
// eight rows and the group buttons fit RegisterRowsView::kContentHeight.
constexpr int kRowsTop = 2;
constexpr int kRowPitch = 50;
constexpr int kRowHeight = 48;
constexpr int kBitsLeft = 190;  // bit 13's column; bit 0 stands rightmost
constexpr int kBitPitch = 44;
constexpr int kValueLeft = kBitsLeft + link::kBits * kBitPitch + 6;
constexpr int kDecodedLeft = kValueLeft + 76;
constexpr int kDecodedWidth = 60;
constexpr int kUnitsWidth = 36;
constexpr int kButtonWidth = 52;
// The Read and Write buttons stand at the row's right edge; a row is never
// narrower than its controls.
constexpr int kRowMinWidth = kDecodedLeft + kDecodedWidth + kUnitsWidth + 8 + 2 * kButtonWidth + 10;
constexpr int kGroupTop = kRowsTop + link::kTabRows * kRowPitch + 2;
constexpr int kGroupButtonWidth = 96;
static_assert(kGroupTop + 30 == RegisterRowsView::kContentHeight);

// The label's text in `face`, or in a smaller one where a word of it would
// not fit the label's width, or its lines the label's height.
void fitToLabel(QLabel* label, QFont face)
{
    const QRect room = label->contentsRect();
    const int flags = Qt::TextWordWrap | static_cast<int>(label->alignment());
    for (; face.pointSizeF() > 5; face.setPointSizeF(face.pointSizeF() - 0.25)) {
        const QRect needed = QFontMetrics(face).boundingRect(room, flags, label->text());
        if (needed.width() <= room.width() && needed.height() <= room.height())
            break;
    }
    if (label->font() != face)
        label->setFont(face);
}

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
    // Bit names of two words take two lines in a smaller face.
    bitFont_ = font();
    bitFont_.setPointSizeF(bitFont_.pointSizeF() * 0.75);
    for (int r = 0; r < link::kTabRows; ++r)
        buildRow(r);

    readAll_ = new QPushButton("Read All Regs", this);
    readAll_->setObjectName("cbReadAllRegs");
    readGroup_ = new QPushButton("Read Group", this);
    readGroup_->setObjectName("cbReadRegs");
    writeGroup_ = new QPushButton("Write Group", this);
    writeGroup_->setObjectName("cbWriteRegs");
    connect(readAll_, &QPushButton::clicked, this, &RegisterRowsView::readAllClicked);
    connect(readGroup_, &QPushButton::clicked, this, &RegisterRowsView::readGroupClicked);
    connect(writeGroup_, &QPushButton::clicked, this, &RegisterRowsView::writeGroupClicked);
    setMinimumSize(px(kRowShownLeft) + kRowMinWidth + 4, kContentHeight);

    rows_.attachDisplay(this);
    for (int r = 0; r < link::kTabRows; ++r)
        syncRow(r);
    syncGroups();
    layOut();
}

void RegisterRowsView::upDownMoved(int r, int value)
{
    w_[r].upDown->setValue(value);
}

int RegisterRowsView::rowWidth() const
{
    return std::max(kRowMinWidth, width() - px(kRowShownLeft) - 4);
}

void RegisterRowsView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

// Everything that follows the width: the row frames, the buttons at their
// right edge and the group buttons below them.
void RegisterRowsView::layOut()
{
    const int rowWidthPx = rowWidth();
    const int writeLeft = rowWidthPx - 4 - kButtonWidth;
    const int readLeft = writeLeft - 4 - kButtonWidth;
    for (int r = 0; r < link::kTabRows; ++r) {
        RowWidgets& w = w_[r];
        w.frame->resize(rowWidthPx, kRowHeight);
        w.read->setGeometry(readLeft, 23, kButtonWidth, 24);
        w.write->setGeometry(writeLeft, 23, kButtonWidth, 24);
        placeLabels(r);
    }
    const int right = px(kRowShownLeft) + rowWidthPx;
    writeGroup_->setGeometry(right - kGroupButtonWidth, kGroupTop, kGroupButtonWidth, 26);
    readGroup_->setGeometry(right - 2 * kGroupButtonWidth - 6, kGroupTop, kGroupButtonWidth, 26);
    readAll_->setGeometry(right - 3 * kGroupButtonWidth - 12, kGroupTop, kGroupButtonWidth, 26);
}

void RegisterRowsView::buildRow(int r)
{
    RowWidgets& w = w_[r];
    w.frame = new QFrame(this);
    w.frame->setObjectName(ElementName<QString>("fmRegCtrls", r));
    w.frame->setFrameShape(QFrame::StyledPanel);
    w.frame->setGeometry(px(kRowHiddenLeft), kRowsTop + r * kRowPitch, kRowMinWidth, kRowHeight);

    // Long register names take two lines.
    w.name = new QLabel(w.frame);
    w.name->setObjectName(ElementName<QString>("lblRegName", r));
    w.name->setWordWrap(true);
    w.name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    w.address = new QLabel(w.frame);
    w.address->setObjectName(ElementName<QString>("lblRegAddr", r));

    buildRowBits(r);
    buildRowValue(r);
    buildRowDecoded(r);
    buildRowButtons(r);
}

void RegisterRowsView::buildRowBits(int r)
{
    RowWidgets& w = w_[r];
    // Each bit name keeps to its own column, a pixel clear of its
    // neighbours'.
    for (int bit = 0; bit < link::kBits; ++bit) {
        const int index = r * link::kBits + bit;
        const int left = kBitsLeft + (link::kBits - 1 - bit) * kBitPitch;
        auto* label = new QLabel(w.frame);
        label->setObjectName(ElementName<QString>("lblBitName", index));
        label->setFont(bitFont_);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setWordWrap(true);
        label->setContentsMargins(1, 0, 1, 0);
        label->setGeometry(left, 0, kBitPitch, 24);
        w.bitNames[bit] = label;
        auto* button = new QPushButton("0", w.frame);
        button->setObjectName(ElementName<QString>("cbRegToggleBit", index));
        button->setGeometry(left + 2, 24, kBitPitch - 4, 22);
        connect(button, &QPushButton::clicked, this, [this, index] {
            if (pump_)
                pump_->yield();
            rows_.toggleBit(index);
        });
        w.bits[bit] = button;
    }
}

void RegisterRowsView::buildRowValue(int r)
{
    RowWidgets& w = w_[r];
    w.value = new HexRowEdit(w.frame);
    w.value->setObjectName(ElementName<QString>("tbRegdata", r));
    w.value->setGeometry(kValueLeft, 23, 50, 22);
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
    w.upDown->setGeometry(kValueLeft + 52, 23, 18, 22);
    connect(w.upDown, &QSpinBox::valueChanged, this,
            [this, r](int value) { rows_.upDownChanged(r, value); });
}

void RegisterRowsView::buildRowDecoded(int r)
{
    RowWidgets& w = w_[r];
    w.decodedLabel = new QLabel(w.frame);
    w.decodedLabel->setObjectName(ElementName<QString>("lblRegDecodedLabel", r));
    w.decodedLabel->setGeometry(kDecodedLeft, 2, kDecodedWidth + kUnitsWidth, 18);
    w.decoded = new QLineEdit(w.frame);
    w.decoded->setObjectName(ElementName<QString>("tbRegDecodedVal", r));
    showReadOnly(w.decoded);
    w.decoded->setGeometry(kDecodedLeft, 23, kDecodedWidth, 22);
    w.decodedUnits = new QLabel(w.frame);
    w.decodedUnits->setObjectName(ElementName<QString>("lblRegDecodedUnits", r));
    w.decodedUnits->setGeometry(kDecodedLeft + kDecodedWidth + 4, 23, kUnitsWidth - 4, 22);
}

void RegisterRowsView::buildRowButtons(int r)
{
    RowWidgets& w = w_[r];
    w.read = new QPushButton("Read", w.frame);
    w.read->setObjectName(ElementName<QString>("cbRead", r));
    connect(w.read, &QPushButton::clicked, this, [this, r] { emit readClicked(r); });
    w.write = new QPushButton("Write", w.frame);
    w.write->setObjectName(ElementName<QString>("cbWrite", r));
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
    w.address->setText(QString::fromStdString(row.address));
    placeLabels(r);

    for (int bit = 0; bit < link::kBits; ++bit) {
        const bool shown = bit < l.bitsShown;
        // Bit names change only with the tab: an answer leaves them as
        // they are, and their fit with them.
        const QString name = QString::fromStdString(row.bitNames[bit]);
        if (w.bitNames[bit]->text() != name) {
            w.bitNames[bit]->setText(name);
            fitToLabel(w.bitNames[bit], bitFont_);
            w.bitNames[bit]->setToolTip(name);
        }
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

// The name and address labels stand at their kind's left edge and reach to
// the first control shown to their right.
void RegisterRowsView::placeLabels(int r)
{
    const RegisterRow& row = rows_.row(r);
    RowWidgets& w = w_[r];
    const RowLayout& l = row.layout;
    const int left = px(l.nameLeft);
    int right = w.read->x();
    if (l.bitsShown > 0)
        right = kBitsLeft + (link::kBits - l.bitsShown) * kBitPitch;
    const int width = std::max(0, right - left - 4);
    w.name->setGeometry(left, 2, width, 29);
    w.address->setGeometry(left, 31, width, 15);
    w.name->raise();
    w.address->raise();
}

void RegisterRowsView::syncGroups()
{
    readAll_->setVisible(true);
    readGroup_->setVisible(rows_.readGroupShown());
    writeGroup_->setVisible(rows_.writeGroupShown());
}

}  // namespace kvb::ui
