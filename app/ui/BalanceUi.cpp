#include "app/ui/BalanceUi.h"

#include "app/AppContext.h"
#include "app/BalanceAccess.h"
#include "app/MainWindowLayout.h"
#include "app/ui/BalanceDialogs.h"
#include "app/ui/BgrColour.h"
#include "app/ui/MainTabPage.h"
#include "app/ui/SpiDialogsView.h"
#include "app/ui/Widgets.h"
#include "core/AppInfo.h"
#include "core/ScopedFlag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kvb::ui {

namespace {

// A combo box that reports its list opening and closing.
class DropDownCombo : public QComboBox {
public:
    DropDownCombo(QWidget* parent, std::function<void()> opened, std::function<void()> closed)
        : QComboBox(parent), opened_(std::move(opened)), closed_(std::move(closed))
    {
    }
    void showPopup() override
    {
        opened_();
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        closed_();
    }

private:
    std::function<void()> opened_, closed_;
};

}  // namespace

BalanceUi::BalanceUi(AppContext& context, QWidget* window, QGroupBox* balanceFrame,
                     QComboBox* mainDeviceList)
    : QObject(window), context_(context), window_(window), mainDeviceList_(mainDeviceList)
{
    buildFrame(balanceFrame);
    context_.cellBalancing.attachView(&balancingView_);
    context_.configFiles.attachView(&balancingView_);
    context_.balanceSequence.attachDeviceLists(&balancingView_);
    context_.balanceRegisters.attachDeviceLists(&balancingView_);
}

BalanceUi::~BalanceUi()
{
    context_.cellBalancing.attachView(nullptr);
    context_.configFiles.attachView(nullptr);
    context_.balanceSequence.attachDeviceLists(nullptr);
    context_.balanceRegisters.attachDeviceLists(nullptr);
}

void BalanceUi::BalancingViewOfWindow::disableCellButtons()
{
    if (ui_.page_)
        ui_.page_->DisableMainTabBalCtrlButtons();
}

void BalanceUi::BalancingViewOfWindow::enableCellButtons()
{
    if (ui_.page_)
        ui_.page_->EnableMainTabBalCtrlButtons();
}

void BalanceUi::BalancingViewOfWindow::refreshCellButtons()
{
    if (ui_.page_)
        ui_.page_->RefreshMainTabBalCtrlButtons();
}

void BalanceUi::BalancingViewOfWindow::showSettingsFromImage()
{
    ui_.showSettingsFromImage();
}

void BalanceUi::BalancingViewOfWindow::showRegistersDialog()
{
    ui_.registersDialog().exec();
}

void BalanceUi::BalancingViewOfWindow::showSequenceDialog()
{
    ui_.sequenceDialog().exec();
}

void BalanceUi::BalancingViewOfWindow::refreshDeviceMenu()
{
    if (ui_.refreshDeviceMenu)
        ui_.refreshDeviceMenu();
}

void BalanceUi::BalancingViewOfWindow::relayoutTab()
{
    if (ui_.relayoutTab)
        ui_.relayoutTab();
}

// A device chosen in one dialog is selected in the main window's list and in
// the other dialog, without running their handlers.
void BalanceUi::BalancingViewOfWindow::selectOtherDeviceLists(int entry)
{
    if (ui_.mainDeviceList_ && entry < ui_.mainDeviceList_->count())
        ui_.mainDeviceList_->setCurrentIndex(entry);
    ui_.comboEntry_ = entry;
    if (ui_.sequence_)
        ui_.sequence_->selectDeviceEntry(entry);
    if (ui_.registers_)
        ui_.registers_->selectDeviceEntry(entry);
}

void BalanceUi::BalancingViewOfWindow::refreshRows()
{
    relayoutTab();
}

