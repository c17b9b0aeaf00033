// Bringing the link up: the board search, the SPI and port set-up for the
// chosen link mode, and the identification of the devices.

#include "link/ChipLink.h"

namespace kvb::link {

bool ChipLink::InitializeDriver()
{
    transport_.InitUsbHidConnection();
    services_.pump.yield();
    AddToEvbLog("Initializing driver for " + PartName1 + "EVB...");
    if (!EvbConnected()) {
        AddToEvbLog("Error: " + PartName1 + "EVB not detected. Please check connections.");
        return false;
    }
    // A new connection: no value of the image has come from its chips yet.
    image.forgetKnown();
    log.clearLog();
    // Left open: the next message of the log continues this line.
    AddToEvbLog("Success: " + PartName1 + "EVB detected, ", "");
    return true;
}

bool ChipLink::SetGpioSpiSetupNonDaisy()
{
    GpioSpiSetup = {0xFF, 0xFF, 0x80, 0x03, 0x00, 0x00, SpiClockCode, SpiTimeoutHigh, SpiTimeoutLow};
    return UpdateReadGpioSpi();
}

bool ChipLink::SetGpioSpiSetupDaisy()
{
    GpioSpiSetup = {0xFF, 0xFF, 0x80, 0x03, 0x80, 0x00, SpiClockCode, SpiTimeoutHigh, SpiTimeoutLow};
    return UpdateReadGpioSpi();
}

bool ChipLink::UpdateReadGpioSpi()
{
    if (!EvbConnected())
        return false;
    TxFrame.assign(GpioSpiSetup.begin(), GpioSpiSetup.end());

    // The set-up goes out unanswered and whether it was written is not
    // looked at: its read-back proves it arrived.
    board::leaveUnchecked(transport_.writeReport(board::GpioSpiSetupRequest(GpioSpiSetup)));

    const board::Status status = transport_.Query(board::HidGpioSpiSetup, {}, board::kSubGet);
    if (status == board::Status::WriteFailed || status == board::Status::None) {
        AddToEvbLog("UpdateReadGpioSpi: ReadPipe response size incorrect. Check firmware version!");
        return false;
    }
    if (status == board::Status::TimedOut)
        return false;  // no answer: the record keeps what the board last said
    GpioSpiSetup = board::ReadGpioSpiSetup(transport_.lastReport());
    GpioSpiSetup[0] = GpioSetupByte;
    return true;
}

bool ChipLink::InitializeEvb()
{
    if (!EvbConnected())
        return false;
    // The set-up and identification are one exchange: no poll tick between.
    ExchangeScope exchange(*this);
    // A set-up that is not read back keeps the record as sent; the link
    // mode and the identification go on all the same (unless Cancel in the
    // connection box is ending the program).
    SetGpioSpiSetupNonDaisy();
    if (services_.programEnd.ending())
        return false;
    deviceCount1_ = 0;
    deviceCount2_ = 0;
    GpioSpiSetup[0] = GpioSetupByte;
    switch (GpioSetupByte & 0x18) {
    case 0x00: {
        AddToEvbLog("InitializeEvb: non-daisy chain mode");
        daisyChainMode_ = false;
        bool found = IdentifyNonDaisyChain(0);
        if (SecondTypePresent)
            found = IdentifyNonDaisyChain(1) && found;
        return found;
    }
    case 0x08: {
        AddToEvbLog("InitializeEvb: daisy chain mode has been detected");
        daisyChainMode_ = true;
        SetGpioSpiSetupDaisy();
        if (services_.programEnd.ending())
            return false;
        bool found = IdentifyDaisyChain(0);
        if (SecondTypePresent)
            found = IdentifyDaisyChain(1) && found;
        return found;
    }
    default:
        return false;  // no link mode chosen: nothing to identify
    }
}

void ChipLink::SetFittedParts(bool secondTypePresent, const std::string& partName1,
                              const std::string& partName2)
{
    secondTypePresent_ = secondTypePresent;
    partName1_ = partName1;
    partName2_ = partName2;
}

void ChipLink::TakeChosenLink(bool daisyChain, int16_t count1, int16_t count2)
{
    daisyChainMode_ = daisyChain;
    deviceCount1_ = count1;
    deviceCount2_ = count2;
}

void ChipLink::takeGpioSetupByte(uint8_t setupByte)
{
    GpioSetupByte = setupByte;
    GpioSpiSetup[0] = setupByte;
}

void ChipLink::setSpiTimeout(uint8_t high, uint8_t low)
{
    SpiTimeoutHigh = high;
    SpiTimeoutLow = low;
}

void ChipLink::CloseEvbOnUnload()
{
    transport_.CloseHidHandles();
    services_.pump.yield();
    transport_.PipeOpen = false;
}

}  // namespace kvb::link
