#pragma once
// What the register rows' buttons send: the row read ("Read"/"Send") and
// row write of one register of the selected device, the group read and write
// over the rows of the tab on screen, and "Read All Regs".

#include "app/RegisterRows.h"
#include "core/Services.h"
#include "link/ChipLink.h"

#include <functional>
#include <vector>

namespace kvb {

enum class RowGroup { Read, Write };  // cbReadRegs, cbWriteRegs

class RegisterRowActions {
public:
    RegisterRowActions(link::ChipLink& link, RegisterRows& rows, Services& services);

    // The window disables a group's button while that group runs. A window
    // hook: the main window owns these actions and its command frame sets it.
    std::function<void(RowGroup group, bool enabled)> groupButtonEnabled;

    void cbRead_Click(int index);
    void cbWrite_Click(int index);
    void cbReadRegs_Click();
    void cbWriteRegs_Click();
    void cbReadAllRegs_Click();

    bool groupRunning(RowGroup group) const { return running_[static_cast<int>(group)]; }

private:
    int rowRegister(int index) const;
    link::ChipMessage rowMessage(int reg, bool write);
    // Runs `press` for each row, 3 ms apart, with the group's button
    // disabled; a second press while the group runs is ignored.
    void runGroup(RowGroup group, const std::vector<int>& rows,
                  void (RegisterRowActions::*press)(int));

    link::ChipLink& link_;
    RegisterRows& rows_;
    Services& services_;
    bool running_[2] = {false, false};
};

}  // namespace kvb
