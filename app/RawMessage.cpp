#include "app/RawMessage.h"

#include "core/AppInfo.h"
#include "core/Hex.h"
#include "core/UnexpectedError.h"
#include "link/LinkText.h"

#include <stdexcept>

namespace kvb {

namespace {

// A field read as an unsigned hexadecimal number; an empty field reads 0.
unsigned hexField(const std::string& text)
{
    if (text.empty())
        return 0;
    const std::optional<unsigned> value = ParseHex(text, 0xFFFFFFFFu);
    if (!value)
        throw std::invalid_argument("Type mismatch");
    return *value;
}

uint8_t byteField(const std::string& text)
{
    const unsigned v = hexField(text);
    if (v > 0xFF)
        throw std::overflow_error("Overflow");
    return static_cast<uint8_t>(v);
}

}  // namespace

int RawFieldWidth(int field)
{
    return field == RawAddress ? 2 : field == RawData ? 4 : 1;
}

std::string RawFieldZero(int field)
{
    return std::string(static_cast<size_t>(RawFieldWidth(field)), '0');
}

RawFieldTexts RawFieldZeros()
{
    RawFieldTexts zeros;
    for (int i = 0; i < kRawFields; ++i)
        zeros[i] = RawFieldZero(i);
    return zeros;
}

bool RawFieldKeyPress(HexEdit& edit, int field, int key)
{
    if (key == kKeyEscape) {
        // Escape empties the field and goes on as the digit 0 typed at its
        // start, which leaves the zero text.
        edit = HexEdit{RawFieldZero(field), 0, 0, 0};
        key = '0';
    }
    return HexDigitKey(edit, key, RawFieldWidth(field));
}

link::ChipMessage BuildRawMessage(const RawFieldTexts& fields, bool daisyChain, int deviceType)
{
    link::ChipMessage m;
    m.DeviceType = static_cast<int16_t>(deviceType);
    if (daisyChain)
        m.dev = byteField(fields[RawDevice]);
    m.cat = byteField(fields[RawDataType]);
    m.adr = byteField(fields[RawAddress]);
    const unsigned data = hexField(fields[RawData]);
    if (data > 0x7FFF)
        throw std::overflow_error("Overflow");
    m.dat = static_cast<int16_t>(data);
    if (daisyChain)
        link::EncodeDaisyChainMessage(m);
    else
        link::EncodeNonDaisyMessage(m);
    return m;
}

RawFrameDisplay DisplayRawFrame(const link::ChipMessage& message, bool daisyChain)
{
    RawFrameDisplay shown;
    for (uint8_t b : message.FrameBytes)
        shown.bytes.push_back(link::HexPadded(b, 2));
    if (daisyChain && !message.FrameBytes.empty())
        shown.crc4 = link::HexPadded(message.FrameBytes.back() & 0x0F, 1);
    return shown;
}

void RawMessageSender::cbSendRawMsg_Click(const RawFieldTexts& fields, int deviceType)
{
    RunHandler(services_.prompter, "cbSendRawMsg_Click", [&] {
        if (!link_.EvbConnected()) {
            services_.prompter.tell(link_.PartName1 + " EVB not connected!", kProgramTitle);
            link_.log.AddToEvbLog(
                "cbSendRawMsg_Click: EVB not detected. Please check connections.");
            return;
        }
        const int type = link::TypeIndex(deviceType);
        if (link_.deviceCount(type) == 0) {
            const std::string& name = link_.partName(type);
            services_.prompter.tell(name + " not present!", kProgramTitle);
            link_.log.AddToEvbLog("cbSendRawMsg_Click: " + name +
                                  " not present. Please check connections.");
            link_.ResumeUprPolling();
            return;
        }
        link::ChipMessage m = BuildRawMessage(fields, link_.DaisyChainMode, type);
        link::PollingPause pause(link_);
        if (m.cat >= link::kWriteFlag)
            link_.WriteSingleReg(m);
        else
            link_.ReadSingleReg(m);
    });
}

}  // namespace kvb
