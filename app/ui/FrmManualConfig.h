#pragma once
// The manual link configuration dialog "BMS Configuration": link mode,
// daisy-chain stack size and the chip variants fitted. OK hides the dialog
// and emits accepted(), on which the main window hands the choices to the
// connection's OK; Cancel (also Esc or closing the window) hides it and
// emits rejected(). The dialog keeps its choices between showings.

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
    explicit FrmManualConfig(QWidget* parent = nullptr);

    ManualConfigChoices choices() const;

private:
    // The dialog's parts, each with the layout it stands in.
    QGroupBox* buildSpiCommunication();  // Frame1
    QGroupBox* buildDevices();           // Frame2
    QHBoxLayout* buildStackSize();
    QVBoxLayout* buildButtons();

    void optDaisyChain_Click();

    std::array<QRadioButton*, 2> optDaisyChain_{};
    std::array<QRadioButton*, 3> optDevices_{};
    QLabel* label1_;
    QLineEdit* txtStackSize_;
    UpDownControl* updnDevCount_;
};

}  // namespace kvb::ui
