#include "app/StartupSequence.h"

namespace kvb {

using panel::PortRow;

const std::array<PinSetting, 24>& StartupPins()
{
    static const std::array<PinSetting, 24> pins{{
        {"P0.0 SCL   ", false, true}, {"P0.1 MISO  ", true, true},  {"P0.2 MOSI  ", false, true},
        {"P0.3 CS0   ", true, true},  {"P0.4 TP4SDA", true, false}, {"P0.5 TP5SCL", true, false},
        {"P0.6 DRRDY0", true, false}, {"P0.7 DRRDY1", true, false}, {"P1.0 CS1   ", true, false},
        {"P1.1 C12/14", true, false}, {"P1.2 LE    ", true, false}, {"P1.3 /G    ", true, false},
        {"P1.4 A     ", true, false}, {"P1.5 B     ", true, false}, {"P1.6 C     ", true, false},
        {"P1.7 D     ", true, false}, {"P2.0 M1CTL ", true, false}, {"P2.1 M2CTL ", true, false},
        {"P2.2 FAULT0", true, false}, {"P2.3 FAULT1", true, false}, {"P2.4 J20.1 ", true, false},
        {"P2.5 J29.2 ", true, false}, {"P2.6 J29.3 ", true, false}, {"P2.7 J29.4 ", true, false},
    }};
    return pins;
}

void StartupSequence::nameBoard()
{
    transport_.BoardDeviceName = "KVB71853 ";
    transport_.BoardTitle = transport_.BoardDeviceName + " Evaluation Board";
}

void StartupSequence::setPins(bool p10PushPull)
{
    panel::PortModel& ports = panel_.ports;
    ports.resetGpio();
    const auto& pins = StartupPins();
    for (int i = 0; i < 24; ++i) {
        const int port = i / 8;
        const int bit = i % 8;
        ports.dataCaptions[port][bit] = pins[i].caption;
        ports.setBox(PortRow::Data, port, bit, pins[i].value);
        const bool pushPull = (i == 8 && p10PushPull) ? true : pins[i].pushPull;
        ports.setBox(PortRow::OutputMode, port, bit, pushPull);
    }
}

void StartupSequence::pause()
{
    transport_.Delay(0.1);
    services_.pump.yield();
}

void StartupSequence::writeAndReadBack(bool pauseBetweenGroups)
{
    panel::PortModel& ports = panel_.ports;
    for (int p = 0; p < 3; ++p)
        ports.writeData(p);
    if (pauseBetweenGroups)
        pause();
    for (int p = 0; p < 3; ++p)
        ports.writeOutputMode(p);
    if (pauseBetweenGroups)
        pause();
    for (int p = 0; p < 3; ++p)
        ports.writeData(p);
    if (pauseBetweenGroups)
        pause();
    for (int p = 0; p < 3; ++p)
        ports.readOutputMode(p);
    if (pauseBetweenGroups)
        pause();
    for (int p = 0; p < 3; ++p)
        ports.readData(p);
}

void StartupSequence::PowerUp()
{
    panel_.i2cAddress.I2cDefaultAddress = 0x50;
    panel_.i2cAddress.I2cSlaveAddress = 0x50;
    nameBoard();
    setPins(false);
    grid_.random = true;
    writeAndReadBack(false);
    panel_.spi.readBack = true;
}

void StartupSequence::BatteryBoardGpio()
{
    nameBoard();
    setPins(true);
    panel_.ports.clearAnalog();
    services_.pump.yield();
    grid_.random = true;
    writeAndReadBack(true);
    panel_.spi.readBack = true;
    pause();
    panel_.ports.clearAnalog();
    services_.pump.yield();
}

}  // namespace kvb
