#include "app/ui/FrmManualConfig.h"

#include "app/ui/RowEditors.h"
#include "core/ui/ScreenFit.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvb::ui {

FrmManualConfig::FrmManualConfig(QWidget* parent) : QDialog(parent)
{
    OpenOnScreen(this);
    setObjectName("frmManualConfig");
    setWindowTitle("BMS Configuration");

    QGroupBox* frame1 = buildSpiCommunication();
    QGroupBox* frame2 = buildDevices();
    QHBoxLayout* stack = buildStackSize();
    QVBoxLayout* buttons = buildButtons();

    auto* left = new QVBoxLayout;
    left->addWidget(frame1);
    left->addLayout(stack);
    left->addWidget(frame2);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(buttons);
}

QGroupBox* FrmManualConfig::buildSpiCommunication()
{
    auto* frame1 = new QGroupBox("SPI Communication", this);
    frame1->setObjectName("Frame1");
    auto* linkLayout = new QVBoxLayout(frame1);
    // Neither link option is chosen when the dialog first opens.
    auto* linkGroup = new QButtonGroup(this);
    const char* linkCaptions[] = {"Non-Daisy Chain", "Daisy Chain"};
    for (int i = 0; i < 2; ++i) {
        optDaisyChain_[i] = new QRadioButton(linkCaptions[i], frame1);
        optDaisyChain_[i]->setObjectName(QString("optDaisyChain_%1").arg(i));
        linkGroup->addButton(optDaisyChain_[i], i);
        linkLayout->addWidget(optDaisyChain_[i]);
        connect(optDaisyChain_[i], &QRadioButton::clicked, this,
                &FrmManualConfig::optDaisyChain_Click);
    }
    return frame1;
}

QGroupBox* FrmManualConfig::buildDevices()
{
    auto* frame2 = new QGroupBox("Devices", this);
    frame2->setObjectName("Frame2");
    auto* deviceLayout = new QVBoxLayout(frame2);
    const char* deviceCaptions[] = {"KVB71853 only", "KVB53960 only", "KVB53960 and KVB53961"};
    for (int i = 0; i < 3; ++i) {
        optDevices_[i] = new QRadioButton(deviceCaptions[i], frame2);
        optDevices_[i]->setObjectName(QString("optDevices_%1").arg(i));
        deviceLayout->addWidget(optDevices_[i]);
    }
    optDevices_[1]->setChecked(true);
    return frame2;
}

QHBoxLayout* FrmManualConfig::buildStackSize()
{
    label1_ = new QLabel("Daisy Chain Stack Size:", this);
    label1_->setObjectName("Label1");
    txtStackSize_ = new QLineEdit("1", this);
    txtStackSize_->setObjectName("txtStackSize");
    txtStackSize_->setValidator(new QIntValidator(kMinStackSize, kMaxStackSize, txtStackSize_));
    txtStackSize_->setFixedWidth(40);
    updnDevCount_ = new UpDownControl(this);
    updnDevCount_->setObjectName("updnDevCount");
    updnDevCount_->setRange(kMinStackSize, kMaxStackSize);
    updnDevCount_->setValue(1);
    updnDevCount_->setFixedWidth(18);
    connect(updnDevCount_, &QSpinBox::valueChanged, this,
            [this](int value) { txtStackSize_->setText(QString::number(value)); });
    // The box always shows the stack size that OK will use.
    connect(txtStackSize_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const std::optional<int> size = StackSizeFromText(text.toStdString());
        if (!size)
            return;
        updnDevCount_->setValue(*size);
        if (text != QString::number(*size))
            txtStackSize_->setText(QString::number(*size));
    });
    connect(txtStackSize_, &QLineEdit::editingFinished, this,
            [this] { txtStackSize_->setText(QString::number(updnDevCount_->value())); });

    auto* stack = new QHBoxLayout;
    stack->addWidget(label1_);
    stack->addWidget(txtStackSize_);
    stack->addWidget(updnDevCount_);
    stack->addStretch();
    return stack;
}

QVBoxLayout* FrmManualConfig::buildButtons()
{
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    connect(ok, &QPushButton::clicked, this, &FrmManualConfig::accept);
    connect(cancel, &QPushButton::clicked, this, &FrmManualConfig::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    return buttons;
}

void FrmManualConfig::optDaisyChain_Click()
{
    const bool daisyChain = !optDaisyChain_[0]->isChecked();
    label1_->setVisible(daisyChain);
    txtStackSize_->setVisible(daisyChain);
    updnDevCount_->setVisible(daisyChain);
}

ManualConfigChoices FrmManualConfig::choices() const
{
    ManualConfigChoices c;
    c.link = optDaisyChain_[0]->isChecked()   ? LinkChoice::NonDaisyChain
             : optDaisyChain_[1]->isChecked() ? LinkChoice::DaisyChain
                                              : LinkChoice::None;
    for (int i = 0; i < 3; ++i)
        if (optDevices_[i]->isChecked())
            c.devices = static_cast<DeviceChoice>(i);
    c.stackSize = updnDevCount_->value();
    return c;
}

}  // namespace kvb::ui
