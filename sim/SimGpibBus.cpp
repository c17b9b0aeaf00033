#include "sim/SimGpibBus.h"

#include "sim/History.h"

#include <algorithm>
#include <cstring>

namespace kvb::sim {

using namespace kvb::bench;

SimGpibBus::SimGpibBus() : instruments_(defaultBench()) {}

SimInstrument* SimGpibBus::at(int address)
{
    auto it = instruments_.find(address);
    return it == instruments_.end() ? nullptr : it->second.get();
}

std::vector<std::string> SimGpibBus::writesTo(int address) const
{
    std::vector<std::string> texts;
    for (const SimGpibWrite& w : writes)
        if (w.address == address)
            texts.push_back(w.text);
    return texts;
}

int SimGpibBus::addressOf(int32_t device) const
{
    // Descriptors are 1-based indexes into the opened devices.
    if (device < 1 || device > static_cast<int32_t>(devices_.size()))
        return -1;
    const Device& d = devices_[static_cast<size_t>(device - 1)];
    return d.online ? d.address : -1;
}

int32_t SimGpibBus::fail(int32_t error, int32_t extraStatus)
{
    int32_t status = kStatusError | extraStatus;
    words_.post(status, error, 0);
    return status;
}

int32_t SimGpibBus::succeed(int32_t count, int32_t extraStatus)
{
    int32_t status = kStatusComplete | extraStatus;
    words_.post(status, 0, count);
    return status;
}

bool SimGpibBus::injectedFailure(int32_t& status)
{
    if (faults.failNextCalls <= 0)
        return false;
    --faults.failNextCalls;
    status = fail(faults.errorCode);
    return true;
}

SimInstrument* SimGpibBus::listener(int32_t device, int& address, int32_t& status)
{
    if (injectedFailure(status))
        return nullptr;
    address = addressOf(device);
    if (address < 0) {
        status = fail(kErrorSystem);
        return nullptr;
    }
    SimInstrument* instrument = at(address);
    if (!instrument || faults.noListener.contains(address)) {
        status = fail(kErrorNoListener);
        return nullptr;
    }
    return instrument;
}

int32_t SimGpibBus::ibdev(int32_t boardIndex, int32_t pad, int32_t sad, int32_t, int32_t,
                          int32_t)
{
    ++opens;
    int32_t status = 0;
    if (injectedFailure(status))
        return -1;
    if (boardIndex != 0 || pad < 0 || pad > 30 || sad != 0) {
        fail(kErrorArgument);
        return -1;
    }
    devices_.push_back({pad, true});
    succeed(0);
    return static_cast<int32_t>(devices_.size());
}

int SimGpibBus::openDevices() const
{
    return static_cast<int>(std::count_if(devices_.begin(), devices_.end(),
                                          [](const Device& d) { return d.online; }));
}

int32_t SimGpibBus::ibclr(int32_t device)
{
    int32_t status = 0;
    int address = -1;
    SimInstrument* instrument = listener(device, address, status);
    if (!instrument)
        return status;
    Record(clears, address);
    instrument->clear();
    return succeed(0);
}

int32_t SimGpibBus::ibonl(int32_t device, int32_t value)
{
    int32_t status = 0;
    if (injectedFailure(status))
        return status;
    int address = addressOf(device);
    if (address < 0)
        return fail(kErrorSystem);
    if (value == 0) {
        devices_[static_cast<size_t>(device - 1)].online = false;
        Record(offline, address);
    }
    return succeed(0);
}

int32_t SimGpibBus::ibrd(int32_t device, char* buffer, int32_t count)
{
    int32_t status = 0;
    int address = -1;
    SimInstrument* instrument = listener(device, address, status);
    if (!instrument)
        return status;
    if (faults.timeoutReads > 0) {
        --faults.timeoutReads;
        return fail(kErrorAborted, kStatusTimeout);
    }
    auto reply = instrument->read();
    if (!reply)
        return fail(kErrorAborted, kStatusTimeout);
    int32_t n = std::min<int32_t>(std::max<int32_t>(count, 0), static_cast<int32_t>(reply->size()));
    std::memcpy(buffer, reply->data(), static_cast<size_t>(n));
    if (n < static_cast<int32_t>(reply->size())) {
        // The rest of the message waits in the instrument for the next read;
        // END comes with the message's last byte.
        instrument->replies.push_front(reply->substr(static_cast<size_t>(n)));
        return succeed(n);
    }
    return succeed(n, kStatusEnd);
}

int32_t SimGpibBus::ibwrt(int32_t device, const char* data, int32_t count)
{
    int32_t status = 0;
    int address = -1;
    SimInstrument* instrument = listener(device, address, status);
    if (!instrument)
        return status;
    std::string text(data, static_cast<size_t>(std::max<int32_t>(count, 0)));
    Record(writes, SimGpibWrite{address, text});
    instrument->write(text);
    return succeed(count);
}

int32_t SimGpibBus::RegisterGpibGlobalsForThread(int32_t* status, int32_t* error, int32_t* count,
                                                 int32_t* longCount)
{
    ++registrations;
    if (!faults.registerResults.empty()) {
        int32_t rc = faults.registerResults.front();
        faults.registerResults.pop_front();
        if (rc != 0 && rc != 1)
            return rc;
        if (rc == 1 && !words_.attached()) {
            // Stand for words registered elsewhere on this thread.
            words_.attach(&elsewhere_[0], &elsewhere_[1], &elsewhere_[2], &elsewhere_[3]);
        }
    }
    return words_.attach(status, error, count, longCount);
}

int32_t SimGpibBus::UnregisterGpibGlobalsForThread()
{
    return words_.detach();
}

}  // namespace kvb::sim
