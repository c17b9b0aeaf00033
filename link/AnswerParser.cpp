// Applying the chips' answers: the frames the answer parser reads go into
// the register image, the lamps, the register views and the logs.

#include "link/AnswerFrames.h"
#include "link/ChipLink.h"

#include "core/UnexpectedError.h"

namespace kvb::link {

bool ChipLink::ParseDaisyChainResponse(const ChipMessage& message, const std::string& prefix)
{
    return RunHandler(services_.prompter, "ParseDaisyChainResponse",
                      [&] { parseDaisy(message, prefix); });
}

bool ChipLink::ParseNonDaisyChainResponse(ChipMessage& message, const std::string& prefix)
{
    return RunHandler(services_.prompter, "ParseNonDaisyChainResponse",
                      [&] { parseNonDaisy(message, prefix); });
}

void ChipLink::refreshTabs()
{
    if (!view_)
        return;
    view_->refreshMainTab();
    view_->refreshMonitorTab();
}

bool ChipLink::answerDue(const ChipMessage& message, int commandKind) const
{
    // A register read or write addressed to one device must be answered by
    // that device, with that register (or a not-acknowledge); a frame for
    // another register leaves the one asked for unread. A read-all answers
    // with its block. Commands answer by design or not at all, the scans are
    // answerless, broadcasts and buffer reads are answered by whoever has
    // something to say.
    return !message.allZero() && message.dev != kBroadcastDevice && !pipe_.commandInProgress() &&
           commandKind != KindCommand && commandKind != KindCommandData &&
           commandKind != KindCommandData4;
}

void ChipLink::parseDaisy(const ChipMessage& message, const std::string& prefix)
{
    const int commandType = TypeIndex(message.DeviceType);
    const int requested = RegisterIndex(message.cat, message.adr);
    const int commandKind = definitions.kind(commandType, requested);
    const bool due = answerDue(message, commandKind);
    // Every frame of the answer belongs to the type the select byte named.
    const int type = SelectedType(TxFrame.empty() ? 0 : TxFrame[0]);

    bool requestAnswered = false;
    requestedValue_.reset();
    for (const AnswerFrame& frame :
         parseDaisyAnswer(answerBytes(), type, message, commandKind == KindReadAll)) {
        if (!applyFrame(frame, type, prefix))
            return;
        // Only a frame for the register asked for (or a not-acknowledge)
        // answers a register read or write; a read-all is answered by its
        // block.
        const int reg = frame.reg();
        const bool fromDevice = type == commandType && frame.dev == message.dev;
        if (fromDevice && reg == requested)
            requestedValue_ = frame.dat;
        requestAnswered =
            requestAnswered || (fromDevice && (commandKind == KindReadAll || reg == requested ||
                                               reg == kNackRegister));
    }

    if (due && !requestAnswered) {
        log.LogNoResponse();
        lamps.set(LampKind::Com, commandType, kLampRed);
    }
    if (options_.UpdateGuiControls)
        refreshTabs();
    scanFaults();
}

// One frame of a daisy-chain answer: its "rcv," line, then (CRC right) its
// lamps, its value in the image and on the rows. False at a CRC failure,
// which ends the answer.
bool ChipLink::applyFrame(const AnswerFrame& frame, int type, const std::string& prefix)
{
    const std::string& name = partName(type);
    if (options_.ShowActivityLogs)
        AddToEvbLog(TrafficLine(prefix, name, frame.dev, frame.cat, frame.adr, frame.dat));
    if (!frame.crcOk) {
        AddToEvbLog("ParseDaisyChainResponse: " + name + " CRC4 checksum error");
        log.LogCrc4Error();
        return false;
    }

    const int reg = frame.reg();
    if (reg == kAckRegister) {
        lamps.set(LampKind::Ack, type, kLampGreen);
    } else if (reg == kNackRegister) {
        log.LogNackResponse();
        lamps.set(LampKind::Nack, type, kLampGreen);
    } else if (reg == kFaultStatusRegister && frame.dat != 0) {
        lamps.set(LampKind::Fault, type, kLampRed);
    }

    if (definitions.readable(type, reg))
        image.store(type, frame.dev, reg, frame.dat);
    if (options_.UpdateGuiControls && type == SelectedDeviceType && frame.dev == SelectedDevice &&
        view_)
        view_->showRegisterValue(reg, frame.dat);
    return true;
}

void ChipLink::scanFaults()
{
    // Only values the chips reported take part: an image value typed in or
    // loaded from a file is no fault report.
    for (int d = 0; d < kDevices; ++d) {
        for (int b = 0; b < kBits; ++b) {
            const int bit = 1 << b;
            for (int t = 0; t < kDeviceTypes; ++t) {
                if (!(latchedFaults[t][d] & bit) && (image.reportedFaults(t, d) & bit))
                    log.LogFaultStatus(partName(t) + " device " + std::to_string(d) + " " +
                                       definitions.def(t, kFaultStatusRegister).bitNames[b] +
                                       " Fault");
            }
        }
        for (int t = 0; t < kDeviceTypes; ++t)
            latchedFaults[t][d] = image.reportedFaults(t, d);
    }
}

void ChipLink::parseNonDaisy(ChipMessage& m, const std::string& prefix)
{
    const int type = TypeIndex(m.DeviceType);
    const std::string& name = partName(type);
    m.dev = 1;
    const int reg = RegisterIndex(m.cat, m.adr);
    // Register 87 is stored whatever its kind.
    if (definitions.readable(type, reg) || reg == RegisterIndex(1, 0x17)) {
        const std::optional<int16_t> value = singleDeviceValue(answerBytes());
        if (!value) {
            AddToEvbLog("ParseNonDaisyChainResponse: " + name + " unrecognized response");
            log.LogUnrecognizedResponse();
            return;
        }
        const int16_t dat = *value;
        m.dat = dat;
        image.store(type, 1, reg, dat);
        if (type == SelectedDeviceType && view_)
            view_->showRegisterValue(reg, dat);
        AddToEvbLog(TrafficLine(prefix, name, std::nullopt, m.cat, m.adr, dat));
    }
    refreshTabs();
}

}  // namespace kvb::link
