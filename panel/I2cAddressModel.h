#pragma once
// The board panel's I2C slave address and SMBus options: the address box
// and its seven bit boxes (always an even 8-bit address), the option
// command, the SCL toggle and the bus scan.

#include "board/HidTransport.h"
#include "panel/ByteGrid.h"
#include "panel/PanelIo.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvb::panel {

class I2cAddressModel {
public:
    static constexpr uint8_t kDefaultAddress = 0x50;
    // Half a second after the last key the address box is taken.
    static constexpr double kTypingWaitSeconds = 0.5;
    static constexpr double kProbeWaitSeconds = 0.1;

    I2cAddressModel(board::HidTransport& transport, ByteGrid& grid, PanelSignals& notices);

    uint8_t I2cSlaveAddress = kDefaultAddress;   // 8-bit form, even
    uint8_t I2cDefaultAddress = kDefaultAddress;
    std::string addressText = "00";               // txtI2Caddress
    std::array<bool, 7> addressBits{};            // chkADDRbit(0..6): bits 1..7

    // Options (chkRepeatedStart, chkStoppedWrite, chkExtendHold); a change
    // sends all of them.
    bool repeatedStart = false;
    bool stoppedWrite = false;
    bool extendHold = false;
    void setOption(bool& option, bool value);
    // The set-options command; toggleScl asks the board to toggle SCL.
    // True when it was written.
    bool setI2Coptions(bool toggleScl);

    // The address box's text taken as an address: read as hexadecimal
    // (unreadable text gives 0), made even, written back as two digits and
    // shown in the bit boxes.
    void applyAddressText(const std::string& text);
    // The same after the typing wait (the change handler of the box).
    void addressTextChanged(const std::string& text);
    // A bit box changed: the address is rebuilt from the seven boxes and
    // written into the address box, whose change handler runs (with its
    // wait).
    void setAddressBit(int index, bool checked);
    // Shows the default address (the panel's load).
    void showDefaultAddress();

    // "Toggle SCL": reports "SDA error" when the board says SDA is stuck.
    void toggleScl();
    // "Scan Address": probes the even addresses 00 to FE and stops at the
    // first that answers. Returns the number of probes sent.
    int scan();

private:
    void showAddress(uint8_t address);

    board::HidTransport& transport_;
    ByteGrid& grid_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
