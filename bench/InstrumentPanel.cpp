#include "bench/InstrumentPanel.h"

#include "core/FieldReader.h"

#include <filesystem>
#include <fstream>

namespace kvb::bench {

namespace {

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

InstrumentPanel::InstrumentPanel(Services& services, GpibDriver& driver)
    : session(services, driver), smus(session, services.pump)
{
}

void InstrumentPanel::Form_Load()
{
    smus.fillCommandStrings();
    session.resetSlots();
    if (autoInitAuxSupply) {
        supply.cmdInitAuxPS_Click();
        supply.cmdClearRdgAuxPS_Click();
        supply.cmdSendAuxPSCommand_Click();
    }
}

void InstrumentPanel::cmdloadInstConfig_Click()
{
    std::string path =
        session.services.files.openFile({DialogOwner::InstrumentPanel,
                                         "Select Instruments File to Load",
                                         programFolder + "/",
                                         {"All Files (*.*)", "Instrument Files(*.csv)"},
                                         1});
    if (!path.empty())
        Read_Instrument_FIle(path);
}

void InstrumentPanel::Read_Instrument_FIle(const std::string& path)
{
    lblInstConfigFIle = path;
    // A folder opens as a stream that reads nothing: it is a file that
    // cannot be opened, and the grid keeps its rows.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    readInstruments(in);
}

bool InstrumentPanel::readInstruments(std::istream& in)
{
    Grid1.assign(kGridRows, GridRow{});
    FieldReader reader(in);
    for (int r = 0; r < kInstrumentRecords; ++r) {
        auto first = reader.next();
        if (!first)
            return false;
        if (*first == "EOF")
            break;
        Grid1[r][0] = *first;
        for (int c = 1; c < kGridColumns; ++c) {
            auto field = reader.next();
            if (!field)
                return false;
            Grid1[r][c] = *field;
        }
    }
    applyInstrumentRows();
    return true;
}

void InstrumentPanel::applyInstrumentRows()
{
    // Records 3 to 7 are the units of the five panels, records 11 to 19 the
    // voltmeters.
    for (int i = 0; i < kSmuPanels; ++i) {
        const GridRow& row = Grid1[i + 3];
        smus.panels[i].txtVIAddress = trimmed(row[1]);
        smus.panels[i].FrVIContol = "VI# " + std::to_string(i + 1) + " " + trimmed(row[3]);
    }
    for (int i = 0; i < kVoltmeterPanels; ++i) {
        const GridRow& row = Grid1[i + 11];
        voltmeters.panels[i].txtDVMAddress = trimmed(row[1]);
        voltmeters.panels[i].frDVMSet = "VM# " + std::to_string(i + 1) + " " + trimmed(row[3]);
    }
}

void InstrumentPanel::closeInstruments()
{
    smus.cmdVIsOFf_Click();
    if (session.SupplyDevice[0] != NotOpened)
        supply.cmdClearRdgAuxPS_Click();
}

}  // namespace kvb::bench
