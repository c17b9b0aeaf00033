#include "panel/PortModel.h"

#include "core/Hex.h"

namespace kvb::panel {

namespace {
constexpr std::array<std::array<uint8_t, PortModel::kPorts>, PortModel::kRowCount> kRegisters{{
    {0x80, 0x90, 0xA0, 0xB0, 0xC7},  // data
    {0xA4, 0xA5, 0xA6, 0xA7, 0xAE},  // output mode
    {0xF1, 0xF2, 0xF3, 0xF4, 0xF5},  // input mode
}};

int rowIndex(PortRow row) { return static_cast<int>(row); }
}  // namespace

PortModel::PortModel(board::HidTransport& transport, SfrModel& sfr, PanelSignals& notices)
    : transport_(transport), sfr_(sfr), notices_(notices)
{
    for (auto& row : writeLabels_)
        row.fill("--");
    for (auto& row : readLabels_)
        row.fill("--");
    lamps_.fill(Lamp::Off);
    for (int port = 0; port < kPorts; ++port)
        for (int bit = 0; bit < 8; ++bit)
            dataCaptions[port][bit] = "P" + std::to_string(port) + "." + std::to_string(bit);

    // The pins' starting states.
    auto& oc = boxes_[rowIndex(PortRow::OutputMode)];
    for (int bit : {6, 7})
        oc[0][bit] = true;
    for (int bit : {1, 2, 4, 5, 6, 7})
        oc[1][bit] = true;
    for (int bit : {4, 5, 6, 7})
        oc[2][bit] = true;
    oc[3][2] = true;
    boxes_[rowIndex(PortRow::Data)][1][0] = true;
    boxes_[rowIndex(PortRow::Data)][1][3] = true;
}

uint8_t PortModel::registerAddress(PortRow row, int port)
{
    return kRegisters[rowIndex(row)][port];
}

int PortModel::lampIndex(PortRow row, int port)
{
    switch (row) {
    case PortRow::OutputMode:
        return port;
    case PortRow::Data:
        return port + 5;
    case PortRow::InputMode:
        return port + 10;
    }
    return port;
}

bool PortModel::box(PortRow row, int port, int bit) const
{
    return boxes_[rowIndex(row)][port][bit];
}

void PortModel::setBox(PortRow row, int port, int bit, bool checked)
{
    bool& b = boxes_[rowIndex(row)][port][bit];
    if (b == checked)
        return;
    b = checked;
    rowChanged(row, port);
}

uint8_t PortModel::rowByte(PortRow row, int port) const
{
    unsigned sum = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (boxes_[rowIndex(row)][port][bit])
            sum |= 1u << bit;
    return static_cast<uint8_t>(row == PortRow::InputMode ? 255 - sum : sum);
}

const std::string& PortModel::writeLabel(PortRow row, int port) const
{
    return writeLabels_[rowIndex(row)][port];
}

const std::string& PortModel::readLabel(PortRow row, int port) const
{
    return readLabels_[rowIndex(row)][port];
}

void PortModel::rowChanged(PortRow row, int port)
{
    writeLabels_[rowIndex(row)][port] = ByteToHex2(rowByte(row, port));
    notices_.notify();
    if (autoWriteRead) {
        write(row, port);
        read(row, port);
    }
}

void PortModel::write(PortRow row, int port)
{
    // A label still showing "--" was never computed since the boxes last
    // changed; the register gets what the boxes show, not 0.
    std::string& label = writeLabels_[rowIndex(row)][port];
    if (!ParseHex(label, 0xFF))
        label = ByteToHex2(rowByte(row, port));
    sfr_.writeRegister(registerAddress(row, port), static_cast<uint8_t>(HexStrToInt(label)));
}

bool PortModel::read(PortRow row, int port)
{
    auto value = sfr_.readRegister(registerAddress(row, port));
    std::string& label = readLabels_[rowIndex(row)][port];
    Lamp& lamp = lamps_[lampIndex(row, port)];
    bool matched = false;
    if (!value && sfr_.lastReadStatus() == board::Status::WriteFailed) {
        // The request never went out: the label keeps the last read-back.
        lamp = Lamp::LightRed;
        notices_.notify();
        return false;
    }
    if (value) {
        label = ByteToHex2(*value);
        matched = label == writeLabels_[rowIndex(row)][port];
    } else {
        label = "--";
    }
    lamp = matched ? nextGood(lamp) : Lamp::LightRed;
    notices_.notify();
    return matched;
}

bool PortModel::ending() const
{
    return transport_.user().programEnding();
}

void PortModel::resetGpio()
{
    BusyScope busy(notices_);
    // Each step may write and read back; once Cancel in a connection box has
    // begun ending the program, the rest is left undone.
    auto step = [this](PortRow row, int bit, auto checked) {
        for (int port = 0; port < kPorts && !ending(); ++port)
            setBox(row, port, bit, checked(port));
    };
    for (int bit = 0; bit < 8 && !ending(); ++bit) {
        step(PortRow::OutputMode, bit, [](int) { return false; });
        step(PortRow::Data, bit, [](int port) { return port == 3; });
        step(PortRow::Data, bit, [](int) { return true; });
        step(PortRow::InputMode, bit, [](int) { return false; });
    }
    transport_.services().pump.yield();
}

void PortModel::writeReadAll()
{
    BusyScope busy(notices_);
    bool remembered = autoWriteRead;
    autoWriteRead = true;
    notices_.notify();
    transport_.services().pump.yield();
    for (PortRow row : {PortRow::OutputMode, PortRow::Data, PortRow::InputMode})
        for (int port = 0; port < kPorts && !ending(); ++port)
            rowChanged(row, port);
    autoWriteRead = remembered;
    notices_.notify();
}

void PortModel::clearAnalog()
{
    BusyScope busy(notices_);
    EventPump& pump = transport_.services().pump;
    for (int bit = 0; bit < 8; ++bit)
        for (int port = 0; port < kPorts && !ending(); ++port)
            setBox(PortRow::InputMode, port, bit, false);
    for (int port = 0; port <= 2 && !ending(); ++port) {
        writeLabels_[rowIndex(PortRow::InputMode)][port] = "FF";
        write(PortRow::InputMode, port);
    }
    pump.yield();
    for (int port = 0; port <= 2 && !ending(); ++port)
        read(PortRow::InputMode, port);
    pump.yield();
}

void PortModel::sampleGp()
{
    BusyScope busy(notices_);
    sfr_.readAll();
    for (int port = 0; port < kPorts && !ending(); ++port) {
        const SfrRow& row = sfr_.rows[SfrModel::kPortDataRows[port]];
        // A lost answer ("--") must not be written back as pin states; one
        // with a flag byte other than 0 still carries the port's value.
        auto value = ParseHex(row.read, 0xFF);
        if (!value)
            continue;
        for (int bit = 0; bit < 8; ++bit)
            setBox(PortRow::Data, port, bit, (*value >> bit) & 1);
    }
    // Every port's data label follows its boxes, a lost port's too (its
    // boxes kept as they were).
    for (int port = 0; port < kPorts && !ending(); ++port)
        rowChanged(PortRow::Data, port);
}

void PortModel::setWeakPullUpDisable(bool disable)
{
    if (weakPullUpDisable == disable)
        return;
    weakPullUpDisable = disable;
    setGpConf();
}

bool PortModel::setGpConf()
{
    uint8_t port1 = rowByte(PortRow::OutputMode, 1);
    uint8_t port2 = rowByte(PortRow::OutputMode, 2) & 0x0F;
    return transport_.SetCommand(board::HidGpioConfig,
                                 {port1, port2, static_cast<uint8_t>(weakPullUpDisable ? 1 : 0)});
}

}  // namespace kvb::panel
