#include "board/SfrModel.h"

#include "core/Hex.h"

namespace kvb::board {

namespace {
const std::array<const char*, SfrModel::kRows> kCaptions{
    "80: P0 DATA", "90: P1 DATA", "A0: P2 DATA", "A1: SPI0CFG", "A2: SPI0CKR", "A3: SPI0DAT",
    "A4: P0MDOUT", "A5: P1MDOUT", "A6: P2MDOUT", "D4: P0SKIP",  "F5: P4MDIN",  "D5: P1SKIP",
    "D6: P2SKIP",  "F1: P0MDIN",  "F2: P1MDIN",  "F3: P2MDIN",  "B0: P3 DATA", "C7: P4 DATA",
    "F4: P3MDIN",  "A7: P3MDOUT", "AE: P4MDOUT", "DF: P3SKIP",  "E1: XBAR0",   "E2: XBAR1",
    "E3: XBAR2",   "F8: SPI0CN"};
}  // namespace

SfrModel::SfrModel(HidTransport& transport, PanelSignals& notices)
    : transport_(transport), notices_(notices)
{
    buffer.fill("--");
    for (int i = 0; i < kRows; ++i)
        rows[i].caption = kCaptions[i];
}

std::optional<uint8_t> SfrModel::readAt(uint8_t registerAddress, bool show)
{
    int16_t status = transport_.Query(HidSfr, {registerAddress}, kSubGet);
    lastReadStatus_ = status;
    const Report& answer = transport_.ReportBuffer();
    std::optional<uint8_t> value;
    if (AnswerArrived(status))
        value = answer[3];
    // A request that could not be written got no answer at all: the labels
    // keep what they showed.
    if (!show || status == StatusWriteFailed)
        return value;
    // No answer: nothing of it to show.
    buffer.fill("--");
    if (value)
        for (int k = 0; k < 4; ++k)
            buffer[k] = ByteToHex2(answer[k]);
    notices_.notify();
    return value;
}

std::optional<uint8_t> SfrModel::readSfr()
{
    auto registerAddress = HexByteField(transport_.services().prompter, address, "SFR Address");
    if (!registerAddress)
        return std::nullopt;
    return readAt(*registerAddress, true);
}

bool SfrModel::writeSfr()
{
    Prompter& prompter = transport_.services().prompter;
    auto registerAddress = HexByteField(prompter, address, "SFR Address");
    if (!registerAddress)
        return false;
    auto value = HexByteField(prompter, writeData, "SFR Data");
    if (!value)
        return false;
    return SendUnchecked(transport_, HidSfr, kSubSet, {*registerAddress, *value});
}

void SfrModel::readListed(int row, bool copyToWritten)
{
    SfrRow& r = rows[row];
    EventPump& pump = transport_.services().pump;
    address = r.caption.substr(0, 2);
    notices_.notify();
    pump.yield();
    auto value = readAt(static_cast<uint8_t>(HexStrToInt(address)), true);
    pump.yield();
    // An answer's value is taken whatever its flag byte; the lamp tells.
    r.read = value ? buffer[3] : "--";
    if (copyToWritten && value)
        r.written = r.read;
    r.lamp = value && buffer[2] == "00" ? nextGood(r.lamp) : Lamp::LightRed;
    notices_.notify();
}

void SfrModel::readAll()
{
    BusyScope busy(notices_);
    for (int i = 0; i < kRows && !transport_.services().programEnd.ending(); ++i)
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
    return readAt(registerAddress, false);
}

void SfrModel::writeRegister(uint8_t registerAddress, uint8_t value)
{
    address = ByteToHex2(registerAddress);
    SendUnchecked(transport_, HidSfr, kSubSet, {registerAddress, value});
    notices_.notify();
}

}  // namespace kvb::board
