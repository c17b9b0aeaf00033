#include "app/ui/DeviceCommandsFrame.h"

#include "app/RegisterRowActions.h"
#include "app/UprBuffers.h"
#include "app/ui/RegisterRowsView.h"

#include <QGridLayout>
#include <QPushButton>

namespace kvb::ui {

namespace {

// One column, in the order of the command table: the frame stands beside
// the page area and the strip below it.
constexpr int kColumns = 1;

}  // namespace

DeviceCommandsFrame::DeviceCommandsFrame(ChipCommands& commands, QWidget* parent,
                                         QWidget* measureParent)
    : QGroupBox("Device Commands", parent)
{
    setObjectName("fraDaisyChainCommands");
    auto* layout = new QGridLayout(this);
    layout->setSpacing(3);
    layout->setContentsMargins(6, 4, 6, 6);
    int slot = 0;
    for (const ChipCommandInfo& info : ChipCommandTable()) {
        const bool measure = info.id == ChipCommand::SendMeasure;
        QWidget* owner = measure && measureParent ? measureParent : this;
        auto* button = new QPushButton(info.caption, owner);
        button->setObjectName(info.control);
        const ChipCommand id = info.id;
        connect(button, &QPushButton::clicked, this, [&commands, id] { commands.press(id); });
        if (measure) {
            button->setVisible(false);
        } else {
            layout->addWidget(button, slot / kColumns, slot % kColumns);
            ++slot;
        }
        buttons_[static_cast<size_t>(id)] = button;
    }
}

void BindUprReadButtons(const std::array<QPushButton*, 2>& buttons, UprBuffers& upr)
{
    for (int i = 0; i < 2; ++i)
        QObject::connect(buttons[i], &QPushButton::clicked, buttons[i],
                         [&upr, i] { upr.cmdUPRRead_Click(i); });
}

void BindRegisterRowButtons(RegisterRowsView& view, RegisterRowActions& actions)
{
    QObject::connect(&view, &RegisterRowsView::readClicked, &view,
                     [&actions](int row) { actions.cbRead_Click(row); });
    QObject::connect(&view, &RegisterRowsView::writeClicked, &view,
                     [&actions](int row) { actions.cbWrite_Click(row); });
    QObject::connect(&view, &RegisterRowsView::readAllClicked, &view,
                     [&actions] { actions.cbReadAllRegs_Click(); });
    QObject::connect(&view, &RegisterRowsView::readGroupClicked, &view,
                     [&actions] { actions.cbReadRegs_Click(); });
    QObject::connect(&view, &RegisterRowsView::writeGroupClicked, &view,
                     [&actions] { actions.cbWriteRegs_Click(); });
    QPushButton* readGroup = view.findChild<QPushButton*>("cbReadRegs");
    QPushButton* writeGroup = view.findChild<QPushButton*>("cbWriteRegs");
    actions.groupButtonEnabled = [readGroup, writeGroup](RowGroup group, bool enabled) {
        QPushButton* button = group == RowGroup::Read ? readGroup : writeGroup;
        if (button)
            button->setEnabled(enabled);
    };
}

}  // namespace kvb::ui
