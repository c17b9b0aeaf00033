#include "board/BoardPanel.h"

namespace kvb::board {

std::string FirmwareVersionText(const Report& answer, Formatter& format)
{
    const unsigned year = answer[4] * 256u + answer[5];
    const unsigned month = answer[6];
    std::string monthText = format.monthName(static_cast<int>(month));
    if (monthText.empty())
        monthText = std::to_string(month);
    return "Firmware Version " + std::to_string(answer[2]) + "." + std::to_string(answer[3]) +
           " - " + std::to_string(year) + "/" + monthText + "/" + std::to_string(answer[7]);
}

BoardPanel::BoardPanel(HidTransport& transport, ByteGrid& grid, ChipPipe& pipe)
    : sfr(transport, notices),
      ports(transport, sfr, notices),
      spi(transport, grid, pipe, notices),
      i2cAddress(transport, grid, notices),
      i2c(transport, grid, i2cAddress, notices),
      mcuAdc(transport, ports, notices),
      adcChip(transport, ports, notices),
      transport_(transport),
      grid_(grid)
{
    transport_.onBoardListChanged = [this] { refillInstances(); };
}

bool BoardPanel::load()
{
    if (!transport_.InitUsbHidConnection())
        return false;
    loaded_ = true;
    grid_.resetForPanel();
    i2cAddress.showDefaultAddress();
    grid_.notify();
    notices.notify();
    return true;
}

void BoardPanel::unload()
{
    transport_.services().programEnd.end();
}

void BoardPanel::refillInstances()
{
    instances.clear();
    for (size_t i = 0; i < transport_.boardCount(); ++i)
        instances.push_back(std::to_string(i));
    selectedInstance = -1;
    if (!instances.empty())
        selectInstance(0);
    notices.notify();
}

void BoardPanel::selectInstance(int index)
{
    if (index < 0 || index >= static_cast<int>(instances.size()))
        return;
    selectedInstance = index;
    transport_.selectBoard(static_cast<size_t>(index));
    notices.notify();
}

bool BoardPanel::setLed(int index, bool on)
{
    if (index < 0 || index > 1)
        return false;
    leds[index] = on;
    uint8_t bits = static_cast<uint8_t>((leds[0] ? 1 : 0) + (leds[1] ? 2 : 0));
    return transport_.SetCommand(HidLeds, {bits});
}

bool BoardPanel::readFirmwareVersion()
{
    int16_t status = transport_.Query(HidFirmwareVersion, {}, kSubSet);
    if (status == StatusWriteFailed)
        return false;  // the query never went out: the version text stays
    firmwareVersion =
        AnswerArrived(status) ? FirmwareVersionText(transport_.ReportBuffer(), transport_.services().format) : "--";
    firmwareVersionCopy = firmwareVersion;
    notices.notify();
    return AnswerArrived(status);
}

}  // namespace kvb::board
