#include "app/ChipCommands.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "link/BoardCheck.h"

#include <algorithm>
#include <span>

namespace kvb {

using link::ChipMessage;

namespace {

// A chain holds at most 14 devices of a type.
constexpr int kMaxChainDevices = 14;

int presentDevices(link::ChipLink& link, int type)
{
    return std::clamp<int>(link.deviceCount(type), 0, kMaxChainDevices);
}

// Raises CommandInProgress for the scan, sleep and wake commands while they
// are sent, and clears it on every way out.
class InProgress {
public:
    InProgress(board::ChipPipe& pipe, bool raise) : pipe_(pipe), raised_(raise)
    {
        if (raised_)
            pipe_.setCommandInProgress(true);
    }
    ~InProgress()
    {
        if (raised_)
            pipe_.setCommandInProgress(false);
    }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;

private:
    board::ChipPipe& pipe_;
    bool raised_;
};

ChipCommandInfo readAll(ChipCommand id, const char* name, const char* caption, uint8_t cat,
                        uint8_t adr, int first, int last)
{
    ChipCommandInfo info{id, name, caption, cat, adr};
    info.firstRegister = first;
    info.lastRegister = last;
    return info;
}

ChipCommandInfo command(ChipCommand id, const char* name, const char* caption, uint8_t adr,
                        Sender sender, bool inProgress, int16_t dat = 0)
{
    return ChipCommandInfo{id, name, caption, 3, adr, dat, sender, inProgress};
}

std::array<ChipCommandInfo, kChipCommands> makeTable()
{
    using C = ChipCommand;
    std::array<ChipCommandInfo, kChipCommands> t{{
        readAll(C::ReadAllVolts, "cbReadAllVolts", "Read Volts", 1, 0x0F, 64, 76),
        readAll(C::ReadAllTemps, "cbReadAllTemps", "Read Temps", 1, 0x1F, 80, 86),
        readAll(C::ReadAllFaults, "cbReadAllFaults", "Read Faults", 2, 0x0F, 128, 134),
        readAll(C::ReadAllSetup, "cbReadAllSetup", "Read Setups", 2, 0x1F, 144, 157),
        command(C::ScanAllVolts, "cbScanAllVolts", "Scan Volts", 0x01, Sender::Quick, true),
        command(C::ScanAllTemps, "cbScanAllTemps", "Scan Temps", 0x02, Sender::Quick, true),
        command(C::ScanAllMixed, "cbScanAllMixed", "Scan Mixed", 0x03, Sender::Quick, true),
        command(C::ScanAllWires, "cbScanAllWires", "Scan Wires", 0x04, Sender::Quick, true),
        command(C::ScanAllAll, "cbScanAllAll", "Scan All", 0x05, Sender::Quick, true),
        command(C::ScanAllContinuous, "cbScanAllContinuous", "Scan Cont.", 0x06, Sender::Quick,
                true),
        command(C::ScanAllInhibit, "cbScanAllInhibit", "Scan Inhibit", 0x07, Sender::Quick, true),
        command(C::BalEnableAll, "cbBalEnableAll", "Bal. Enable", 0x10, Sender::Quick, false),
        command(C::BalInhibitAll, "cbBalInhibitAll", "Bal. Inhibit", 0x11, Sender::Quick, false),
        command(C::DaisyChainSleep, "cbDaisyChainSleep", "Sleep", 0x0A, Sender::Broadcast, true),
        command(C::DaisyChainWake, "cbDaisyChainWake", "Wake", 0x0F, Sender::Broadcast, true),
        command(C::SendMeasure, "cmdSendMeasure", "Send Meas", 0x08, Sender::Quick, false, 0x15),
        ChipCommandInfo{C::ClearAllFaults, "cbClearAllFaults", "Clear All Faults", 2, 0, 0,
                        Sender::None},
    }};
    return t;
}

}  // namespace

const std::array<ChipCommandInfo, kChipCommands>& ChipCommandTable()
{
    static const std::array<ChipCommandInfo, kChipCommands> table = makeTable();
    return table;
}

std::string HandlerName(const ChipCommandInfo& info)
{
    return std::string(info.control) + "_Click";
}

const ChipCommandInfo& CommandInfo(ChipCommand id)
{
    return ChipCommandTable()[static_cast<size_t>(id)];
}

ChipCommands::ChipCommands(link::ChipLink& link, board::ChipPipe& pipe, Services& services)
    : link_(link), pipe_(pipe), services_(services)
{
}

bool ChipCommands::connected(const std::string& name)
{
    return !link_.refuseNested() && EvbConnectedOrTell(link_, services_.prompter, name);
}

bool ChipCommands::linkModeIs(bool daisyChain, const std::string& name)
{
    if (link_.DaisyChainMode == daisyChain)
        return true;
    const std::string mode = link_.DaisyChainMode ? "daisychain" : "non-daisychain";
    services_.prompter.tell(
        "Programming error. " + name + "() should not be called when in " + mode + " mode!",
        kProgramTitle);
    link_.log.AddToEvbLog(name + ": Was called when in " + mode + " mode. This should not happen.");
    return false;
}

bool ChipCommands::commandExists(int type, const ChipMessage& m) const
{
    return link_.definitions.kind(type, link::RegisterIndex(m.cat, m.adr)) != link::KindAbsent;
}

void ChipCommands::press(ChipCommand id)
{
    const ChipCommandInfo& info = CommandInfo(id);
    const std::string handler = HandlerName(info);
    RunHandler(services_.prompter, handler, [&] {
        if (!connected(handler))
            return;
        if (id == ChipCommand::ClearAllFaults) {
            clearAllFaults();
            return;
        }
        if (info.firstRegister >= 0) {
            readAll(info);
            if (id == ChipCommand::ReadAllVolts && view_ && view_->updateChart() &&
                link_.EvbConnected())
                view_->addChartSample();
            return;
        }
        ChipMessage m(0, info.cat, info.adr, info.dat);
        InProgress inProgress(pipe_, info.inProgress);
        send(info, m);
    });
}

void ChipCommands::send(const ChipCommandInfo& info, ChipMessage& m)
{
    const bool broadcast = info.sender == Sender::Broadcast;
    if (link_.DaisyChainMode) {
        if (broadcast)
            DaisyChainBroadcastCommand(m);
        else
            DaisyChainQuickCommand(m);
    } else {
        if (broadcast)
            NonDaisyChainBroadcastCommand(m);
        else
            NonDaisyChainQuickCommand(m);
    }
}

void ChipCommands::readAll(const ChipCommandInfo& info)
{
    if (link_.DaisyChainMode) {
        // Each device answers with its whole block in one multi-frame answer.
        ChipMessage m(0, info.cat, info.adr);
        DaisyChainQuickCommand(m);
        return;
    }
    // One read per register. The request line shows the register index as
    // the address; the frame carries its low six bits. The one message
    // serves the whole block, so a request carries the value the parser
    // stored from the answer before it.
    ChipMessage m(0, info.cat, 0);
    const board::PipeLossWatch watch(pipe_);
    for (int reg = info.firstRegister; reg <= info.lastRegister && !watch.lost(); ++reg) {
        m.cat = info.cat;
        m.adr = static_cast<uint8_t>(reg);
        NonDaisyChainQuickCommand(m);
    }
}

void ChipCommands::clearAllFaults()
{
    link_.lamps.set(LampId::Fault0, kLampGrey);
    link_.lamps.set(LampId::Fault1, kLampGrey);
    link_.lamps.set(LampId::UprStatus, kLampGrey);

    link::PollingPause pause(link_);
    // Fault registers of page 2, cleared one register at a time over all
    // devices of a type. A lost board has been reported once: the clearing
    // ends there.
    static constexpr uint8_t kType0Faults[] = {0, 1, 2, 6, 4};
    static constexpr uint8_t kType1Faults[] = {0, 1, 4};
    const board::PipeLossWatch watch(pipe_);
    for (int type = 0; type < link::kDeviceTypes && !watch.lost(); ++type) {
        const int count = presentDevices(link_, type);
        const std::span<const uint8_t> addresses = type == 0
                                                       ? std::span<const uint8_t>(kType0Faults)
                                                       : std::span<const uint8_t>(kType1Faults);
        for (size_t a = 0; a < addresses.size() && !watch.lost(); ++a) {
            const uint8_t adr = addresses[a];
            for (int dev = 1; dev <= count && !watch.lost(); ++dev) {
                ChipMessage m(static_cast<uint8_t>(dev), 2, adr, 0, static_cast<int16_t>(type));
                // The image shows 0 only where the chip took the write; a
                // fault the chips reported is forgotten with it, so one that
                // is still present is reported again.
                if (link_.WriteSingleReg(m))
                    link_.image.zero(type, dev, link::RegisterIndex(2, adr));
            }
        }
    }
    if (view_)
        view_->relayoutTab();
}

void ChipCommands::DaisyChainQuickCommand(ChipMessage& m)
{
    daisyChainSend(m, false, "DaisyChainQuickCommand");
}

void ChipCommands::DaisyChainBroadcastCommand(ChipMessage& m)
{
    daisyChainSend(m, true, "DaisyChainBroadcastCommand");
}

void ChipCommands::NonDaisyChainQuickCommand(ChipMessage& m)
{
    nonDaisyChainSend(m, "NonDaisyChainQuickCommand");
}

void ChipCommands::NonDaisyChainBroadcastCommand(ChipMessage& m)
{
    nonDaisyChainSend(m, "NonDaisyChainBroadcastCommand");
}

void ChipCommands::daisyChainSend(ChipMessage& m, bool broadcast, const std::string& name)
{
    RunHandler(services_.prompter, name, [&] {
        if (!connected(name) || !linkModeIs(true, name))
            return;
        link::PollingPause pause(link_);
        // The devices are sent to one after another until the board is lost.
        const board::PipeLossWatch watch(pipe_);
        for (int type = 0; type < link::kDeviceTypes && !watch.lost(); ++type) {
            const int count = presentDevices(link_, type);
            m.DeviceType = static_cast<int16_t>(type);
            if (count == 0 || !commandExists(type, m))
                continue;
            const std::string& part = link_.partName(type);
            auto exchangeWith = [&](int dev) {
                m.dev = static_cast<uint8_t>(dev);
                link_.log.AddToEvbLog(link::TrafficLine("cmd,", part, m.dev, m.cat, m.adr, m.dat));
                link_.SendAndParse(m);
            };
            if (broadcast) {
                exchangeWith(link::kBroadcastDevice);
            } else {
                for (int dev = 1; dev <= count && !watch.lost(); ++dev)
                    exchangeWith(dev);
            }
        }
    });
}

void ChipCommands::nonDaisyChainSend(ChipMessage& m, const std::string& name)
{
    RunHandler(services_.prompter, name, [&] {
        if (!connected(name) || !linkModeIs(false, name))
            return;
        const board::PipeLossWatch watch(pipe_);
        for (int type = 0; type < link::kDeviceTypes && !watch.lost(); ++type) {
            m.DeviceType = static_cast<int16_t>(type);
            if (presentDevices(link_, type) == 0 || !commandExists(type, m))
                continue;
            link_.log.AddToEvbLog(
                link::TrafficLine("cmd,", link_.partName(type), std::nullopt, m.cat, m.adr, m.dat));
            link_.SendAndParse(m);
        }
    });
}

}  // namespace kvb
