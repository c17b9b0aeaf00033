#include "app/RegisterRowActions.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "link/BoardCheck.h"

namespace kvb {

using link::ChipMessage;

RegisterRowActions::RegisterRowActions(link::ChipLink& link, RegisterRows& rows,
                                       Services& services)
    : link_(link), rows_(rows), services_(services)
{
}

int RegisterRowActions::rowRegister(int index) const
{
    if (index < 0 || index >= link::kTabRows)
        return -1;
    const RegisterRow& row = rows_.row(index);
    return row.shown && row.reg >= 0 && row.reg < link::kRegisters ? row.reg : -1;
}

ChipMessage RegisterRowActions::rowMessage(int reg, bool write)
{
    // The single-device link has one device, numbered 1.
    if (!link_.DaisyChainMode)
        link_.selectDevice(1);
    const int type = link::TypeIndex(link_.SelectedDeviceType);
    const int page = reg / 64;
    return ChipMessage(static_cast<uint8_t>(link_.SelectedDevice),
                       static_cast<uint8_t>(write ? page + link::kWriteFlag : page),
                       static_cast<uint8_t>(reg % 64), 0, static_cast<int16_t>(type));
}

void RegisterRowActions::cbRead_Click(int index)
{
    RunHandler(services_.prompter, "cbRead_Click", [&] {
        if (!EvbConnectedOrTell(link_, services_.prompter, "cbRead_Click"))
            return;
        const int reg = rowRegister(index);
        if (reg < 0)
            return;
        ChipMessage m = rowMessage(reg, false);
        const int kind = link_.definitions.kind(m.DeviceType, reg);
        // Commands that carry data send the low six bits of the row's value.
        if (kind == link::KindCommandData || kind == link::KindCommandData4)
            m.dat = static_cast<int16_t>(link_.image.at(m.DeviceType, m.dev, reg) & 0x3F);
        // Pauses polling, logs the "cmd," line, exchanges and parses "rcv,".
        link_.ReadSingleReg(m);
    });
}

void RegisterRowActions::cbWrite_Click(int index)
{
    RunHandler(services_.prompter, "cbWrite_Click", [&] {
        if (!EvbConnectedOrTell(link_, services_.prompter, "cbWrite_Click"))
            return;
        const int reg = rowRegister(index);
        if (reg < 0)
            return;
        ChipMessage m = rowMessage(reg, true);
        // The value the row's editors last stored for the register.
        m.dat = static_cast<int16_t>(link_.image.at(m.DeviceType, m.dev, reg) & 0x3FFF);
        if (link_.definitions.kind(m.DeviceType, reg) != link::KindReadWrite) {
            link_.log.AddToEvbLog("cbWrite_Click: " + link_.partName(m.DeviceType) + ",cat" +
                                  link::HexPrefixed(m.cat, 2) + ",adr" +
                                  link::HexPrefixed(m.adr, 2) + " write not supported");
            return;
        }
        // Pauses polling, logs the "wrt," line, exchanges and, on the daisy
        // chain, parses the answer.
        link_.WriteSingleReg(m);
    });
}

void RegisterRowActions::runGroup(RowGroup group, const std::vector<int>& rows,
                                  void (RegisterRowActions::*press)(int))
{
    bool& running = running_[static_cast<int>(group)];
    if (running)
        return;
    struct Running {
        RegisterRowActions& self;
        RowGroup group;
        bool& flag;
        Running(RegisterRowActions& s, RowGroup g, bool& f) : self(s), group(g), flag(f)
        {
            flag = true;
            if (self.groupButtonEnabled)
                self.groupButtonEnabled(group, false);
        }
        ~Running()
        {
            flag = false;
            if (self.groupButtonEnabled)
                self.groupButtonEnabled(group, true);
        }
    } guard(*this, group, running);

    for (int row : rows) {
        if (services_.programEnd.ending())
            return;
        (this->*press)(row);
        link_.TimerDelay(3);
    }
}

void RegisterRowActions::cbReadRegs_Click()
{
    RunHandler(services_.prompter, "cbReadRegs_Click", [&] {
        if (groupRunning(RowGroup::Read))
            return;
        if (!EvbConnectedOrTell(link_, services_.prompter, "Error"))
            return;
        link_.log.AddToEvbLog("Reading register group:");
        // Only kinds 0 and 1: a group read never sends a command.
        runGroup(RowGroup::Read, rows_.groupReadRows(), &RegisterRowActions::cbRead_Click);
        link_.log.AddToEvbLog("");
    });
}

void RegisterRowActions::cbWriteRegs_Click()
{
    RunHandler(services_.prompter, "cbWriteRegs_Click", [&] {
        if (groupRunning(RowGroup::Write))
            return;
        link_.log.AddToEvbLog("Writing register group:");
        // Each row write makes its own connection test.
        runGroup(RowGroup::Write, rows_.groupWriteRows(), &RegisterRowActions::cbWrite_Click);
        link_.log.AddToEvbLog("");
    });
}

void RegisterRowActions::cbReadAllRegs_Click()
{
    RunHandler(services_.prompter, "cbReadAllRegs_Click", [&] {
        link_.log.AddToEvbLog("Reading all device registers:");
        services_.prompter.tell("Not yet implemented", kProgramTitle);
    });
}

}  // namespace kvb
