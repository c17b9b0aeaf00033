#include "app/ui/SpiDialogsView.h"

#include "app/ui/Widgets.h"
#include "core/ControlNames.h"
#include "core/ui/ScreenFit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kvb::ui {

namespace {

QHBoxLayout* okCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    ok = Named<QPushButton>(dialog, "OKButton", "OK");
    ok->setDefault(true);
    cancel = Named<QPushButton>(dialog, "CancelButton", "Cancel");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

FrmSpiClockSpeed::FrmSpiClockSpeed(SpiClockDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    OpenOnScreen(this);
    setObjectName("frmSpiClockSpeed");
    setWindowTitle("SPI Setup : Non Daisiy Chain / Full Duplex / Synchronous ");
    auto* layout = new QVBoxLayout(this);
    Label1 = Named<QLabel>(this, "Label1", "Select SPI Clock Speed:");
    layout->addWidget(Label1);
    const auto& options = SpiClockOptions();
    for (int i = 0; i < static_cast<int>(options.size()); ++i) {
        optSpiClkSpeed[i] = Named<QRadioButton>(this, ElementName<QString>("optSpiClkSpeed", i),
                                                options[static_cast<size_t>(i)].caption);
        layout->addWidget(optSpiClkSpeed[i]);
        connect(optSpiClkSpeed[i], &QRadioButton::clicked, this,
                [this, i] { model_.optSpiClkSpeed_Click(i); });
    }
    optSpiClkSpeed[4]->setChecked(true);
    auto* clockRow = new QHBoxLayout;
    cboSPICLock = Named<QComboBox>(this, "cboSPICLock");
    Label2 = Named<QLabel>(this, "Label2", "MHz");
    clockRow->addWidget(cboSPICLock);
    clockRow->addWidget(Label2);
    layout->addLayout(clockRow);
    connect(cboSPICLock, &QComboBox::activated, this, [this](int entry) {
        model_.cboSPICLock_Click(entry);
        showClocks();
    });
    layout->addLayout(okCancel(this, OKButton, CancelButton));
}

void FrmSpiClockSpeed::showClocks()
{
    const QSignalBlocker quiet(cboSPICLock);
    cboSPICLock->clear();
    for (const panel::SpiClockEntry& e : model_.clockList)
        cboSPICLock->addItem(QString::fromStdString(e.text));
    cboSPICLock->setCurrentIndex(model_.clockEntry);
}

void FrmSpiClockSpeed::showEvent(QShowEvent* event)
{
    model_.Form_Activate();
    showClocks();
    QDialog::showEvent(event);
}

void FrmSpiClockSpeed::accept()
{
    model_.OKButton_Click();
    QDialog::accept();
}

FrmSpiTimeout::FrmSpiTimeout(SpiTimeoutDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    OpenOnScreen(this);
    setObjectName("frmSpiTimeout");
    setWindowTitle(
        "SPI Setup  Daisy Chain: Maximum Timeout / Asynchronous Full Message  Transfer Time");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    Label1 = Named<QLabel>(this, "Label1", "SPI Daisy Chain Timeout (usec)");
    tbSpiTimeout = Named<QLineEdit>(this, "tbSpiTimeout");
    tbSpiTimeout->installEventFilter(this);
    tbSpiTimeout->setContextMenuPolicy(Qt::NoContextMenu);
    updnSpiTimeout = Named<QSpinBox>(this, "updnSpiTimeout");
    updnSpiTimeout->setRange(kMinSpiTimeoutUs, kMaxSpiTimeoutUs);
    updnSpiTimeout->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    row->addWidget(Label1);
    row->addWidget(tbSpiTimeout);
    row->addWidget(updnSpiTimeout);
    layout->addLayout(row);
    layout->addLayout(okCancel(this, OKButton, CancelButton));
    // The up-down is paired with the box: moving it writes the box.
    connect(updnSpiTimeout, &QSpinBox::valueChanged, this,
            [this](int v) { tbSpiTimeout->setText(QString::number(v)); });
}

void FrmSpiTimeout::showEvent(QShowEvent* event)
{
    model_.Form_Activate();
    {
        const QSignalBlocker quiet(updnSpiTimeout);
        updnSpiTimeout->setValue(model_.upDown);
    }
    tbSpiTimeout->setText(QString::fromStdString(model_.text));
    QDialog::showEvent(event);
}

bool FrmSpiTimeout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tbSpiTimeout && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.size() == 1 && text[0].unicode() >= 32)
            return !SpiTimeoutDialog::tbSpiTimeout_KeyPress(text[0].unicode());
    }
    return QDialog::eventFilter(watched, event);
}

void FrmSpiTimeout::accept()
{
    model_.text = tbSpiTimeout->text().toStdString();
    // Hidden once the time-out is taken, before the set-up goes out; a
    // time-out that fails leaves the dialog up.
    model_.OKButton_Click([this] { QDialog::accept(); });
}

}  // namespace kvb::ui
