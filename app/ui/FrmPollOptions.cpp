#include "app/ui/FrmPollOptions.h"
#include "core/ui/ScreenFit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvb::ui {

namespace {

QCheckBox* box(QWidget* parent, QLayout* layout, const char* name, const QString& caption)
{
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(name);
    layout->addWidget(b);
    return b;
}

QPushButton* button(QWidget* parent, QLayout* layout, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    layout->addWidget(b);
    return b;
}

}  // namespace

FrmPollOptions::FrmPollOptions(Poller& poller, const link::ChipLink& link, QWidget* parent)
    : QDialog(parent), poller_(poller), link_(link)
{
    OpenOnScreen(this);
    setObjectName("frmPollOptions");
    setModal(true);
    auto* column = new QVBoxLayout(this);
    auto* heading = new QLabel("Select Polling Options", this);
    heading->setObjectName("lblPollOptions");
    column->addWidget(heading);
    chkPollUPR = box(this, column, "chkPollUPR", "Daisy Chain Unprompted Responses (UPR)");
    for (int i = 0; i < kPollActions; ++i) {
        const auto action = static_cast<PollAction>(i);
        actionBoxes[i] = box(this, column, PollActionBoxName(action), PollActionCaption(action));
    }
    ChkStartPoll = box(this, column, "ChkStartPoll",
                       "Auto Start Sequence :Use when only UPR polling is selected.");
    ChkStartPoll->setToolTip("Issues Scan Inhibit, Clear Faults and Scan Continuous "
                             "Automatically when UPR Only Polling Started");
    auto* buttons = new QHBoxLayout;
    column->addLayout(buttons);
    cmdQuickSetup = button(this, buttons, "cmdQuickSetup", "Quick Setup");
    OKButton = button(this, buttons, "OKButton", "OK");
    CancelButton = button(this, buttons, "CancelButton", "Cancel");

    for (QCheckBox* b : findChildren<QCheckBox*>())
        connect(b, &QCheckBox::toggled, this, [this] { store(); });
    connect(cmdQuickSetup, &QPushButton::clicked, this, [this] { cmdQuickSetup_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    hooks_.own(poller_.hooks.boxesChanged) = [this] { refresh(); };
    refresh();
}

void FrmPollOptions::showEvent(QShowEvent* event)
{
    // Named after the part the configuration chose, which is only known
    // once the window has loaded and been configured.
    setWindowTitle(QString::fromStdString(link_.PartName1) + " Eval Polling Setup");
    QDialog::showEvent(event);
    poller_.Form_Activate();
}

void FrmPollOptions::refresh()
{
    refreshing_ = true;
    const PollOptionBoxes& b = poller_.boxes;
    chkPollUPR->setChecked(b.upr);
    chkPollUPR->setEnabled(b.uprEnabled);
    for (int i = 0; i < kPollActions; ++i)
        actionBoxes[i]->setChecked(b.actions.actions[i]);
    ChkStartPoll->setChecked(b.startPoll);
    ChkStartPoll->setVisible(b.startPollShown);
    refreshing_ = false;
}

void FrmPollOptions::store()
{
    if (refreshing_)
        return;
    PollOptionBoxes& b = poller_.boxes;
    b.upr = chkPollUPR->isChecked();
    for (int i = 0; i < kPollActions; ++i)
        b.actions.actions[i] = actionBoxes[i]->isChecked();
    b.startPoll = ChkStartPoll->isChecked();
}

void FrmPollOptions::cmdQuickSetup_Click()
{
    poller_.cmdQuickSetup_Click();
}

void FrmPollOptions::OKButton_Click()
{
    poller_.OKButton_Click();
    hide();
}

void FrmPollOptions::CancelButton_Click()
{
    hide();
}

}  // namespace kvb::ui
