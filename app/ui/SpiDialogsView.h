#pragma once
// The SPI clock dialog of a single-device link and the daisy-chain time-out
// dialog: thin views over SpiClockDialog and SpiTimeoutDialog. OK applies,
// Cancel (Esc, closing) changes nothing; both only hide.

#include "app/SpiDialogs.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kvb::ui {

class FrmSpiClockSpeed : public QDialog {
    Q_OBJECT
public:
    explicit FrmSpiClockSpeed(SpiClockDialog& model, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    std::array<QRadioButton*, 5> optSpiClkSpeed{};
    QComboBox* cboSPICLock = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void accept() override;  // OKButton_Click

protected:
    void showEvent(QShowEvent* event) override;  // Form_Activate

private:
    void showClocks();
    SpiClockDialog& model_;
};

class FrmSpiTimeout : public QDialog {
    Q_OBJECT
public:
    explicit FrmSpiTimeout(SpiTimeoutDialog& model, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* tbSpiTimeout = nullptr;
    QSpinBox* updnSpiTimeout = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void accept() override;  // OKButton_Click

protected:
    void showEvent(QShowEvent* event) override;  // Form_Activate
    bool eventFilter(QObject* watched, QEvent* event) override;  // tbSpiTimeout_KeyPress

private:
    SpiTimeoutDialog& model_;
};

}  // namespace kvb::ui
