#pragma once
// The main window's "Device Commands" frame (fraDaisyChainCommands) with its
// sixteen command buttons, and the hidden "Send Meas" button (cmdSendMeasure)
// that stands outside it, each pressing its ChipCommands handler. Also the
// bindings of the UPR read buttons and of the register rows' buttons.

#include "app/ChipCommands.h"

#include <QGroupBox>

#include <array>

class QPushButton;

namespace kvb {
class RegisterRowActions;
class UprBuffers;
}

namespace kvb::ui {

class RegisterRowsView;

class DeviceCommandsFrame : public QGroupBox {
    Q_OBJECT
public:
    // `measureParent` receives cmdSendMeasure (the frame itself when null).
    DeviceCommandsFrame(ChipCommands& commands, QWidget* parent = nullptr,
                        QWidget* measureParent = nullptr);

    QPushButton* button(ChipCommand id) const { return buttons_[static_cast<size_t>(id)]; }

private:
    std::array<QPushButton*, kChipCommands> buttons_{};
};

// cmdUPRRead_0 and cmdUPRRead_1 check the type-0 and type-1 buffers.
void BindUprReadButtons(const std::array<QPushButton*, 2>& buttons, UprBuffers& upr);

// cbRead_n, cbWrite_n, "Read Group" and "Write Group" run their actions;
// a group's button is disabled while its group runs.
void BindRegisterRowButtons(RegisterRowsView& view, RegisterRowActions& actions);

}  // namespace kvb::ui