void BalanceUi::buildFrame(QGroupBox* frame)
{
    frame->setTitle("Cell Balance Controls");
    CellBalancing& cb = context_.cellBalancing;
    auto opened = [&cb] { cb.cboBalance_DropDown(); };
    auto closed = [&cb] { cb.cboBalance_CloseUp(); };
    auto* grid = new QGridLayout(frame);
    // The frame is narrow: close margins leave the lists room for their
    // longest entries ("64 seconds", "42.33 Minutes").
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setColumnStretch(1, 1);
    auto combo = [&](const char* name, const char* label, const std::vector<std::string>& entries,
                     int row) {
        auto* box = new DropDownCombo(frame, opened, closed);
        box->setObjectName(name);
        for (const std::string& e : entries)
            box->addItem(QString::fromStdString(e));
        grid->addWidget(new QLabel(label, frame), row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    cboBalanceMode = combo("cboBalanceMode", "Balance Mode", BalanceModeEntries(), 0);
    cboBalanceTimeout = combo("cboBalanceTimeout", "Timeout", BalanceTimeoutEntries(), 1);
    cboBalanceWait = combo("cboBalanceWait", "Wait Time", BalanceWaitEntries(), 2);
    chkEnableCellBalance =
        Named<QCheckBox>(frame, "chkEnableCellBalance", "Enable Cell Balancing");
    grid->addWidget(chkEnableCellBalance, 3, 0, 1, 2);
    cbConfigureBalanceRegs = Named<QPushButton>(frame, "cbConfigureBalanceRegs", "Registers...");
    cbConfigureBalanceSequence =
        Named<QPushButton>(frame, "cbConfigureBalanceSequence", "Sequence...");
    grid->addWidget(cbConfigureBalanceRegs, 4, 0);
    grid->addWidget(cbConfigureBalanceSequence, 4, 1);

    // Only the user's choices run the handlers; the settings shown by code
    // go through showBalanceSettings.
    connect(cboBalanceMode, &QComboBox::activated, this,
            [&cb](int i) { cb.cboBalanceMode_Click(i); });
    connect(cboBalanceTimeout, &QComboBox::activated, this,
            [&cb](int i) { cb.cboBalanceTimeout_Click(i); });
    connect(cboBalanceWait, &QComboBox::activated, this,
            [&cb](int i) { cb.cboBalanceWait_Click(i); });
    connect(chkEnableCellBalance, &QCheckBox::clicked, this,
            [&cb](bool ticked) { cb.chkEnableCellBalance_Click(ticked); });
    connect(cbConfigureBalanceRegs, &QPushButton::clicked, this,
            [&cb] { cb.cbConfigureBalanceRegs_Click(); });
    connect(cbConfigureBalanceSequence, &QPushButton::clicked, this,
            [&cb] { cb.cbConfigureBalanceSequence_Click(); });
}

void BalanceUi::bindMainTabPage(MainTabPage& page)
{
    page_ = &page;
    page.showBalanceSettings = [this](const BalanceSettings& s) { showBalanceSettings(s); };
    for (int i = 0; i < kBalanceCells; ++i)
        connect(page.cbMainTabBalCtrl[i], &QPushButton::clicked, this,
                [this, i] { cellButtonClicked(i); });
}

void BalanceUi::cellButtonClicked(int index)
{
    QPushButton* b = page_->cbMainTabBalCtrl[index];
    const auto on = context_.cellBalancing.cbMainTabBalCtrl_Click(index, b->text() == "On");
    if (!on)
        return;
    MainTabPage::ShowBalanceButton(b, *on);
}

void BalanceUi::showBalanceSettings(const BalanceSettings& s)
{
    ScopedFlag quiet(context_.cellBalancing.ComboSync);
    cboBalanceMode->setCurrentIndex(s.mode);
    cboBalanceTimeout->setCurrentIndex(s.timeout);
    cboBalanceWait->setCurrentIndex(s.wait);
    chkEnableCellBalance->setChecked(s.enabled);
}

void BalanceUi::showSettingsFromImage()
{
    const link::ChipLink& link = context_.link;
    const int d = BalanceViewDevice(link);
    showBalanceSettings(DecodeBalanceSettings(link.image.at(0, d, balance_reg::Setup),
                                              link.image.at(0, d, balance_reg::Time)));
}

FrmBalanceSequence& BalanceUi::sequenceDialog()
{
    if (!sequence_) {
        sequence_ = new FrmBalanceSequence(context_.balanceSequence, context_.link, window_);
        if (!comboEntries_.empty())
            sequence_->fillDeviceList(comboEntries_);
        sequence_->selectDeviceEntry(comboEntry_);
        sequence_->setDaisyChainGroupsShown(daisyShown_);
        sequence_->setDaisyChainGroupsEnabled(daisyEnabled_);
    }
    return *sequence_;
}

FrmBalanceRegisters& BalanceUi::registersDialog()
{
    if (!registers_) {
        registers_ = new FrmBalanceRegisters(context_.balanceRegisters, context_.link, window_);
        if (!comboEntries_.empty())
            registers_->fillDeviceList(comboEntries_);
        registers_->selectDeviceEntry(comboEntry_);
        registers_->setDaisyChainGroupsShown(daisyShown_);
        registers_->setDaisyChainGroupsEnabled(daisyEnabled_);
    }
    return *registers_;
}

void BalanceUi::fillDialogCombos(const std::vector<std::string>& entries)
{
    comboEntries_ = entries;
    for (BalanceDialogBase* d : {static_cast<BalanceDialogBase*>(sequence_),
                                 static_cast<BalanceDialogBase*>(registers_)})
        if (d)
            d->fillDeviceList(entries);
}

void BalanceUi::selectDialogComboEntry(int entry)
{
    comboEntry_ = entry;
    for (BalanceDialogBase* d : {static_cast<BalanceDialogBase*>(sequence_),
                                 static_cast<BalanceDialogBase*>(registers_)})
        if (d)
            d->selectDeviceEntry(entry);
}

void BalanceUi::showDaisyChainGroups(bool shown)
{
    daisyShown_ = shown;
    sequenceDialog().setDaisyChainGroupsShown(shown);
    registersDialog().setDaisyChainGroupsShown(shown);
}

void BalanceUi::enableDaisyChainGroups(bool enabled)
{
    daisyEnabled_ = enabled;
    sequenceDialog().setDaisyChainGroupsEnabled(enabled);
    registersDialog().setDaisyChainGroupsEnabled(enabled);
}

void BalanceUi::mnuLoadConfig_Click()
{
    context_.configFiles.LoadDeviceConfig();
}

void BalanceUi::mnuLoadEE_Click()
{
    context_.configFiles.LoadDeviceEE();
}

void BalanceUi::mnuSaveConfig_Click()
{
    context_.configFiles.SaveDeviceConfig();
}

void BalanceUi::mnuSaveEE_Click()
{
    context_.configFiles.Save_EE_Test_Regs();
}

void BalanceUi::showSpiClockDialog()
{
    if (!spiClock_)
        spiClock_ = new FrmSpiClockSpeed(context_.spiClock, window_);
    spiClock_->exec();
}

void BalanceUi::showSpiTimeoutDialog()
{
    if (!spiTimeout_)
        spiTimeout_ = new FrmSpiTimeout(context_.spiTimeout, window_);
    spiTimeout_->exec();
}

}  // namespace kvb::ui
