#pragma once
// The main window's status lamps as state: each lamp keeps the colour its
// owner last set (no timer dims them). The chip link owns them and lights
// COM, ACK, NACK and FAULT as frames go and answers arrive; the connect steps
// and the poll tick set the others. The window's lamp widgets follow through
// `changed`.

#include <array>
#include <functional>
#include <string>

namespace kvb {

// Colours as 0x00BBGGRR values.
constexpr int kLampGreen = 0x00FF00;
constexpr int kLampRed = 0x0000FF;
constexpr int kLampYellow = 0x00FFFF;
constexpr int kLampGrey = 0x7F7F7F;

// One lamp per device type under each of these columns.
enum class LampKind : int { Com, Fault, Nack, Ack, Pres };
constexpr int kLampKinds = 5;

enum class LampId : int {
    Com0, Com1, Fault0, Fault1, Nack0, Nack1, Ack0, Ack1, Pres0, Pres1,
    Polling,       // ledPolling
    UprStatus,     // ledUPRStatus
    UsbConnected,  // ledUSBConnected
};
constexpr int kLampCount = 13;

// The lamp of a column for device type 0 or 1.
constexpr LampId TypeLamp(LampKind kind, int type)
{
    return static_cast<LampId>(static_cast<int>(kind) * 2 + (type & 1));
}

// Column caption: "COM", "FAULT", "NACK", "ACK", "PRES".
const char* LampColumnLabel(LampKind kind);
// Control name: "led53960Com", "led53961Pres", "ledPolling", ...
const char* LampName(LampId lamp);

class StatusLamps {
public:
    StatusLamps() { colours_.fill(kLampGrey); }

    // A window hook: the main window, which lives shorter than the lamps,
    // owns it through its HookScope while it is open.
    std::function<void(LampId lamp, int colour)> changed;

    int colour(LampId lamp) const { return colours_[static_cast<size_t>(lamp)]; }
    void set(LampId lamp, int colour)
    {
        colours_[static_cast<size_t>(lamp)] = colour;
        if (changed)
            changed(lamp, colour);
    }
    void set(LampKind kind, int type, int colour) { set(TypeLamp(kind, type), colour); }

private:
    std::array<int, kLampCount> colours_{};
};

}  // namespace kvb
