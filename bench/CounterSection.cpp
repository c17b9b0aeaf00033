#include "bench/CounterSection.h"

#include "bench/NumberText.h"

namespace kvb::bench {

void CounterSection::cmd53141Init_Click()
{
    if (!s_.openSection(txtAdr53131, s_.CounterAddress, s_.CounterDevice[0],
                        "Unable to open 53131 device"))
        return;
    s_.gpib.ibsta = 0;
    if (!s_.Clear("Unable to clear 53131 device"))
        return;
    std::string reply;
    if (!s_.Write(txt53131Init[0]) || !s_.ReadReply(s_.CurrentDevice, 1, reply))
        return;
    ReadingsList53131_1.push_back(reply);
    for (size_t i = 1; i < txt53131Init.size(); ++i)
        if (!s_.Write(txt53131Init[i]))
            return;
    CounterReadingCount = 0;
}

bool CounterSection::useCounter()
{
    if (!s_.requireOpen(s_.CounterDevice[0],
                        "The 53131 counter has not been initialized.\n"
                        "Click on Send Init Command first."))
        return false;
    s_.CurrentDevice = s_.CounterDevice[0];
    return true;
}

void CounterSection::cmd53131_2_Click(int index)
{
    // The set-up goes to the counter, not to whichever instrument was last used.
    if (!useCounter())
        return;
    if (index == 0) {
        for (const std::string& command : txt53131Command)
            if (!s_.Write(command))
                return;
    } else {
        s_.Write(txt53131CmdStats[0]);
    }
}

void CounterSection::xms53131_4_Click()
{
    s_.CounterAddress = GpibSession::addressValue(txtAdr53131);
    if (!useCounter()) {
        TimerFreqEnabled = false;  // one hint, not one every tick
        return;
    }
    std::string reply;
    if (!s_.Write(txt53131CmdRead[0]) || !s_.ReadReply(s_.CurrentDevice, 1, reply)) {
        TimerFreqEnabled = false;
        return;
    }
    // A reply that is not one whole number is no reading: it is shown once
    // (the timer stops) and nothing is stored; the counter stays on line.
    const std::optional<double> number = s_.readingOf(reply);
    if (!number) {
        TimerFreqEnabled = false;
        s_.replyNotAReading("53131 counter", reply);
        return;
    }
    const double reading = *number;
    const size_t index = CounterReadingCount % kKeptReadings;
    if (index >= CounterReadings.size())
        CounterReadings.resize(index + 1);
    CounterReadings[index] = reading;
    std::string text = formatPattern(reading, "##0.0000000000");
    ReadingsList53131_2.push_back(text);
    lblCounter1Read = text;
    ++CounterReadingCount;
}

void CounterSection::cmdStartTimer_Click(int index)
{
    if (index == 0) {
        ReadingsList53131_2.clear();
        TimerFreqEnabled = true;
    } else {
        TimerFreqEnabled = false;
    }
}

void CounterSection::TimerFreq_Timer()
{
    xms53131_4_Click();
}

}  // namespace kvb::bench
