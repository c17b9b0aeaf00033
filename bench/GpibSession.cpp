#include "bench/GpibSession.h"

#include "bench/NumberText.h"
#include "core/AppInfo.h"

#include <algorithm>
#include <cstdio>

namespace kvb::bench {

GpibSession::GpibSession(Services& s, GpibDriver& driver) : services(s), gpib(driver)
{
    resetSlots();
}

void GpibSession::resetSlots()
{
    for (DeviceSlots* slots : {&CounterDevice, &SupplyDevice, &SwitchDevice, &DvmDevice,
                               &SmuDevice})
        slots->fill(NotOpened);
}

GpibAddress GpibSession::addressValue(const std::string& box)
{
    return leadingInt16(box);
}

std::string GpibSession::hexStatus(int16_t status)
{
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint16_t>(status)));
    return text;
}

void GpibSession::showError(const std::string& text)
{
    std::string shown = text.substr(0, 100);
    GpibErrorText = shown + std::string(100 - shown.size(), ' ');
    services.prompter.tell(shown, "Error", Icon::Critical);
}

bool GpibSession::OpenIfNeeded(int16_t& slot, GpibAddress address, const std::string& failureLine,
                               int16_t& ud)
{
    if (slot != NotOpened) {
        ud = slot;
        return true;
    }
    if (!libraryWarned_ && !gpib.driver().available()) {
        libraryWarned_ = true;
        services.prompter.tell(gpib.driver().unavailableReason() +
                                   "\nThe instruments cannot be reached.",
                               kProgramTitle, Icon::Warning);
    }
    gpib.ibsta = 0;
    if (address) {
        ud = gpib.GpibOpenDevice(0, *address, 0, 12, 1, 0);
    } else {
        // Cut to 16 bits, the number would name some other device (0 for
        // 65536); it reaches no driver.
        ud = -1;
        gpib.ibsta = static_cast<int16_t>(kStatusError);
        gpib.iberr = static_cast<int16_t>(kErrorArgument);
    }
    if (!gpib.failed() && ud >= 0) {
        slot = ud;
        return true;
    }
    if (!failureLine.empty())
        showError(failureLine + "\nibsta = &H\n" + hexStatus(gpib.ibsta) +
                  "iberr = " + std::to_string(gpib.iberr));
    return false;
}

bool GpibSession::openSection(const std::string& addressBox, GpibAddress& address, int16_t& slot,
                              const std::string& failureLine)
{
    address = addressValue(addressBox);
    int16_t ud = 0;
    if (!OpenIfNeeded(slot, address, failureLine, ud))
        return false;
    CurrentDevice = ud;
    return true;
}

bool GpibSession::Clear(const std::string& failureMessage)
{
    gpib.GpibClear(CurrentDevice);
    if (!gpib.failed())
        return true;
    ReportGpibError(failureMessage);
    return false;
}

bool GpibSession::Write(const std::string& text)
{
    return WriteTo(CurrentDevice, text);
}

bool GpibSession::WriteTo(int16_t device, const std::string& text)
{
    gpib.GpibWrite(device, text, static_cast<int32_t>(text.size()));
    if (!gpib.failed())
        return true;
    // A failure is reported against, and takes off line, the device that
    // failed; a success leaves CurrentDevice to the section's own steps.
    CurrentDevice = device;
    ReportGpibError("Unable to write to device");
    return false;
}

void GpibSession::WriteUnchecked(int16_t device, const std::string& text)
{
    gpib.GpibWrite(device, text, static_cast<int32_t>(text.size()));
}

bool GpibSession::ReadReply(int16_t device, int cut, std::string& reply)
{
    ReplyBuffer.assign(kReplyBufferSize, ' ');
    gpib.GpibRead(device, ReplyBuffer, kReplyBufferSize);
    if (gpib.failed()) {
        CurrentDevice = device;
        ReportGpibError("Unable to read from device");
        return false;
    }
    const int32_t count = gpib.ibcntl;
    replyWhole_ = (gpib.ibsta & kStatusEnd) != 0 || count < kReplyBufferSize;
    if (!replyWhole_)
        readAwayRest(device);
    const int32_t length = std::clamp(count, 0, static_cast<int32_t>(ReplyBuffer.size()));
    reply = ReplyBuffer.substr(0, static_cast<size_t>(length));
    // Only the line end is dropped: a reply that came without it (ended by
    // EOI alone, or by a line feed where a carriage return and line feed
    // were due) keeps its last characters, which belong to the reading.
    for (int i = 0; i < cut && !reply.empty() && (reply.back() == '\n' || reply.back() == '\r');
         ++i)
        reply.pop_back();
    return true;
}

void GpibSession::readAwayRest(int16_t device)
{
    // A reply that filled the buffer without its end: the rest is read and
    // dropped up to the end, within a bound for a device that never ends.
    std::string rest(kReplyBufferSize, ' ');
    for (int reads = 0; reads < kMaxDrainReads; ++reads) {
        gpib.GpibRead(device, rest, kReplyBufferSize);
        if (gpib.failed() || (gpib.ibsta & kStatusEnd) != 0 || gpib.ibcntl < kReplyBufferSize)
            return;
    }
}

std::optional<double> GpibSession::readingOf(const std::string& reply) const
{
    return replyWhole_ ? wholeNumber(reply) : std::nullopt;
}

void GpibSession::replyNotAReading(const std::string& instrument, const std::string& reply)
{
    // The reply as far as it can be shown: bytes other than printable ASCII
    // as \xNN, cut after 40 characters.
    std::string shown;
    for (unsigned char c : reply.substr(0, 40)) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    if (reply.size() > 40 || !replyWhole_)
        shown += "...";
    services.prompter.tell("The " + instrument + " sent a reply that is not a reading: \"" +
                               shown + "\"",
                           "Error", Icon::Warning);
}

void GpibSession::ReportGpibError(const std::string& message)
{
    ErrorMnemonics = {"EDVR", "ECIC", "ENOL", "EADR", "EARG", "ESAC", "EABO", "ENEB",
                      "EDMA", "",     "EOIP", "ECAP", "EFSO", "",     "EBUS", "ESTB",
                      "ESRQ", "",     "",     "",     "ETAB", "ELCK", "EARM", "EHDL",
                      "",     "",     "EWIP", "ERST", "EPWR"};
    // Codes the table does not name show an empty mnemonic.
    int code = gpib.iberr;
    std::string mnemonic =
        code >= 0 && code < static_cast<int>(ErrorMnemonics.size()) ? ErrorMnemonics[code] : "";
    showError(message + "\nibsta = &H" + hexStatus(gpib.ibsta) + "\niberr = " +
              std::to_string(code) + " <" + mnemonic + ">");
    int16_t device = CurrentDevice;
    gpib.GpibOnline(device, 0);
    freeSlotsHolding(device);
    CurrentDevice = NotOpened;
}

void GpibSession::freeSlotsHolding(int16_t device)
{
    if (device < 0)
        return;
    for (DeviceSlots* slots : {&CounterDevice, &SupplyDevice, &SwitchDevice, &DvmDevice,
                               &SmuDevice})
        for (int16_t& slot : *slots)
            if (slot == device)
                slot = NotOpened;
}

bool GpibSession::requireOpen(int16_t slot, const std::string& hint)
{
    if (slot != NotOpened)
        return true;
    services.prompter.tell(hint, kProgramTitle, Icon::None);
    return false;
}

}  // namespace kvb::bench
