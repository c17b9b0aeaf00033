#pragma once
// The polling-options dialog: which unprompted-response reads, scans and
// read-alls each poll tick runs. Its boxes show the poller's box state; OK
// stores them as the poll flags and may start polling.

#include "app/Polling.h"
#include "core/HookScope.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

namespace kvb::ui {

class FrmPollOptions : public QDialog {
    Q_OBJECT
public:
    FrmPollOptions(Poller& poller, const link::ChipLink& link, QWidget* parent = nullptr);

    void cmdQuickSetup_Click();
    void OKButton_Click();
    void CancelButton_Click();

    QCheckBox* chkPollUPR = nullptr;
    std::array<QCheckBox*, kPollActions> actionBoxes{};  // chkPollScanAll .. chkReadSetups
    QCheckBox* ChkStartPoll = nullptr;
    QPushButton* cmdQuickSetup = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The boxes show the poller's box state.
    void refresh();
    // The user changed a box.
    void store();

    Poller& poller_;
    const link::ChipLink& link_;
    bool refreshing_ = false;
    HookScope hooks_;  // the poller outlives the dialog
};

}  // namespace kvb::ui
