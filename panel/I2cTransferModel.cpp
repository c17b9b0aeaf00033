#include "panel/I2cTransferModel.h"

#include "core/Hex.h"
#include "core/KeyFilters.h"
#include "panel/RegistersFile.h"

#include <random>

namespace kvb::panel {

I2cTransferModel::I2cTransferModel(board::HidTransport& transport, ByteGrid& grid,
                                   I2cAddressModel& address, PanelSignals& notices)
    : transport_(transport), grid_(grid), address_(address), notices_(notices)
{
}

int I2cTransferModel::clampCount(std::string& box)
{
    int count = ClampCountText(box, 1, kMaxCount);
    box = std::to_string(count);
    return count;
}

std::optional<RegisterAddress> I2cTransferModel::registerFor(const std::string& box,
                                                             const std::string& name)
{
    if (!grid_.random)
        return RegisterAddress{};
    auto reg = HexByteField(transport_.user(), box, name);
    if (!reg)
        return std::nullopt;
    return RegisterAddress{1, *reg};
}

void I2cTransferModel::showSlave()
{
    grid_.slaveAddress = ByteToHex2(address_.I2cSlaveAddress);
    grid_.notify();
}

void I2cTransferModel::showRead(uint8_t reg, const std::vector<uint8_t>& data, bool good)
{
    // Rows past 3F do not exist: those bytes are not shown.
    if (reg >= ByteGrid::kRows)
        return;
    int last = std::min<int>(ByteGrid::kRows - 1, reg + static_cast<int>(data.size()) - 1);
    for (int row = reg; row <= last; ++row)
        grid_.readVal[row] = good ? ByteToHex2(data[row - reg]) : "--";
    grid_.notify();
}

void I2cTransferModel::simpleRead()
{
    showSlave();
    // A waiting answer of an earlier transfer would pass for this one's data.
    transport_.FlushHidInput();
    auto request = prepareRead();
    if (!request)
        return;
    const board::Status status = transport_.I2cRead(
        address_.I2cSlaveAddress, request->count(), request->data,
        request->where.bytes());
    transport_.services().pump.yield();
    // A transfer that failed has no data: its rows say so instead of 00.
    showRead(request->where.reg, request->data, status == board::Status::Done);
}

std::optional<I2cTransferModel::TransferRequest> I2cTransferModel::prepareRead()
{
    TransferRequest request;
    request.data.assign(static_cast<size_t>(clampCount(grid_.numToRead)), 0);
    auto where = registerFor(grid_.startRegRd, "Starting Reg Read");
    if (!where)
        return std::nullopt;
    request.where = *where;
    return request;
}

std::optional<I2cTransferModel::TransferRequest> I2cTransferModel::prepareWrite()
{
    TransferRequest request;
    auto data = TransferWriteBytes(transport_.user(), grid_, clampCount(grid_.numToWrite));
    if (!data)
        return std::nullopt;
    request.data = std::move(*data);
    auto where = registerFor(grid_.startRegWr, "Starting Reg Write");
    if (!where)
        return std::nullopt;
    request.where = *where;
    return request;
}

void I2cTransferModel::simpleWrite()
{
    showSlave();
    transport_.FlushHidInput();
    auto request = prepareWrite();
    if (!request)
        return;
    // One attempt and no message: nothing on the page shows how it went.
    board::leaveUnchecked(
        transport_.I2cWrite(address_.I2cSlaveAddress, request->count(), request->data,
                            request->where.bytes()));
    transport_.services().pump.yield();
}

void I2cTransferModel::blockRead()
{
    showSlave();
    transport_.services().pump.yield();
    transport_.FlushHidInput();
    auto request = prepareRead();
    if (!request)
        return;
    const board::Status status = transport_.I2cReadWithRetry(
        address_.I2cSlaveAddress, request->count(), request->data,
        request->where.bytes(), false);
    if (status != board::Status::Done)
        return;  // refused or lost: the grid keeps what it showed
    showRead(request->where.reg, request->data, true);
}

void I2cTransferModel::blockWrite()
{
    showSlave();
    transport_.services().pump.yield();
    transport_.FlushHidInput();
    auto request = prepareWrite();
    if (!request)
        return;
    // The retry wrapper has told the user of a failure; the page shows
    // nothing of a write.
    board::leaveUnchecked(transport_.I2cWriteWithRetry(
        address_.I2cSlaveAddress, request->count(), request->data,
        request->where.bytes(), false));
}

void I2cTransferModel::fillWriteBoxes()
{
    const int count = clampCount(grid_.numToWrite);
    static const char* patterns[] = {"", "FF", "00", "AA", "55"};
    switch (fillOption) {
    case 0:
        if (auto data = LoadRegistersFile(transport_.user(), count, grid_.registersFile))
            for (int i = 0; i < count; ++i)
                grid_.writeVal[i] = ByteToHex2((*data)[i]);
        break;
    case 1:
    case 2:
    case 3:
    case 4:
        grid_.fillWrite(0, count - 1, patterns[fillOption]);
        break;
    case 5: {
        // Seeded anew from the clock at each fill.
        auto seed = transport_.services().clock.wallNow().time_since_epoch().count();
        std::mt19937 generator(static_cast<std::mt19937::result_type>(seed));
        std::uniform_int_distribution<int> byte(0, 255);
        for (int i = 0; i < count; ++i)
            grid_.writeVal[i] = ByteToHex2(static_cast<uint8_t>(byte(generator)));
        break;
    }
    default:
        return;
    }
    grid_.notify();
}

void I2cTransferModel::clearReadBoxes()
{
    grid_.fillRead(0, kClearedReadRows - 1, "");
    grid_.notify();
}

bool I2cTransferModel::ReadIndividual()
{
    transport_.FlushHidInput();
    auto reg = HexByteField(transport_.user(), registerText, "Register");
    if (!reg)
        return false;
    registerText = ByteToHex2(*reg);
    RegisterAddress where = grid_.random ? RegisterAddress{1, *reg} : RegisterAddress{};
    uint8_t data[1] = {0};
    const board::Status status =
        transport_.I2cReadWithRetry(address_.I2cSlaveAddress, 1, data,
                                    where.bytes(), false);
    if (status == board::Status::Done)
        readIndividual = ByteToHex2(data[0]);
    notices_.notify();
    return status == board::Status::Done;
}

void I2cTransferModel::writeToggle(int index)
{
    if (index < 0 || index > 1)
        return;
    board::BoardUser& user = transport_.user();
    auto value0 = HexByteField(user, writeIndividual[0], "Toggle value 1");
    auto value1 = value0 ? HexByteField(user, writeIndividual[1], "Toggle value 2") : std::nullopt;
    if (!value1 || !ReadIndividual())
        return;
    uint8_t reg = static_cast<uint8_t>(HexStrToInt(registerText));
    RegisterAddress where = grid_.random ? RegisterAddress{1, reg} : RegisterAddress{};
    const std::span<const uint8_t> regs = where.bytes();

    uint8_t current = static_cast<uint8_t>(HexStrToInt(readIndividual));
    const uint8_t values[2] = {*value0, *value1};
    uint8_t chosen = current == values[index] ? values[1 - index] : values[index];
    const uint8_t out[1] = {chosen};
    // The read-back that follows shows what the register holds.
    board::leaveUnchecked(
        transport_.I2cWriteWithRetry(address_.I2cSlaveAddress, 1, out, regs, false));
    uint8_t back[1] = {current};
    if (transport_.I2cRead(address_.I2cSlaveAddress, 1, back, regs) == board::Status::Done)
        current = back[0];

    writeIndividual[index] = ByteToHex2(values[index]);
    readIndividual = ByteToHex2(current);
    notices_.notify();
}

}  // namespace kvb::panel
