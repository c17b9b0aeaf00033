#pragma once
// The auxiliary power supply section: init (identity), output set-up with
// output on and a voltage reading, output off with three readings, and a
// read of a pending reply.

#include "bench/GpibSession.h"

#include <array>
#include <string>
#include <vector>

namespace kvb::bench {

class SupplySection {
public:
    explicit SupplySection(GpibSession& session) : s_(session) {}

    std::string txtAuxPSAdr = "5";
    std::string txtAuxPSInit = "*IDN?";
    std::array<std::string, 4> txtAuxPSCommand{"APPL P25V, 25.0,  1.0", "OUTP:STAT ON",
                                               "MEAS:VOLT:DC?", "OUTP:STAT OFF"};
    std::vector<std::string> ReadingsListAuxPS;
    std::vector<std::string> ReadingsListAuxPS_2;
    std::string lblLastReadingAuxPS = "-----";

    void cmdInitAuxPS_Click();
    void cmdSendAuxPSCommand_Click();
    // Output off, then three readings. Also run when the program closes with
    // instruments in use.
    void cmdClearRdgAuxPS_Click();
    void cmdAuxPSRdOnly_Click();

private:
    bool useSupply();
    // Writes the voltage query and adds the reply to the readings.
    bool measure();

    GpibSession& s_;
};

}  // namespace kvb::bench
