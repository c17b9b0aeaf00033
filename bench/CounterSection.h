#pragma once
// The frequency counter section: init (identity and reset commands),
// measurement and statistics set-up, and frequency reads, by hand or every
// 2 s while the panel's timer runs. The command texts are the editable boxes
// of the panel, with the instrument's shipped command set as defaults.

#include "bench/GpibSession.h"
#include "bench/ReadingList.h"

#include <array>
#include <string>
#include <vector>

namespace kvb::bench {

class CounterSection {
public:
    explicit CounterSection(GpibSession& session) : s_(session) {}

    // Boxes, by control name.
    std::string txtAdr53131 = "3";
    std::array<std::string, 6> txt53131Init{"*IDN?", "*RST", "*CLS", "*SRE 0", "*ESE 0",
                                            ":STAT:PRES"};
    std::array<std::string, 7> txt53131Command{
        ":FUNC 'FREQ 1'",          ":FREQ:ARM:STAR:SOUR IMM", ":FREQ:ARM:STOP:SOUR TMM",
        ":FREQ:ARM:STOP:TIM 2.000", ":SENS:EVENt1:LEV:ABS 1.2", ":INP1:FILT ON",
        ":INIT:CONT ON"};
    std::array<std::string, 2> txt53131CmdStats{"SHOW: MEAS", "SHOW: MEAS"};
    std::array<std::string, 1> txt53131CmdRead{"FETCH:FREQ?"};
    // The counter keeps and shows its most recent readings only: a day of
    // 2 s readings is 43,200 of them.
    static constexpr size_t kKeptReadings = 1001;
    std::vector<std::string> ReadingsList53131_1;
    ReadingList ReadingsList53131_2{kKeptReadings};
    std::string lblCounter1Read = "-00000.0000000";
    // The periodic read (2000 ms) runs while this is set.
    bool TimerFreqEnabled = false;
    static constexpr int kTimerFreqIntervalMs = 2000;

    // The readings, reading n at index n modulo kKeptReadings: the most
    // recent kKeptReadings since the last init, which starts again at index 0
    // and overwrites the earlier ones one by one. The count goes on.
    std::vector<double> CounterReadings;
    size_t CounterReadingCount = 0;

    void cmd53141Init_Click();
    // 0: measurement set-up, 1: statistics set-up.
    void cmd53131_2_Click(int index);
    void xms53131_4_Click();
    // 0: "Start" (empties the readings list), 1: "Stop".
    void cmdStartTimer_Click(int index);
    void TimerFreq_Timer();

private:
    bool useCounter();

    GpibSession& s_;
};

}  // namespace kvb::bench
