// Single-register reads and writes, and the poll timer's pause around them.

#include "link/ChipLink.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"

namespace kvb::link {

std::string ChipLink::requestLine(const std::string& prefix, const ChipMessage& m,
                                  int dataWidth) const
{
    return TrafficLine(prefix, partName(TypeIndex(m.DeviceType)),
                       DaisyChainMode ? std::optional<int>(m.dev) : std::nullopt, m.cat, m.adr,
                       m.dat, dataWidth);
}

bool ChipLink::refuseNested()
{
    if (!pipe_.busy())
        return false;
    // Only code run inside the pipe's waits gets here; the frame on its way
    // and its answer are the outer transfer's.
    AddToEvbLog("USB Still Busy from previous call, exit comm routine");
    return true;
}

bool ChipLink::SendAndParse(ChipMessage& m)
{
    ExchangeScope exchange(*this);
    const Transfer transfer = sendReceive(m);
    if (transfer == Transfer::NotSent)
        return false;
    // A failed transfer is parsed as the answer of no bytes it left: a
    // missing answer is never silent, and the parser knows which were owed.
    const bool parsed =
        DaisyChainMode ? ParseDaisyChainResponse(m, "rcv,") : ParseNonDaisyChainResponse(m, "rcv,");
    return transfer == Transfer::Done && parsed;
}

bool ChipLink::ReadSingleReg(ChipMessage& m)
{
    return RunHandler(services_.prompter, "ReadSingleReg", false, [&] {
        if (refuseNested())
            return false;
        if (!EvbConnected()) {
            restartPollTimer();
            services_.prompter.tell(PartName1 + "EVB not connected!", kProgramTitle);
            AddToEvbLog("ReadSingleReg: " + PartName1 +
                        "EVB not detected. Please check connections.");
            return false;
        }
        ExchangeScope exchange(*this);
        PollingPause pause(*this);
        AddToEvbLog(requestLine("cmd,", m, 2));
        const int errorsBefore = log.communicationErrors();
        const bool transferred = SendAndParse(m);
        return transferred && answered() && log.communicationErrors() == errorsBefore;
    });
}

bool ChipLink::WriteSingleReg(ChipMessage& m)
{
    return RunHandler(services_.prompter, "WriteSingleReg", false, [&] {
        if (refuseNested())
            return false;
        if (!EvbConnected()) {
            services_.prompter.tell(PartName1 + "EVB not connected!", kProgramTitle);
            AddToEvbLog("WriteSingleReg: " + PartName1 +
                        "EVB not detected. Please check connections.");
            return false;
        }
        ExchangeScope exchange(*this);
        PollingPause pause(*this);
        m.cat |= kWriteFlag;
        const int reg = RegisterIndex(m.cat, m.adr);
        // Judged by the type the message goes to, not the type on screen.
        if (definitions.kind(TypeIndex(m.DeviceType), reg) != KindReadWrite) {
            AddToEvbLog("WriteSingleReg: " + partName(TypeIndex(m.DeviceType)) + ",cat" +
                        HexPrefixed(m.cat, 2) + ",adr" + HexPrefixed(m.adr, 2) +
                        " write not supported");
            return false;
        }
        AddToEvbLog(requestLine("wrt,", m, 4));
        const int type = TypeIndex(m.DeviceType);
        // The frame carries the value's 14 bits; the single-device answer
        // overwrites the message's data.
        const auto sent = static_cast<int16_t>(m.dat & 0x3FFF);
        const int errorsBefore = log.communicationErrors();
        const Transfer transfer = sendReceive(m);
        if (transfer == Transfer::NotSent)
            return false;
        if (DaisyChainMode) {
            // The parser stores the chip's echo: the value as the register
            // keeps it. After a failed transfer it reports the missing echo.
            const bool parsed = ParseDaisyChainResponse(m, "rcv,");
            if (transfer != Transfer::Done || !parsed || !answered() ||
                log.communicationErrors() != errorsBefore)
                return false;
            // Taken by the device that echoed the register (a write to all
            // devices is echoed by each under its own number).
            if (requestedValue_)
                image.storeWritten(type, m.dev, reg, *requestedValue_);
            return true;
        }
        // The single-device link answers a write with nothing worth parsing:
        // once the chip answered, the image holds the data sent, whoever sent
        // it (the link keeps its device as number 1).
        if (transfer != Transfer::Done || !answered())
            return false;
        image.storeWritten(type, 1, reg, sent);
        return true;
    });
}

void ChipLink::PauseUprPolling()
{
    RunHandler(services_.prompter, "PauseUprPolling", [&] {
        if (pauseDepth_++ > 0)
            return;  // an outer exchange holds the timer already
        if (!DaisyChainMode || !pollingTicked())
            return;
        setPollTimer(false);
        // Let pending timer events run once. No transfer can be waiting to
        // finish here: a poll tick never starts inside an exchange, and
        // clicks wait for the event loop.
        services_.pump.yield();
    });
}

void ChipLink::ResumeUprPolling()
{
    RunHandler(services_.prompter, "ResumeUprPolling", [&] {
        if (pauseDepth_ > 0 && --pauseDepth_ > 0)
            return;
        restartPollTimer();
    });
}

void ChipLink::restartPollTimer()
{
    if (pauseDepth_ > 0)
        return;
    if (host_.holdPollTimer())
        return;
    if (!DaisyChainMode || !pollingTicked())
        return;
    setPollTimer(true);
}

void ChipLink::stopPolling()
{
    if (polling_)
        polling_->stopPolling();
}

void ChipLink::DisableUprPolling()
{
    RunHandler(services_.prompter, "DisableUprPolling", [&] {
        stopPolling();
        uprPollingEnabled_ = false;
    });
}

}  // namespace kvb::link
