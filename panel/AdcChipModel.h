#pragma once
// The board panel's frames for the 24-bit ADC chip on the evaluation board:
// the port-1 pins that drive it, a register write with its read-back, and a
// conversion read shown as a signed count and in millivolts.

#include "board/HidTransport.h"
#include "panel/PanelIo.h"
#include "panel/PortModel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kvb::panel {

// Millivolts of a result: 2.5 V full scale over 8388607 counts, gain 1.
double AdcChipMillivolts(int32_t value);
// "####0.00": two decimals, at least one integer digit.
std::string FormatMillivolts(double millivolts);

class AdcChipModel {
public:
    AdcChipModel(board::HidTransport& transport, PortModel& ports, PanelSignals& notices);

    std::array<std::string, 2> reg{"84", "02"};  // txtADCReg
    std::string delay = "01";                    // txtADCDelay(0)
    std::array<std::string, 4> received;         // lblAdRcv: answer bytes 1..4
    std::string registerRead = "--";             // lblADRegRead
    std::string decimal;                         // lblADDecimal(1)
    std::string millivolts;                      // lbl_ADReal

    // "Initialize AD IO": P1.0..P1.4 to the chip's idle state, written and
    // read back; P1.5..P1.7 stay as they are.
    void initAdcIo();
    // "Write / Read ADC Registers".
    bool writeReadRegister();
    // "Read AD", whatever the answer's error byte. A missing answer shows
    // "--"; a request that could not be written leaves the labels.
    bool readConversion();

private:
    bool requestBytes(std::array<uint8_t, 3>& bytes);
    // The command with the checked boxes; its status, or nothing when a box
    // was refused.
    std::optional<board::Status> exchange(uint8_t subCommand);

    board::HidTransport& transport_;
    PortModel& ports_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
