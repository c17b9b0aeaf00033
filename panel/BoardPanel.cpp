#include "panel/BoardPanel.h"

namespace kvb::panel {

std::string FirmwareVersionText(const board::Report& answer, Formatter& format)
{
    const board::FirmwareVersion version = board::ReadFirmwareVersion(answer);
    std::string monthText = format.monthName(static_cast<int>(version.month));
    if (monthText.empty())
        monthText = std::to_string(version.month);
    return "Firmware Version " + std::to_string(version.major) + "." +
           std::to_string(version.minor) + " - " + std::to_string(version.year) + "/" + monthText +
           "/" + std::to_string(version.day);
}

BoardPanel::BoardPanel(board::HidTransport& transport, ByteGrid& grid, board::ChipPipe& pipe)
    : pipeView(pipe, grid),
      sfr(transport, notices),
      ports(transport, sfr, notices),
      spi(transport, grid, pipe, notices),
      i2cAddress(transport, grid, notices),
      i2c(transport, grid, i2cAddress, notices),
      mcuAdc(transport, ports, notices),
      adcChip(transport, ports, notices),
      transport_(transport),
      grid_(grid)
{
    transport_.watchBoardList(*this);
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
    transport_.user().endProgram();
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
    return transport_.SetCommand(board::HidLeds, {bits});
}

bool BoardPanel::readFirmwareVersion()
{
    const board::Status status = transport_.Query(board::HidFirmwareVersion, {}, board::kSubSet);
    if (status == board::Status::WriteFailed)
        return false;  // the query never went out: the version text stays
    firmwareVersion =
        board::AnswerArrived(status)
            ? FirmwareVersionText(transport_.lastReport(), transport_.services().format)
            : "--";
    firmwareVersionCopy = firmwareVersion;
    notices.notify();
    return board::AnswerArrived(status);
}

}  // namespace kvb::panel
