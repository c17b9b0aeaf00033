#include "sim/SimGpibInstruments.h"

#include <charconv>
#include <cstdlib>

namespace kvb::sim {

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The number after `key` in `text`; `fallback` when there is none.
double numberAfter(const std::string& text, const std::string& key, double fallback)
{
    size_t at = text.find(key);
    if (at == std::string::npos)
        return fallback;
    const char* first = text.data() + at + key.size();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ')
        ++first;
    if (first < last && *first == '+')
        ++first;
    double value = fallback;
    if (std::from_chars(first, last, value).ec != std::errc{})
        return fallback;
    return value;
}

// "+1.23456E+00": sign, `digits` decimals, exponent of `exponentDigits`
// digits; written without the locale, as the instruments do.
std::string exponent(double value, int digits, int exponentDigits)
{
    char text[64];
    auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                             digits).ptr;
    std::string s(text, end);
    if (s[0] != '-')
        s.insert(s.begin(), '+');
    size_t e = s.find('e');
    std::string power = s.substr(e + 2);
    while (power.size() > 1 && static_cast<int>(power.size()) > exponentDigits &&
           power[0] == '0')
        power.erase(0, 1);
    while (static_cast<int>(power.size()) < exponentDigits)
        power.insert(power.begin(), '0');
    return s.substr(0, e) + "E" + s[e + 1] + power;
}

}  // namespace

void SimCounter::write(const std::string& message)
{
    if (message == "*IDN?") {
        replies.push_back("HEWLETT-PACKARD,53131A,0,4806\n");
    } else if (message == "*RST") {
        replies.clear();
    } else if (startsWith(message, "FETCH:FREQ?")) {
        double value = frequencyHz + 0.001 * (reads++ % 7);
        if (!nextReply.empty()) {
            replies.push_back(nextReply);
            nextReply.clear();
        } else {
            replies.push_back(exponent(value, 14, 3) + "\n");
        }
    }
}

void SimSupply::write(const std::string& message)
{
    if (message == "*IDN?") {
        replies.push_back("HEWLETT-PACKARD,E3631A,0,2.1-5.0-1.0\n");
    } else if (startsWith(message, "APPL P25V")) {
        setVolts = numberAfter(message, "P25V,", 0.0);
    } else if (message == "OUTP:STAT ON") {
        outputOn = true;
    } else if (message == "OUTP:STAT OFF") {
        outputOn = false;
    } else if (message == "MEAS:VOLT:DC?") {
        replies.push_back(exponent(outputOn ? setVolts - 0.0004 : 0.0002, 8, 2) + "\n");
    }
}

void SimSwitch::write(const std::string& message)
{
    if (message == "ID?") {
        replies.push_back("HP3488A\n");
    } else if (message == "CTYPE 1") {
        replies.push_back("44470 10 CHANNEL RELAY MUX\n");
    } else if (message == "CMON 1") {
        monitoring = true;
    } else if (message == "CRESET 1") {
        std::erase_if(closedChannels, [](int ch) { return ch >= 100 && ch < 200; });
    } else if (startsWith(message, "OPEN ")) {
        closedChannels.erase(std::atoi(message.c_str() + 5));
    } else if (startsWith(message, "CLOSE ")) {
        closedChannels.insert(std::atoi(message.c_str() + 6));
    }
}

void SimSmu::write(const std::string& message)
{
    lastCommand = message;
    if (startsWith(message, "J0X")) {
        operating = false;
        bias = 0.0;
        sourcesVoltage = true;
    }
    if (message.find("F0,0") != std::string::npos)
        sourcesVoltage = true;
    if (message.find("F1,0") != std::string::npos)
        sourcesVoltage = false;
    if (message.find('B') != std::string::npos)
        bias = numberAfter(message, "B", bias);
    if (message.find("N1") != std::string::npos) {
        operating = true;
        double source = bias;
        // Into 1 kOhm: volts in, amperes out, or the other way.
        double measured = sourcesVoltage ? source / 1000.0 : source * 1000.0;
        replies.push_back(exponent(source, 5, 2) + "," + exponent(measured, 5, 2) + "\r\n");
    }
    if (message.find("N0") != std::string::npos)
        operating = false;
}

void SimVoltmeter::write(const std::string& message)
{
    mode = message;
}

std::optional<std::string> SimVoltmeter::read()
{
    if (auto queued = SimInstrument::read())
        return queued;
    if (mode.empty())
        return std::nullopt;
    if (!nextReading.empty())
        return nextReading + "\r\n";
    double value = startsWith(mode, "F2") ? 0.12345 : startsWith(mode, "F3") ? 1000.0 : 1.23456;
    return exponent(value, 5, 1) + "\r\n";
}

std::map<int, std::unique_ptr<SimInstrument>> defaultBench()
{
    std::map<int, std::unique_ptr<SimInstrument>> bench;
    bench[3] = std::make_unique<SimCounter>();
    bench[5] = std::make_unique<SimSupply>();
    bench[10] = std::make_unique<SimSwitch>();
    for (int address : {14, 16, 17, 18})
        bench[address] = std::make_unique<SimSmu>();
    // Nine voltmeters at addresses a GPIB device can have (0 to 30): the
    // first three where the panel's first three voltmeters look.
    for (int address = 22; address <= 30; ++address)
        bench[address] = std::make_unique<SimVoltmeter>();
    return bench;
}

}  // namespace kvb::sim
