#pragma once
// The bench-instrument panel's logic: the shared GPIB session and the
// sections (counter, supply, voltmeters, source-measure units, switch unit),
// the instrument file that fills the grid and the panels' addresses and
// names, and the panel's load. The window "IEEE Test Station Instruments"
// binds its controls to this object.

#include "bench/CounterSection.h"
#include "bench/GpibSession.h"
#include "bench/SmuSection.h"
#include "bench/SupplySection.h"
#include "bench/SwitchSection.h"
#include "bench/VoltmeterSection.h"

#include <array>
#include <istream>
#include <string>
#include <vector>

namespace kvb::bench {

inline constexpr int kGridRows = 30;
inline constexpr int kGridColumns = 4;
inline constexpr int kInstrumentRecords = 26;
using GridRow = std::array<std::string, kGridColumns>;

class InstrumentPanel {
public:
    InstrumentPanel(Services& services, GpibDriver& driver);

    // Uses another driver from now on (the simulated bus).
    void useDriver(GpibDriver& driver) { session.gpib.setDriver(driver); }

    GpibSession session;
    CounterSection counter{session};
    SupplySection supply{session};
    VoltmeterSection voltmeters{session};
    SmuSection smus;
    SwitchSection switchUnit{session};

    // The instrument file's records as the grid shows them.
    std::vector<GridRow> Grid1 = std::vector<GridRow>(kGridRows);
    std::string lblInstConfigFIle;
    // Where the file dialog starts.
    std::string programFolder = ".";
    // Whether the load initialises the auxiliary supply; the program keeps it
    // false.
    bool autoInitAuxSupply = false;

    void Form_Load();
    void cmdloadInstConfig_Click();
    void Read_Instrument_FIle(const std::string& path);
    // Reads records from `in` into the grid and, once the "EOF" record is
    // reached, applies them to the panels. False when the input ended first.
    bool readInstruments(std::istream& in);

    // Switches the source-measure units to standby and the supply's output
    // off, for the main window's close when instruments are in use.
    void closeInstruments();

private:
    void applyInstrumentRows();
};

}  // namespace kvb::bench
