#include "app/ui/BalanceDialogs.h"

#include "app/ui/BgrColour.h"
#include "app/ui/KeyFieldEdit.h"
#include "app/ui/Widgets.h"
#include "core/ControlNames.h"
#include "core/ui/ScreenFit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace kvb::ui {

namespace {

HexEdit editOf(const QLineEdit* box)
{
    HexEdit e;
    e.text = box->text().toStdString();
    e.caret = box->cursorPosition();
    e.selStart = box->hasSelectedText() ? box->selectionStart() : e.caret;
    e.selLength = box->hasSelectedText() ? static_cast<int>(box->selectedText().size()) : 0;
    return e;
}

void showEdit(QLineEdit* box, const HexEdit& e)
{
    box->setText(QString::fromStdString(e.text));
    box->setCursorPosition(e.caret);
}

void setText(QLineEdit* box, const std::string& text)
{
    if (box->text().toStdString() != text)
        box->setText(QString::fromStdString(text));
}

// A value box wide enough to show all its digits.
void fitDigits(QLineEdit* box, int digits)
{
    const int text = box->fontMetrics().horizontalAdvance(QString(digits + 1, QLatin1Char('0')));
    box->setMinimumWidth(text + 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
}

// Enter in a value box clicks no button: a Read there would replace the
// value being typed with the chip's.
void noDefaultButtons(QDialog* dialog)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

// A control hidden with `keep` set leaves its place empty, so that the
// controls beside it stay where they are.
void keepPlaceWhenHidden(QWidget* w, bool keep)
{
    QSizePolicy policy = w->sizePolicy();
    if (policy.retainSizeWhenHidden() == keep)
        return;
    policy.setRetainSizeWhenHidden(keep);
    w->setSizePolicy(policy);
}

void paintButton(QPushButton* b, int bgr)
{
    QPalette palette = b->palette();
    palette.setColor(QPalette::Button, FromBgr(bgr));
    b->setPalette(palette);
}

}  // namespace

// --- Shared parts ------------------------------------------------------------

BalanceDialogBase::BalanceDialogBase(BalanceDialogModes& modes, QWidget* parent)
    : QDialog(parent), modes_(modes)
{
    OpenOnScreen(this);
    lblKVBDevice = Named<QLabel>(this, "lblKVBDevice");
    QFont big = lblKVBDevice->font();
    big.setBold(true);
    lblKVBDevice->setFont(big);

    fraDaisyChainWriteMode = Named<QGroupBox>(this, "fraDaisyChainWriteMode", "SELECT DAISY CHAIN");
    auto* modeLayout = new QVBoxLayout(fraDaisyChainWriteMode);
    for (int i = 0; i < 2; ++i) {
        optMode[i] =
            Named<QRadioButton>(fraDaisyChainWriteMode, ElementName<QString>("optMode", i));
        modeLayout->addWidget(optMode[i]);
        connect(optMode[i], &QRadioButton::clicked, this, [this] {  // optMode_Click
            modes_.allDevices = optMode[1]->isChecked();
            refresh();
        });
    }
    optMode[0]->setChecked(true);

    fraDeviceNumber = Named<QGroupBox>(this, "fraDeviceNumber", "DEVIVE NUMBER");
    auto* deviceLayout = new QVBoxLayout(fraDeviceNumber);
    cboDeviceNumber = Named<QComboBox>(fraDeviceNumber, "cboDeviceNumber");
    for (int i = 0; i < 16; ++i)
        cboDeviceNumber->addItem(QString("Device %1").arg(i));
    deviceLayout->addWidget(cboDeviceNumber);
    // Only the user's choice runs the handler; a selection made by code
    // does not.
    connect(cboDeviceNumber, &QComboBox::activated, this,
            [this](int entry) { deviceChosen(entry, cboDeviceNumber->count()); });

    cbReadAll = Named<QPushButton>(this, "cbReadAll", "Read All");
    cbWriteAll = Named<QPushButton>(this, "cbWriteAll", "Write All");
    OKButton = Named<QPushButton>(this, "OKButton", "Close Window");
    connect(OKButton, &QPushButton::clicked, this, &QDialog::hide);
}

void BalanceDialogBase::layOut(QLayout* rows)
{
    auto* side = new QVBoxLayout;
    side->addWidget(fraDaisyChainWriteMode);
    side->addWidget(fraDeviceNumber);
    side->addWidget(cbReadAll);
    side->addWidget(cbWriteAll);
    side->addStretch();
    side->addWidget(OKButton);
    auto* body = new QHBoxLayout;
    body->addLayout(rows);
    body->addLayout(side);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(lblKVBDevice);
    outer->addLayout(body);
}

KeyFieldEdit* BalanceDialogBase::valueBox(const QString& name, BalanceField field,
                                          ValueBoxRules rules)
{
    const int digits = BalanceFieldWidth(field);
    auto* box = new KeyFieldEdit(
        [field](std::string_view text) { return IsBalanceFieldText(text, field); }, digits, this);
    box->setObjectName(name);
    box->setText(QString(digits, QLatin1Char('0')));
    fitDigits(box, digits);
    connect(box, &KeyFieldEdit::keyTyped, this, [this, box, key = rules.key](int k) {
        HexEdit e = editOf(box);
        if (key(e, k))
            showEdit(box, e);
        refresh();
    });
    connect(box, &KeyFieldEdit::pasteRequested, this,
            [this, box, paste = rules.paste](const QString& text) {
                HexEdit e = editOf(box);
                if (paste(e, text.toStdString()))
                    showEdit(box, e);
                refresh();
            });
    auto deleted = [this, box, del = rules.deleted] {
        // The caret stays where the box left it, also when the dialog
        // refused the text and shows its own again.
        const int caret = box->cursorPosition();
        del(box->text().toStdString());
        refresh();
        box->setCursorPosition(caret);
    };
    connect(box, &KeyFieldEdit::deleteReleased, this, deleted);
    connect(box, &KeyFieldEdit::editedByItself, this, deleted);
    return box;
}

void BalanceDialogBase::bindUpDown(QSpinBox* updn, std::function<void(int)> onChange)
{
    connect(updn, &QSpinBox::valueChanged, this, [this, onChange](int v) {
        if (painting_)
            return;
        onChange(v);
        refresh();
    });
}

void BalanceDialogBase::onClick(QPushButton* button, std::function<void()> handler)
{
    connect(button, &QPushButton::clicked, this, [this, handler] {
        handler();
        refresh();
    });
}

void BalanceDialogBase::fillDeviceList(const std::vector<std::string>& entries)
{
    cboDeviceNumber->clear();
    for (const std::string& e : entries)
        cboDeviceNumber->addItem(QString::fromStdString(e));
}

void BalanceDialogBase::selectDeviceEntry(int entry)
{
    if (entry >= 0 && entry < cboDeviceNumber->count())
        cboDeviceNumber->setCurrentIndex(entry);
}

void BalanceDialogBase::setDaisyChainGroupsShown(bool shown)
{
    daisyChainShown_ = shown;
    refresh();
}

void BalanceDialogBase::setDaisyChainGroupsEnabled(bool enabled)
{
    fraDaisyChainWriteMode->setEnabled(enabled);
    fraDeviceNumber->setEnabled(enabled);
}

void BalanceDialogBase::showReads(const std::vector<QPushButton*>& reads)
{
    // Switching between one device and all devices hides and shows the
    // device list and the Read buttons; their places stay, so that no
    // button moves under the pointer.
    const bool shown = modes_.readsShown();
    fraDaisyChainWriteMode->setVisible(daisyChainShown_);
    keepPlaceWhenHidden(fraDeviceNumber, daisyChainShown_);
    fraDeviceNumber->setVisible(daisyChainShown_ && shown);
    for (QPushButton* b : reads) {
        keepPlaceWhenHidden(b, true);
        b->setVisible(shown);
    }
    keepPlaceWhenHidden(cbReadAll, true);
    cbReadAll->setVisible(shown);
}

void BalanceDialogBase::setPartCaptions(const std::string& window, const std::string& title,
                                        const std::string& part)
{
    setWindowTitle(QString::fromStdString(window));
    lblKVBDevice->setText(QString::fromStdString(title));
    optMode[0]->setText(QString::fromStdString("Single " + part));
    optMode[1]->setText(QString::fromStdString("All " + part + "'s"));
}

// --- Balance sequence --------------------------------------------------------

FrmBalanceSequence::FrmBalanceSequence(BalanceSequence& model, const link::ChipLink& link,
                                       QWidget* parent)
    : BalanceDialogBase(model.modes, parent), model_(model), link_(link)
{
    setObjectName("frmBalanceSequence");
    auto* grid = new QGridLayout;
    for (int b = 0; b < kBalanceCells; ++b) {
        lblBitName[b] =
            Named<QLabel>(this, ElementName<QString>("lblBitName", b), QString("BAL%1").arg(b));
        grid->addWidget(lblBitName[b], 0, 3 + kBalanceCells - 1 - b);
    }
    for (int bank = 0; bank < kBalanceBanks; ++bank) {
        const int row = bank + 1;
        lblRegName[bank] = Named<QLabel>(this, ElementName<QString>("lblRegName", bank),
                                         QString("Bal Status %1").arg(bank));
        tbRegdata[bank] = valueBox(
            ElementName<QString>("tbRegdata", bank), BalanceField::BankHex,
            {[this, bank](HexEdit& e, int key) { return model_.tbRegdata_KeyPress(bank, e, key); },
             [this, bank](HexEdit& e, std::string_view text) {
                 return model_.tbRegdata_Paste(bank, e, text);
             },
             [this, bank](const std::string& text) { model_.tbRegdata_Deleted(bank, text); }});
        updnRegData[bank] = Named<QSpinBox>(this, ElementName<QString>("updnRegData", bank));
        updnRegData[bank]->setRange(0, static_cast<int>(kMaxBankValue));
        cbRead[bank] = Named<QPushButton>(this, ElementName<QString>("cbRead", bank), "Read");
        cbWrite[bank] = Named<QPushButton>(this, ElementName<QString>("cbWrite", bank), "Write");
        grid->addWidget(lblRegName[bank], row, 0);
        grid->addWidget(tbRegdata[bank], row, 1);
        grid->addWidget(updnRegData[bank], row, 2);
        for (int b = 0; b < kBalanceCells; ++b) {
            const int index = bank * kBalanceCells + b;
            auto* button =
                Named<QPushButton>(this, ElementName<QString>("cbRegToggleBit", index), "0");
            button->setAutoFillBackground(true);
            button->setFixedWidth(24);
            paintButton(button, 0x7F7F7F);
            cbRegToggleBit[index] = button;
            grid->addWidget(button, row, 3 + kBalanceCells - 1 - b);
            onClick(button, [this, index] { model_.cbRegToggleBit_Click(index); });
        }
        grid->addWidget(cbRead[bank], row, 3 + kBalanceCells);
        grid->addWidget(cbWrite[bank], row, 4 + kBalanceCells);

        onClick(cbRead[bank], [this, bank] { model_.cbRead_Click(bank); });
        onClick(cbWrite[bank], [this, bank] { model_.cbWrite_Click(bank); });
        bindUpDown(updnRegData[bank], [this, bank](int v) { model_.updnRegData_Change(bank, v); });
    }
    onClick(cbReadAll, [this] { model_.cbReadAll_Click(); });
    onClick(cbWriteAll, [this] { model_.cbWriteAll_Click(); });

    layOut(grid);
    noDefaultButtons(this);
    refresh();
}

void FrmBalanceSequence::showEvent(QShowEvent* event)
{
    model_.shown = true;
    setPartCaptions(model_.windowCaption(), model_.titleCaption(), link_.PartName1);
    refresh();
    BalanceDialogBase::showEvent(event);
}

void FrmBalanceSequence::hideEvent(QHideEvent* event)
{
    model_.shown = false;
    BalanceDialogBase::hideEvent(event);
}

void FrmBalanceSequence::refresh()
{
    painting_ = true;
    for (int bank = 0; bank < kBalanceBanks; ++bank) {
        setText(tbRegdata[bank], model_.text[bank]);
        updnRegData[bank]->setValue(model_.upDown[bank]);
        for (int b = 0; b < kBalanceCells; ++b) {
            const bool set = (model_.bits[bank] >> b) & 1;
            QPushButton* button = cbRegToggleBit[bank * kBalanceCells + b];
            button->setText(QString::fromStdString(BalanceSequence::bitCaption(set)));
            paintButton(button, BalanceSequence::bitColour(set));
        }
    }
    showReads({cbRead.begin(), cbRead.end()});
    painting_ = false;
}

void FrmBalanceSequence::deviceChosen(int entry, int count)
{
    model_.cboDeviceNumber_Click(entry, count);
}

// --- Balance value registers -------------------------------------------------

FrmBalanceRegisters::FrmBalanceRegisters(BalanceRegisters& model, const link::ChipLink& link,
                                         QWidget* parent)
    : BalanceDialogBase(model.modes, parent), model_(model), link_(link)
{
    setObjectName("frmBalanceRegisters");
    auto* grid = new QGridLayout;
    grid->addWidget(Named<QLabel>(this, "lblHex", "Hex"), 0, 1);
    grid->addWidget(Named<QLabel>(this, "lblDecimal", "Decimal"), 0, 2);
    for (int cell = 0; cell < kBalanceCells; ++cell) {
        const int row = cell + 1;
        lblRegName[cell] =
            Named<QLabel>(this, ElementName<QString>("lblRegName", cell),
                          QString("Cell %1 Balance Value (28-bit integer)").arg(cell + 1));
        tbRegdataHex[cell] = valueBox(
            ElementName<QString>("tbRegdataHex", cell), BalanceField::ValueHex,
            {[this, cell](HexEdit& e, int key) {
                 return model_.tbRegdataHex_KeyPress(cell, e, key);
             },
             [this, cell](HexEdit& e, std::string_view text) {
                 return model_.tbRegdataHex_Paste(cell, e, text);
             },
             [this, cell](const std::string& text) { model_.tbRegdataHex_Deleted(cell, text); }});
        tbRegdataDec[cell] = valueBox(
            ElementName<QString>("tbRegdataDec", cell), BalanceField::ValueDec,
            {[this, cell](HexEdit& e, int key) {
                 return model_.tbRegdataDec_KeyPress(cell, e, key);
             },
             [this, cell](HexEdit& e, std::string_view text) {
                 return model_.tbRegdataDec_Paste(cell, e, text);
             },
             [this, cell](const std::string& text) { model_.tbRegdataDec_Deleted(cell, text); }});
        updnRegData[cell] = Named<QSpinBox>(this, ElementName<QString>("updnRegData", cell));
        updnRegData[cell]->setRange(0, static_cast<int>(kMaxBalanceValue));
        cbRead[cell] = Named<QPushButton>(this, ElementName<QString>("cbRead", cell), "Read");
        cbWrite[cell] = Named<QPushButton>(this, ElementName<QString>("cbWrite", cell), "Write");
        QWidget* row_[] = {lblRegName[cell], tbRegdataHex[cell], tbRegdataDec[cell],
                           updnRegData[cell], cbRead[cell], cbWrite[cell]};
        for (int c = 0; c < 6; ++c)
            grid->addWidget(row_[c], row, c);

        onClick(cbRead[cell], [this, cell] { model_.cbRead_Click(cell); });
        onClick(cbWrite[cell], [this, cell] { model_.cbWrite_Click(cell); });
        bindUpDown(updnRegData[cell], [this, cell](int v) { model_.updnRegData_Change(cell, v); });
    }
    onClick(cbReadAll, [this] { model_.cbReadAll_Click(); });
    onClick(cbWriteAll, [this] { model_.cbWriteAll_Click(); });

    layOut(grid);
    noDefaultButtons(this);
    refresh();
}

void FrmBalanceRegisters::showEvent(QShowEvent* event)
{
    setPartCaptions(model_.windowCaption(), model_.titleCaption(), link_.PartName1);
    model_.Form_Activate();
    refresh();
    BalanceDialogBase::showEvent(event);
}

void FrmBalanceRegisters::refresh()
{
    painting_ = true;
    for (int cell = 0; cell < kBalanceCells; ++cell) {
        setText(tbRegdataHex[cell], model_.hexText[cell]);
        setText(tbRegdataDec[cell], model_.decText[cell]);
        updnRegData[cell]->setValue(model_.upDown[cell]);
    }
    showReads({cbRead.begin(), cbRead.end()});
    painting_ = false;
}

void FrmBalanceRegisters::deviceChosen(int entry, int count)
{
    model_.cboDeviceNumber_Click(entry, count);
}

}  // namespace kvb::ui
