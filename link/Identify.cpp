// Finding the devices on the link: the chips' identify protocol on a daisy
// chain, a register test and the serial number on a single device.

#include "link/ChipLink.h"

namespace kvb::link {

namespace {

constexpr uint8_t kCommandPage = 3;
constexpr uint8_t kIdentifyAddress = 9;
constexpr uint8_t kResetAddress = 0x12;
constexpr int16_t kIdentifyCompleted = 0x3F;
constexpr int kMaxPasses = 3;
constexpr int kMaxTries = 3;
constexpr int kMaxChainDevices = 14;
constexpr int kSettleMs = 50;

}  // namespace

std::optional<ChipLink::AnswerFrame> ChipLink::identifyExchange(int chain, uint8_t dev, uint8_t adr,
                                                                int16_t dat)
{
    ExchangeScope exchange(*this);
    ChipMessage message(dev, kCommandPage, adr, dat, static_cast<int16_t>(chain));
    if (!SendReceivePipe(message) || RxLength < 5)
        return std::nullopt;
    AnswerFrame frame;
    // A frame that fails its CRC says nothing about the chain: it counts as
    // no answer. Identification reads its answers itself, so such a frame
    // is no communication error of the link.
    if (!DecodeDaisyChainResponse(frame.dev, frame.cat, frame.adr, frame.dat,
                                  answerBytes().first(4)))
        return std::nullopt;
    return frame;
}

bool ChipLink::IdentifyDaisyChain(int chain)
{
    const std::string me = "IdentifyDaisyChain";
    if (chain != 0 && chain != 1) {
        AddToEvbLog(me + ": unknown device specified.");
        return false;
    }
    const std::string& name = partName(chain);
    int16_t& count = countOf(chain);
    auto isAck = [](const std::optional<AnswerFrame>& a) {
        return a && a->cat == kCommandPage && RegisterIndex(a->cat, a->adr) == kAckRegister;
    };
    auto reset = [&] {
        AddToEvbLog(me + ": Sending RESET command to " + name);
        identifyExchange(chain, 1, kResetAddress, 0);
    };

    for (int pass = 0;; ++pass) {
        if (pass == kMaxPasses) {
            AddToEvbLog(me + ": " + name + " responded incorrectly to Identify command");
            return false;
        }
        if (pass > 0) {
            reset();
            TimerDelay(kSettleMs);
        }

        for (int attempt = 1;; ++attempt) {
            AddToEvbLog(me + ": Sending Identify command to " + name);
            if (isAck(identifyExchange(chain, 0, kIdentifyAddress, 0)))
                break;
            if (attempt == kMaxTries) {
                AddToEvbLog(me + ": " + name + " did not respond with ACK");
                return false;
            }
            TimerDelay(kSettleMs);
            reset();
            TimerDelay(kSettleMs);
        }

        // The bottom device answered; number the others upwards until the
        // top device reports itself. The count follows every device found,
        // so a chain that breaks off keeps what its last pass reached.
        count = 1;
        int found = 1;
        bool broken = false;
        for (int n = 2; n <= kMaxChainDevices; ++n) {
            AddToEvbLog(me + ": Sending Identify Device " + std::to_string(n) + " command to " +
                        name);
            auto answer = identifyExchange(chain, 0, kIdentifyAddress, static_cast<int16_t>(n));
            if (!answer) {
                broken = true;
                break;
            }
            if (answer->cat != kCommandPage || answer->adr != kIdentifyAddress)
                continue;
            const bool more = answer->dat & 0x2000;
            const bool middle = answer->dat & 0x1000;
            if (!more) {
                broken = true;
                break;
            }
            found = n;
            count = static_cast<int16_t>(n);
            if (!middle)
                break;  // the top device
        }
        if (broken || !isAck(identifyExchange(chain, 0, kIdentifyAddress, kIdentifyCompleted)))
            continue;
        AddToEvbLog(me + ": Found " + std::to_string(found) + " " + name + " devices");
        return true;
    }
}

bool ChipLink::singleExchange(ChipMessage& message, const std::string& name)
{
    if (SendReceivePipe(message) && RxLength >= 5)
        return true;
    AddToEvbLog("IdentifyNonDaisyChain: " + name + " pipe communication error");
    LogPipeError();
    return false;
}

bool ChipLink::IdentifyNonDaisyChain(int deviceType)
{
    const std::string me = "IdentifyNonDaisyChain";
    if (deviceType != 0 && deviceType != 1) {
        AddToEvbLog(me + ": unknown device specified.");
        return false;
    }
    const std::string& name = partName(deviceType);
    const auto type = static_cast<int16_t>(deviceType);
    constexpr uint8_t page = 2, userRegister = 0x16, serialLow = 0x1B, serialHigh = 0x1C;
    const uint8_t writePage = page | kWriteFlag;

    AddToEvbLog(me + ": Testing " + name + " user register.");
    ChipMessage saved(0, page, userRegister, 0, type);
    if (!singleExchange(saved, name))
        return false;
    // The answer's value reaches the message only for a readable register.
    const bool haveSaved = readable(deviceType, RegisterIndex(page, userRegister));

    ChipMessage pattern(0, writePage, userRegister, static_cast<int16_t>(kTestPattern), type);
    ChipMessage check(0, page, userRegister, 0, type);
    const bool exchanged = singleExchange(pattern, name) && singleExchange(check, name);
    const bool present = exchanged && check.dat == kTestPattern;
    // Put the user's value back, even when the test broke off after the
    // pattern went out; never write back a value that was not read.
    if (haveSaved) {
        ChipMessage restore(0, writePage, userRegister, static_cast<int16_t>(saved.dat & 0x3FFF), type);
        if (!singleExchange(restore, name))
            return false;
    }
    if (!exchanged)
        return false;
    if (!present) {
        AddToEvbLog(me + ": " + name + " not found");
        return false;
    }

    AddToEvbLog(me + ": Reading 28-bit " + name + " serial number.");
    ChipMessage low(0, page, serialLow, 0, type);
    if (!singleExchange(low, name))
        return false;
    ChipMessage high(0, page, serialHigh, 0, type);
    if (!singleExchange(high, name))
        return false;
    const long long serial = static_cast<long long>(high.dat & 0x3FFF) * 16384 + (low.dat & 0x3FFF);
    AddToEvbLog(me + ": Found " + name + "serial number = " + HexPrefixed(serial, 8));
    countOf(deviceType) = 1;
    return true;
}

}  // namespace kvb::link
