#pragma once
// The manual link configuration dialog "BMS Configuration": link mode,
// daisy-chain stack size and the chip variants fitted. OK stores the choices
// in the ManualConfig state and emits accepted(); the main window then sets
// the link state from the result, rebuilds its tabs, sets its caption and
// connects. Cancel (also Esc or closing the window) records the refusal and
// changes nothing else. Both only hide the dialog, which keeps its choices.

#include "app/ManualConfig.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kvb::ui {

class UpDownControl;

class FrmManualConfig : public QDialog {
    Q_OBJECT
public:
    explicit FrmManualConfig(ManualConfig& state, QWidget* parent = nullptr);

    ManualConfigChoices choices() const;

    void accept() override;  // OKButton_Click
    void reject() override;  // CancelButton_Click

private:
    // The dialog's parts, each with the layout it stands in.
    QGroupBox* buildSpiCommunication();  // Frame1
    QGroupBox* buildDevices();           // Frame2
    QHBoxLayout* buildStackSize();
    QVBoxLayout* buildButtons();

    void optDaisyChain_Click();

    ManualConfig& state_;
    std::array<QRadioButton*, 2> optDaisyChain_{};
    std::array<QRadioButton*, 3> optDevices_{};
    QLabel* label1_;
    QLineEdit* txtStackSize_;
    UpDownControl* updnDevCount_;
};

}  // namespace kvb::ui
