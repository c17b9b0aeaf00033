#include "link/Identify.h"

#include "link/AnswerFrames.h"

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
constexpr const char* kDaisyChain = "IdentifyDaisyChain";

}  // namespace

std::optional<AnswerFrame> DeviceIdentification::identifyExchange(int chain, uint8_t dev,
                                                                  uint8_t adr, int16_t dat)
{
    ChipLink::ExchangeScope exchange(link_);
    ChipMessage message(dev, kCommandPage, adr, dat, static_cast<int16_t>(chain));
    if (!link_.SendReceivePipe(message))
        return std::nullopt;
    // A frame that fails its CRC says nothing about the chain: it counts as
    // no answer. Identification reads its answers itself, so such a frame
    // is no communication error of the link.
    return firstDaisyFrame(link_.answerBytes());
}

namespace {

bool isAck(const std::optional<AnswerFrame>& answer)
{
    return answer && answer->cat == kCommandPage && answer->reg() == kAckRegister;
}

}  // namespace

void DeviceIdentification::reset(int chain, const std::string& name)
{
    log(std::string(kDaisyChain) + ": Sending RESET command to " + name);
    identifyExchange(chain, 1, kResetAddress, 0);
}

bool DeviceIdentification::bottomAcknowledges(int chain, const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        log(std::string(kDaisyChain) + ": Sending Identify command to " + name);
        if (isAck(identifyExchange(chain, 0, kIdentifyAddress, 0)))
            return true;
        if (attempt == kMaxTries)
            return false;
        link_.TimerDelay(kSettleMs);
        reset(chain, name);
        link_.TimerDelay(kSettleMs);
    }
}

bool DeviceIdentification::numberDevices(int chain, const std::string& name, int16_t& count)
{
    for (int n = 2; n <= kMaxChainDevices; ++n) {
        log(std::string(kDaisyChain) + ": Sending Identify Device " + std::to_string(n) +
            " command to " + name);
        auto answer = identifyExchange(chain, 0, kIdentifyAddress, static_cast<int16_t>(n));
        if (!answer)
            return false;
        if (answer->cat != kCommandPage || answer->adr != kIdentifyAddress)
            continue;
        if (!(answer->dat & 0x2000))
            return false;  // no device above, yet none said it was the top one
        count = static_cast<int16_t>(n);
        if (!(answer->dat & 0x1000))
            return true;  // the top device
    }
    return true;
}

DeviceIdentification::Result DeviceIdentification::identifyDaisyChain(int chain)
{
    const std::string me = kDaisyChain;
    if (chain != 0 && chain != 1) {
        log(me + ": unknown device specified.");
        return {};
    }
    const std::string& name = link_.partName(chain);
    Result result;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        if (pass > 0) {
            reset(chain, name);
            link_.TimerDelay(kSettleMs);
        }
        if (!bottomAcknowledges(chain, name)) {
            log(me + ": " + name + " did not respond with ACK");
            return result;
        }
        // The bottom device answered; number the others upwards until the
        // top device reports itself. The count follows every device found,
        // so a chain that breaks off keeps what its last pass reached.
        int16_t& count = result.count.emplace(1);
        if (numberDevices(chain, name, count) &&
            isAck(identifyExchange(chain, 0, kIdentifyAddress, kIdentifyCompleted))) {
            log(me + ": Found " + std::to_string(count) + " " + name + " devices");
            result.found = true;
            return result;
        }
    }
    log(me + ": " + name + " responded incorrectly to Identify command");
    return result;
}

bool DeviceIdentification::singleExchange(ChipMessage& message, const std::string& name)
{
    if (link_.SendReceivePipe(message) && link_.answered())
        return true;
    log("IdentifyNonDaisyChain: " + name + " pipe communication error");
    link_.log.LogPipeError();
    return false;
}

DeviceIdentification::Result DeviceIdentification::identifyNonDaisyChain(int deviceType)
{
    const std::string me = "IdentifyNonDaisyChain";
    if (deviceType != 0 && deviceType != 1) {
        log(me + ": unknown device specified.");
        return {};
    }
    const std::string& name = link_.partName(deviceType);
    const auto type = static_cast<int16_t>(deviceType);
    constexpr uint8_t page = 2, userRegister = 0x16, serialLow = 0x1B, serialHigh = 0x1C;
    const uint8_t writePage = page | kWriteFlag;

    log(me + ": Testing " + name + " user register.");
    ChipMessage saved(0, page, userRegister, 0, type);
    if (!singleExchange(saved, name))
        return {};
    // The answer's value reaches the message only for a readable register.
    const bool haveSaved =
        link_.definitions.readable(deviceType, RegisterIndex(page, userRegister));

    ChipMessage pattern(0, writePage, userRegister, static_cast<int16_t>(kTestPattern), type);
    ChipMessage check(0, page, userRegister, 0, type);
    const bool exchanged = singleExchange(pattern, name) && singleExchange(check, name);
    const bool present = exchanged && check.dat == kTestPattern;
    // Put the user's value back, even when the test broke off after the
    // pattern went out; never write back a value that was not read.
    if (haveSaved) {
        ChipMessage restore(0, writePage, userRegister, static_cast<int16_t>(saved.dat & 0x3FFF), type);
        if (!singleExchange(restore, name))
            return {};
    }
    if (!exchanged)
        return {};
    if (!present) {
        log(me + ": " + name + " not found");
        return {};
    }

    log(me + ": Reading 28-bit " + name + " serial number.");
    ChipMessage low(0, page, serialLow, 0, type);
    if (!singleExchange(low, name))
        return {};
    ChipMessage high(0, page, serialHigh, 0, type);
    if (!singleExchange(high, name))
        return {};
    const long long serial = static_cast<long long>(high.dat & 0x3FFF) * 16384 + (low.dat & 0x3FFF);
    log(me + ": Found " + name + "serial number = " + HexPrefixed(serial, 8));
    return {true, 1};
}

// --- The link takes what identification found -------------------------------

bool ChipLink::takeCount(int type, bool found, std::optional<int16_t> count)
{
    if (count)
        (type == 0 ? deviceCount1_ : deviceCount2_) = *count;
    return found;
}

bool ChipLink::IdentifyDaisyChain(int chain)
{
    const DeviceIdentification::Result result =
        DeviceIdentification(*this).identifyDaisyChain(chain);
    return takeCount(chain, result.found, result.count);
}

bool ChipLink::IdentifyNonDaisyChain(int deviceType)
{
    const DeviceIdentification::Result result =
        DeviceIdentification(*this).identifyNonDaisyChain(deviceType);
    return takeCount(deviceType, result.found, result.count);
}

}  // namespace kvb::link
