// Walking the chips' answers into the register image.

#include "link/ChipLink.h"

#include "core/UnexpectedError.h"
#include "link/ReadAllTable.h"

namespace kvb::link {

void ChipLink::ParseDaisyChainResponse(const ChipMessage& message, const std::string& prefix)
{
    RunHandler(services_.prompter, "ParseDaisyChainResponse", [&] {
        parseDaisy(message, prefix);
    });
}

void ChipLink::ParseNonDaisyChainResponse(ChipMessage& message, const std::string& prefix)
{
    RunHandler(services_.prompter, "ParseNonDaisyChainResponse", [&] {
        parseNonDaisy(message, prefix);
    });
}

void ChipLink::refreshTabs()
{
    if (hooks.refreshMainTab)
        hooks.refreshMainTab();
    if (hooks.refreshMonitorTab)
        hooks.refreshMonitorTab();
}

void ChipLink::parseDaisy(const ChipMessage& message, const std::string& prefix)
{
    // A read-all command: its answer switches to 3-byte frames after the
    // 4-byte frame that carries the block's last address.
    const int commandType = typeIndex(message.DeviceType);
    bool readAll =
        definitions.kind(commandType, RegisterIndex(message.cat, message.adr)) == KindReadAll;
    int remaining = 0;
    int lastAddress = 0;
    if (readAll) {
        if (auto block = FindReadAllBlock(commandType, message.cat, message.adr)) {
            remaining = block->frames;
            lastAddress = block->lastAddress;
        }
    }

    // Every frame of the answer belongs to the type the select byte named.
    const int type = SelectedType(TxFrame.empty() ? 0 : TxFrame[0]);
    const std::string& name = partName(type);
    const std::span<const uint8_t> bytes = answerBytes();

    // A register read or write addressed to one device must be answered by
    // that device, with that register (or a not-acknowledge); a frame for
    // another register leaves the one asked for unread. A read-all answers
    // with its block. Commands answer by design or not at all, the scans are
    // answerless, broadcasts and buffer reads are answered by whoever has
    // something to say.
    const int requested = RegisterIndex(message.cat, message.adr);
    const int commandKind = definitions.kind(commandType, requested);
    const bool answerDue = !message.allZero() && message.dev != kBroadcastDevice &&
                           !pipe_.CommandInProgress && commandKind != KindCommand &&
                           commandKind != KindCommandData && commandKind != KindCommandData4;
    bool answered = false;

    uint8_t dev = 0, cat = 0, adr = 0;
    int16_t dat = 0;
    size_t p = 0;
    size_t size = 4;
    while (p + size <= bytes.size()) {
        const bool crcOk = DecodeDaisyChainResponse(dev, cat, adr, dat, bytes.subspan(p, size));
        if (options.ShowActivityLogs)
            AddToEvbLog(prefix + name + ",dev" + HexPrefixed(dev, 2) + ",cat" + HexPrefixed(cat, 2) +
                        ",adr" + HexPrefixed(adr, 2) + ",dat" + HexPrefixed(dat, 4));
        if (!crcOk) {
            AddToEvbLog("ParseDaisyChainResponse: " + name + " CRC4 checksum error");
            LogCrc4Error();
            return;
        }
        p += size;
        const int reg = RegisterIndex(cat, adr);
        if (type == commandType && dev == message.dev &&
            (commandKind == KindReadAll || reg == requested || reg == kNackRegister))
            answered = true;

        if (reg == kAckRegister) {
            lamps.set(LampKind::Ack, type, kLampGreen);
        } else if (reg == kNackRegister) {
            LogNackResponse();
            lamps.set(LampKind::Nack, type, kLampGreen);
        } else if (reg == kFaultStatusRegister && dat != 0) {
            lamps.set(LampKind::Fault, type, kLampRed);
        }

        if (readAll) {
            if (size == 4) {
                if (type == commandType && dev == message.dev && cat == message.cat &&
                    adr == lastAddress) {
                    --remaining;
                    size = 3;
                }
            } else if (--remaining == 0) {
                size = 4;
                readAll = false;
            }
        }

        if (readable(type, reg))
            image.store(type, dev, reg, dat);
        if (options.UpdateGuiControls && type == SelectedDeviceType && dev == SelectedDevice &&
            hooks.showRegisterValue)
            hooks.showRegisterValue(reg, dat);
    }

    if (answerDue && !answered)
        LogNoResponse(commandType);
    if (options.UpdateGuiControls)
        refreshTabs();
    scanFaults();
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
                    LogFaultStatus(partName(t) + " device " + std::to_string(d) + " " +
                                   definitions.def(t, kFaultStatusRegister).bitNames[b] + " Fault");
            }
        }
        for (int t = 0; t < kDeviceTypes; ++t)
            latchedFaults[t][d] = image.reportedFaults(t, d);
    }
}

void ChipLink::parseNonDaisy(ChipMessage& m, const std::string& prefix)
{
    const int type = typeIndex(m.DeviceType);
    const std::string& name = partName(type);
    const std::string catText = HexPrefixed(m.cat, 2);
    const std::string adrText = HexPrefixed(m.adr, 2);
    m.dev = 1;
    const int reg = RegisterIndex(m.cat, m.adr);
    // Register 87 is stored whatever its kind.
    if (readable(type, reg) || reg == RegisterIndex(1, 0x17)) {
        if (RxLength < 5) {
            AddToEvbLog("ParseNonDaisyChainResponse: " + name + " unrecognized response");
            LogUnrecognizedResponse();
            return;
        }
        const auto& report = transport_.ReportBuffer();
        const int16_t dat = static_cast<int16_t>((report[7] & 0x3F) << 8 | report[8]);
        m.dat = dat;
        image.store(type, 1, reg, dat);
        if (type == SelectedDeviceType && hooks.showRegisterValue)
            hooks.showRegisterValue(reg, dat);
        AddToEvbLog(prefix + name + ",cat" + catText + ",adr" + adrText + ",dat" +
                    HexPrefixed(dat, 4));
    }
    refreshTabs();
}

}  // namespace kvb::link
