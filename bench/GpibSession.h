#pragma once
// What every section of the instrument panel shares: the device slots of
// all instruments, the device the last operation addressed, the reply
// buffer, and the steps the sections use by name (open if needed, write,
// read a reply, clear, report an error).
//
// An instrument error is reported in a box and the device is taken off line;
// its slot goes back to "not opened" so that the section's init opens it
// again. The program goes on.

#include "bench/Vbib32.h"
#include "core/Services.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kvb::bench {

// A slot whose device has not been opened yet.
inline constexpr int16_t NotOpened = -5;
using DeviceSlots = std::array<int16_t, 21>;
// A GPIB primary address as read from an address box: nothing when the box's
// number is too large for a 16-bit integer, which names no device.
using GpibAddress = std::optional<int16_t>;

class GpibSession {
public:
    GpibSession(Services& services, GpibDriver& driver);

    Services& services;
    Vbib32 gpib;

    int16_t CurrentDevice = NotOpened;
    DeviceSlots CounterDevice{};
    DeviceSlots SupplyDevice{};
    DeviceSlots SwitchDevice{};
    DeviceSlots DvmDevice{};
    DeviceSlots SmuDevice{};
    GpibAddress CounterAddress = 0;
    GpibAddress SupplyAddress = 0;
    GpibAddress SwitchAddress = 0;
    GpibAddress DvmAddress = 0;
    GpibAddress SmuAddress = 0;
    std::string GpibErrorText = std::string(100, ' ');
    std::string ReplyBuffer = std::string(1024, ' ');
    std::array<std::string, 29> ErrorMnemonics;

    // Every slot back to "not opened".
    void resetSlots();

    // The value of an address box: its leading number rounded, 0 when none,
    // nothing when it is too large for 16 bits. The panel passes any 16-bit
    // value on; the driver refuses one that is no GPIB address, and the
    // open-failure box shows its error.
    static GpibAddress addressValue(const std::string& box);

    // Opens the device at `address` into `slot` when the slot is not opened.
    // A failed open shows the open-failure box with `failureLine` (none when
    // it is empty), leaves the slot not opened so that the next attempt
    // opens again, and returns false. Returns the descriptor to use in `ud`
    // either way (the driver's answer when the open failed). An address too
    // large for 16 bits is refused as the driver refuses an address above
    // 30: the status words read as a failed call with error EARG, and `ud`
    // is the driver's failed descriptor, -1.
    bool OpenIfNeeded(int16_t& slot, GpibAddress address, const std::string& failureLine,
                      int16_t& ud);

    // A section's opening steps: reads the address box into `address`,
    // opens the slot if needed and makes it CurrentDevice. False when the
    // open failed.
    bool openSection(const std::string& addressBox, GpibAddress& address, int16_t& slot,
                     const std::string& failureLine);

    // Checked steps on CurrentDevice: false (after the error report) when
    // the driver set the error bit.
    bool Clear(const std::string& failureMessage);
    bool Write(const std::string& text);
    bool WriteTo(int16_t device, const std::string& text);
    // The reply without its line end: at most `cut` characters (1: line
    // feed, 2: carriage return and line feed) from its end, each only when
    // it is a carriage return or a line feed. A reply longer
    // than the buffer is read away up to its end, so that it cannot pass for
    // the next one, and is no reading.
    bool ReadReply(int16_t device, int cut, std::string& reply);
    // The reading the last reply gave: `reply` when it came whole and is one
    // number and nothing else; otherwise nothing.
    std::optional<double> readingOf(const std::string& reply) const;
    // Tells the user that `instrument` sent `reply` where a reading was
    // expected; the device stays on line.
    void replyNotAReading(const std::string& instrument, const std::string& reply);
    // A write whose failure is ignored.
    void WriteUnchecked(int16_t device, const std::string& text);

    // The error box with the driver's status; takes CurrentDevice off line
    // and frees every slot that held it.
    void ReportGpibError(const std::string& message);
    // The hint for a handler that needs an instrument its section has not
    // opened yet: true when `slot` is open, otherwise shows `hint` and
    // returns false.
    bool requireOpen(int16_t slot, const std::string& hint);

    // "ibsta = &H" text of the 16-bit status: upper-case hex, no leading zeros.
    static std::string hexStatus(int16_t status);

private:
    static constexpr int32_t kReplyBufferSize = 1024;
    // Reads of the rest of an overlong reply, at most (64 KiB).
    static constexpr int kMaxDrainReads = 64;

    void readAwayRest(int16_t device);
    void showError(const std::string& text);
    void freeSlotsHolding(int16_t device);

    bool libraryWarned_ = false;
    bool replyWhole_ = true;
};

}  // namespace kvb::bench
