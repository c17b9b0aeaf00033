#pragma once
// A simulated GPIB bus behind the same driver calls as the real library: it
// answers the panel's instruments at their default addresses (the nine
// voltmeters at 22 to 30, all within GPIB's 0 to 30), records every write,
// hands a reply longer than a read over in several reads, keeps the switch
// unit's relays, and injects the driver's failures (time-outs, no listener,
// any error code) for tests and demonstrations.

#include "bench/GpibDriver.h"
#include "bench/GpibStatusWords.h"
#include "sim/SimGpibInstruments.h"

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kvb::sim {

struct SimGpibWrite {
    int address;
    std::string text;
};

// Switches that make the bus fail.
struct SimGpibFaults {
    int timeoutReads = 0;             // the next N reads time out
    std::set<int> noListener;         // addresses where nothing answers
    int failNextCalls = 0;            // the next N calls fail with `errorCode`
    int errorCode = 0;                // any code, also outside the driver's table
    std::deque<int32_t> registerResults;  // results of the next registrations
};

class SimGpibBus : public bench::GpibDriver {
public:
    SimGpibBus();

    int32_t ibdev(int32_t boardIndex, int32_t primaryAddress, int32_t secondaryAddress,
                  int32_t timeoutCode, int32_t endOnEoi, int32_t endOfString) override;
    int32_t ibclr(int32_t device) override;
    int32_t ibonl(int32_t device, int32_t value) override;
    int32_t ibrd(int32_t device, char* buffer, int32_t count) override;
    int32_t ibwrt(int32_t device, const char* data, int32_t count) override;
    int32_t RegisterGpibGlobalsForThread(int32_t* status, int32_t* error, int32_t* count,
                                         int32_t* longCount) override;
    int32_t UnregisterGpibGlobalsForThread() override;

    // The instrument at `address`, null when none.
    SimInstrument* at(int address);
    template <typename T>
    T* instrument(int address) { return dynamic_cast<T*>(at(address)); }

    SimGpibFaults faults;
    // Every write, oldest first (the most recent 50000 at least; older ones
    // are dropped in long sessions, as are old clears and off-line calls).
    std::vector<SimGpibWrite> writes;
    // The texts written to one address, oldest first.
    std::vector<std::string> writesTo(int address) const;
    // Addresses cleared and taken off line, in order.
    std::vector<int> clears;
    std::vector<int> offline;
    int opens = 0;
    int registrations = 0;
    // Descriptors opened and not taken off line.
    int openDevices() const;

private:
    struct Device {
        int address;
        bool online;
    };
    // The address of an open descriptor, -1 when it is not one.
    int addressOf(int32_t device) const;
    // Posts a failure and returns the status word.
    int32_t fail(int32_t error, int32_t extraStatus = 0);
    int32_t succeed(int32_t count, int32_t extraStatus = 0);
    bool injectedFailure(int32_t& status);
    // The instrument listening at an open descriptor; null (with the failed
    // call's status) when the call fails first or nothing listens.
    SimInstrument* listener(int32_t device, int& address, int32_t& status);

    std::map<int, std::unique_ptr<SimInstrument>> instruments_;
    std::vector<Device> devices_;
    bench::GpibStatusWords words_;
    // Words registered "elsewhere", for the already-registered result.
    int32_t elsewhere_[4] = {};
};

}  // namespace kvb::sim
