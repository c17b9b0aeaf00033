#include "link/StatusLamps.h"

namespace kvb {

const char* LampColumnLabel(LampKind kind)
{
    static const char* const labels[kLampKinds] = {"COM", "FAULT", "NACK", "ACK", "PRES"};
    return labels[static_cast<int>(kind)];
}

const char* LampName(LampId lamp)
{
    static const char* const names[kLampCount] = {
        "led53960Com",  "led53961Com",  "led53960Fault", "led53961Fault", "led53960Nack",
        "led53961Nack", "led53960Ack",  "led53961Ack",   "led53960Pres",  "led53961Pres",
        "ledPolling",   "ledUPRStatus", "ledUSBConnected",
    };
    return names[static_cast<int>(lamp)];
}

}  // namespace kvb
