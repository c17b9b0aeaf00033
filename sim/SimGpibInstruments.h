#pragma once
// The bench instruments the simulated GPIB bus answers for: each takes the
// panel's command strings and queues the reply the real instrument would
// send (terminated as it would be).

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace kvb::sim {

class SimInstrument {
public:
    virtual ~SimInstrument() = default;
    // One message written to the instrument.
    virtual void write(const std::string& message) = 0;
    // A selected device clear.
    virtual void clear() { replies.clear(); }
    // The next reply, nothing when the instrument has nothing to say.
    virtual std::optional<std::string> read()
    {
        if (replies.empty())
            return std::nullopt;
        std::string reply = replies.front();
        replies.pop_front();
        return reply;
    }
    // Replies waiting to be read, oldest first.
    std::deque<std::string> replies;
};

// Frequency counter: identity, and a reading near 1 MHz that moves a little.
class SimCounter : public SimInstrument {
public:
    void write(const std::string& message) override;
    double frequencyHz = 1000000.0123;
    int reads = 0;
    // The whole reply (terminator included) to the next reading query in
    // place of the reading, when not empty.
    std::string nextReply;
};

// Auxiliary supply: identity, output set-up, output on/off, voltage reading.
class SimSupply : public SimInstrument {
public:
    void write(const std::string& message) override;
    double setVolts = 0.0;
    bool outputOn = false;
};

// Switch unit with one relay card: identity, card type, closed channels.
class SimSwitch : public SimInstrument {
public:
    void write(const std::string& message) override;
    std::set<int> closedChannels;
    bool monitoring = false;
};

// Source-measure unit: mode, bias, operate, and a "<source>,<measure>" reading
// from a 1 kOhm load.
class SimSmu : public SimInstrument {
public:
    void write(const std::string& message) override;
    bool sourcesVoltage = true;
    double bias = 0.0;
    bool operating = false;
    std::string lastCommand;
};

// Voltmeter: a mode command sets what a read returns.
class SimVoltmeter : public SimInstrument {
public:
    void write(const std::string& message) override;
    std::optional<std::string> read() override;
    std::string mode;  // the last mode command
    // What the next reads return, before the CR LF; empty: the mode's value.
    std::string nextReading;
};

// The panel's instruments at their default addresses.
std::map<int, std::unique_ptr<SimInstrument>> defaultBench();

}  // namespace kvb::sim
