#pragma once
// The two balance dialogs: "Balance Sequence" (the thirteen balance status
// banks) and "Balance Value Registers" (the twelve 28-bit balance values).
// Thin views over BalanceSequence and BalanceRegisters; each handler runs
// the model and repaints the dialog from it. "Close Window" only hides.

#include "app/BalanceRegisters.h"
#include "app/BalanceSequence.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kvb::ui {

class KeyFieldEdit;

// What both dialogs share: the write-mode options, the device list and the
// title label.
class BalanceDialogBase : public QDialog {
    Q_OBJECT
public:
    BalanceDialogBase(BalanceDialogModes& modes, QWidget* parent);

    // The device list's entries and selection, as the main window sets them.
    void fillDeviceList(const std::vector<std::string>& entries);
    void selectDeviceEntry(int entry);
    // The link-mode groups (write mode and device list), shown and enabled
    // on a daisy chain only. The device list also hides in the all-devices
    // mode.
    void setDaisyChainGroupsShown(bool shown);
    void setDaisyChainGroupsEnabled(bool enabled);

    QGroupBox* fraDaisyChainWriteMode = nullptr;
    std::array<QRadioButton*, 2> optMode{};
    QGroupBox* fraDeviceNumber = nullptr;
    QComboBox* cboDeviceNumber = nullptr;
    QLabel* lblKVBDevice = nullptr;
    QPushButton* cbReadAll = nullptr;
    QPushButton* cbWriteAll = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    virtual void refresh() = 0;
    // The rows on the left, the mode, device list and buttons on the right,
    // the title above.
    void layOut(QLayout* rows);
    // A button's click runs the handler, then repaints the dialog.
    void onClick(QPushButton* button, std::function<void()> handler);
    // What a value box hands its dialog's model.
    struct ValueBoxRules {
        std::function<bool(HexEdit&, int)> key;                 // a typed key
        std::function<bool(HexEdit&, std::string_view)> paste;  // pasted text
        std::function<void(const std::string&)> deleted;        // the text Delete left
    };
    // A value box of the field's digits: typed keys and pastes go through
    // the rules (true: show the edited text), a released Delete or any
    // other edit the box made by itself hands over the box's text; the
    // dialog repaints after each.
    KeyFieldEdit* valueBox(const QString& name, BalanceField field, ValueBoxRules rules);
    // An up-down: a change made by the user runs the handler, then repaints.
    void bindUpDown(QSpinBox* updn, std::function<void(int)> onChange);
    virtual void deviceChosen(int entry, int count) = 0;
    // Read buttons and the device list are shown for a single device only.
    void showReads(const std::vector<QPushButton*>& reads);
    void setPartCaptions(const std::string& window, const std::string& title,
                         const std::string& part);

    BalanceDialogModes& modes_;
    bool painting_ = false;  // raised while the dialog sets its controls
    bool daisyChainShown_ = false;
};

class FrmBalanceSequence : public BalanceDialogBase {
    Q_OBJECT
public:
    FrmBalanceSequence(BalanceSequence& model, const link::ChipLink& link,
                       QWidget* parent = nullptr);

    std::array<QLabel*, kBalanceBanks> lblRegName{};
    std::array<KeyFieldEdit*, kBalanceBanks> tbRegdata{};
    std::array<QSpinBox*, kBalanceBanks> updnRegData{};
    std::array<QPushButton*, kBalanceBanks * kBalanceCells> cbRegToggleBit{};
    std::array<QLabel*, kBalanceCells> lblBitName{};
    std::array<QPushButton*, kBalanceBanks> cbRead{};
    std::array<QPushButton*, kBalanceBanks> cbWrite{};

protected:
    void showEvent(QShowEvent* event) override;  // Form_Activate
    void hideEvent(QHideEvent* event) override;
    void refresh() override;
    void deviceChosen(int entry, int count) override;

private:
    BalanceSequence& model_;
    const link::ChipLink& link_;
};

class FrmBalanceRegisters : public BalanceDialogBase {
    Q_OBJECT
public:
    FrmBalanceRegisters(BalanceRegisters& model, const link::ChipLink& link,
                        QWidget* parent = nullptr);

    std::array<QLabel*, kBalanceCells> lblRegName{};
    std::array<KeyFieldEdit*, kBalanceCells> tbRegdataHex{};
    std::array<KeyFieldEdit*, kBalanceCells> tbRegdataDec{};
    std::array<QSpinBox*, kBalanceCells> updnRegData{};
    std::array<QPushButton*, kBalanceCells> cbRead{};
    std::array<QPushButton*, kBalanceCells> cbWrite{};

protected:
    void showEvent(QShowEvent* event) override;  // Form_Activate
    void refresh() override;
    void deviceChosen(int entry, int count) override;

private:
    BalanceRegisters& model_;
    const link::ChipLink& link_;
};

}  // namespace kvb::ui
