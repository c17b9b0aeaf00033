#include "panel/SfrModel.h"

#include "core/Hex.h"

namespace kvb::panel {

namespace {
const std::array<const char*, SfrModel::kRows> kCaptions{
    "80: P0 DATA", "90: P1 DATA", "A0: P2 DATA", "A1: SPI0CFG", "A2: SPI0CKR", "A3: SPI0DAT",
    "A4: P0MDOUT", "A5: P1MDOUT", "A6: P2MDOUT", "D4: P0SKIP",  "F5: P4MDIN",  "D5: P1SKIP",
    "D6: P2SKIP",  "F1: P0MDIN",  "F2: P1MDIN",  "F3: P2MDIN",  "B0: P3 DATA", "C7: P4 DATA",
    "F4: P3MDIN",  "A7: P3MDOUT", "AE: P4MDOUT", "DF: P3SKIP",  "E1: XBAR0",   "E2: XBAR1",
    "E3: XBAR2",   "F8: SPI0CN"};
}  // namespace

SfrModel::SfrModel(board::HidTransport& transport, PanelSignals& notices)
    : transport_(transport), notices_(notices)
{
    buffer.fill("--");
    for (int i = 0; i < kRows; ++i)
        rows[i].caption = kCaptions[i];
}

std::optional<board::SfrAnswer> SfrModel::readAt(uint8_t registerAddress, bool show)
{
    const board::Status status = transport_.Query(board::HidSfr, {registerAddress}, board::kSubGet);
    lastReadStatus_ = status;
    const board::Report& answer = transport_.lastReport();
    std::optional<board::SfrAnswer> read;
    if (board::AnswerArrived(status))
        read = board::ReadSfrAnswer(answer);
    // A request that could not be written got no answer at all: the labels
    // keep what they showed.
    if (!show || status == board::Status::WriteFailed)
        return read;
    // No answer: nothing of it to show.
    buffer.fill("--");
    if (read)
        board::ReportBytesAsHex(answer, 0, buffer);
    notices_.notify();
    return read;
}

std::optional<uint8_t> SfrModel::readSfr()
{
    auto registerAddress = HexByteField(transport_.user(), address, "SFR Address");
    if (!registerAddress)
        return std::nullopt;
    if (auto read = readAt(*registerAddress, true))
        return read->value;
    return std::nullopt;
}

bool SfrModel::writeSfr()
{
    board::BoardUser& user = transport_.user();
    auto registerAddress = HexByteField(user, address, "SFR Address");
    if (!registerAddress)
        return false;
    auto value = HexByteField(user, writeData, "SFR Data");
    if (!value)
        return false;
    return SendUnchecked(transport_, board::HidSfr, board::kSubSet, {*registerAddress, *value});
}

void SfrModel::readListed(int row, bool copyToWritten)
{
    SfrRow& r = rows[row];
    EventPump& pump = transport_.services().pump;
    address = r.caption.substr(0, 2);
    notices_.notify();
    pump.yield();
    auto read = readAt(static_cast<uint8_t>(HexStrToInt(address)), true);
    pump.yield();
    // An answer's value is taken whatever its flag byte; the lamp tells.
    r.read = read ? ByteToHex2(read->value) : "--";
    if (copyToWritten)
        r.written = r.read;
    r.lamp = read && read->flag == 0 ? nextGood(r.lamp) : Lamp::LightRed;
    notices_.notify();
}

void SfrModel::readAll()
{
    BusyScope busy(notices_);
    for (int i = 0; i < kRows && !transport_.user().programEnding(); ++i)
        readListed(i, writeEqRead);
}

void SfrModel::readRow(int row)
{
    if (row >= 0 && row < kRows)
        readListed(row, false);
}

std::optional<uint8_t> SfrModel::readRegister(uint8_t registerAddress)
{
    address = ByteToHex2(registerAddress);
    notices_.notify();
    if (auto read = readAt(registerAddress, false))
        return read->value;
    return std::nullopt;
}

void SfrModel::writeRegister(uint8_t registerAddress, uint8_t value)
{
    address = ByteToHex2(registerAddress);
    SendUnchecked(transport_, board::HidSfr, board::kSubSet, {registerAddress, value});
    notices_.notify();
}

}  // namespace kvb::panel
