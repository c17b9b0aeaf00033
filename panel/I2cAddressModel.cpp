#include "panel/I2cAddressModel.h"

#include "core/Hex.h"

namespace kvb::panel {

I2cAddressModel::I2cAddressModel(board::HidTransport& transport, ByteGrid& grid,
                                 PanelSignals& notices)
    : transport_(transport), grid_(grid), notices_(notices)
{
}

void I2cAddressModel::setOption(bool& option, bool value)
{
    if (option == value)
        return;
    option = value;
    // A failed write has shown the connection box; nothing else follows.
    setI2Coptions(false);
}

bool I2cAddressModel::setI2Coptions(bool toggleScl)
{
    uint8_t options = static_cast<uint8_t>((stoppedWrite ? 2 : 0) + (repeatedStart ? 1 : 0));
    return transport_.SetCommand(board::HidI2cOptions,
                                 {options, static_cast<uint8_t>(extendHold ? 1 : 0),
                                  static_cast<uint8_t>(toggleScl ? 1 : 0)});
}

void I2cAddressModel::showAddress(uint8_t address)
{
    addressText = ByteToHex2(address);
    I2cSlaveAddress = address;
    for (int i = 0; i < 7; ++i)
        addressBits[i] = (address >> (i + 1)) & 1;
    notices_.notify();
}

void I2cAddressModel::applyAddressText(const std::string& text)
{
    unsigned value = ParseHex(text, 0xFFFF).value_or(0);
    showAddress(static_cast<uint8_t>(value & 0xFE));
}

void I2cAddressModel::addressTextChanged(const std::string& text)
{
    transport_.Delay(kTypingWaitSeconds);
    applyAddressText(text);
}

void I2cAddressModel::setAddressBit(int index, bool checked)
{
    if (index < 0 || index >= 7 || addressBits[index] == checked)
        return;
    addressBits[index] = checked;
    unsigned address = 0;
    for (int i = 0; i < 7; ++i)
        if (addressBits[i])
            address |= 1u << (i + 1);
    // Written into the address box, whose handler takes it after its wait.
    showAddress(static_cast<uint8_t>(address));
    addressTextChanged(addressText);
}

void I2cAddressModel::showDefaultAddress()
{
    applyAddressText(ByteToHex2(I2cDefaultAddress));
}

void I2cAddressModel::toggleScl()
{
    transport_.FlushHidInput();
    if (!setI2Coptions(true))
        return;
    if (transport_.awaitAnswer() == board::Status::TimedOut)
        return;  // no answer: nothing to judge SDA by
    if (board::SdaError(transport_.lastReport()))
        transport_.user().sdaError();
}

int I2cAddressModel::scan()
{
    board::BoardUser& user = transport_.user();
    uint8_t reg = 0;
    size_t addressLength = 0;
    if (grid_.random) {
        auto start = HexByteField(user, grid_.startRegRd, "Starting Reg Read");
        if (!start)
            return 0;
        reg = *start;
        addressLength = 1;
    }

    BusyScope busy(notices_);
    transport_.FlushHidInput();
    int probes = 0;
    for (unsigned a = 0; a <= 0xFE; a += 2) {
        const uint8_t address = static_cast<uint8_t>(a);
        uint8_t data[1] = {0};
        const uint8_t regs[1] = {reg};
        const board::Status status = transport_.I2cReadWithRetry(
            address, 1, data, std::span<const uint8_t>(regs, addressLength), true);
        ++probes;
        if (user.programEnding())
            return probes;
        transport_.Delay(kProbeWaitSeconds);
        showAddress(address);
        grid_.slaveAddress = addressText;
        grid_.notify();
        if (status != board::Status::Refused)
            return probes;  // acknowledged: this address stays selected
    }

    Answer answer = user.askI2cAddressNotFound();
    transport_.UsbCheckAnswer = static_cast<int>(answer);
    if (answer == Answer::Yes)
        user.endProgram();  // unloading the panel ends the program
    return probes;
}

}  // namespace kvb::panel
