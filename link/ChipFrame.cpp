#include "link/ChipFrame.h"

namespace kvb::link {

namespace {

void maskFields(ChipMessage& m)
{
    m.cat &= 0x0F;
    m.adr &= 0x3F;
    m.dat = static_cast<int16_t>(m.dat & 0x3FFF);
    if (!m.isWrite())
        m.dat = static_cast<int16_t>(m.dat & 0x3F);  // only 6 data bits travel
}

}  // namespace

bool EncodeDaisyChainMessage(ChipMessage& m)
{
    m.dev &= 0x0F;
    maskFields(m);
    const int d = m.dat;
    const uint8_t head = static_cast<uint8_t>(m.dev << 4 | m.cat);
    if (!m.isWrite()) {
        m.FrameBytes = {head, static_cast<uint8_t>(m.adr << 2 | (d & 0x30) >> 4),
                        static_cast<uint8_t>((d & 0x0F) << 4)};
    } else {
        m.FrameBytes = {head, static_cast<uint8_t>(m.adr << 2 | (d & 0x3000) >> 12),
                        static_cast<uint8_t>((d & 0x0FF0) >> 4),
                        static_cast<uint8_t>((d & 0x0F) << 4)};
    }
    InsertCrc4(m.FrameBytes);
    return true;
}

bool EncodeNonDaisyMessage(ChipMessage& m)
{
    maskFields(m);
    const int d = m.dat;
    const uint8_t head = static_cast<uint8_t>(m.cat << 4 | (m.adr & 0x3C) >> 2);
    const uint8_t low = static_cast<uint8_t>((m.adr & 3) << 6);
    if (!m.isWrite())
        m.FrameBytes = {head, static_cast<uint8_t>(low | d)};
    else
        m.FrameBytes = {head, static_cast<uint8_t>(low | (d & 0x3F00) >> 8),
                        static_cast<uint8_t>(d & 0xFF)};
    return true;
}

bool DecodeDaisyChainResponse(uint8_t& dev, uint8_t& cat, uint8_t& adr, int16_t& dat,
                              std::span<const uint8_t> frame)
{
    std::span<const uint8_t> body = frame;
    if (frame.size() == 4) {
        dev = frame[0] >> 4;
        cat = frame[0] & 0x0F;
        body = frame.subspan(1);
    } else if (frame.size() != 3) {
        return false;
    }
    adr = body[0] >> 2;
    dat = static_cast<int16_t>((body[0] & 3) << 12 | body[1] << 4 | body[2] >> 4);
    return CheckCrc4(frame);
}

uint8_t ComputeCrc4(std::span<const uint8_t> frame)
{
    unsigned reg = 0;
    auto shiftIn = [&reg](unsigned bit) {
        const bool top = reg & 8;
        reg = ((reg << 1) & 0x0F) | bit;
        if (top)
            reg ^= 0x03;
    };
    for (size_t i = 0; i < frame.size(); ++i) {
        const int lowestBit = i + 1 == frame.size() ? 4 : 0;
        for (int b = 7; b >= lowestBit; --b)
            shiftIn((frame[i] >> b) & 1);
    }
    return static_cast<uint8_t>(reg);
}

void InsertCrc4(std::span<uint8_t> frame)
{
    if (frame.empty())
        return;
    frame.back() = static_cast<uint8_t>((frame.back() & 0xF0) | ComputeCrc4(frame));
}

bool CheckCrc4(std::span<const uint8_t> frame)
{
    return !frame.empty() && (frame.back() & 0x0F) == ComputeCrc4(frame);
}

uint8_t SelectByte(int deviceType, bool daisyChain, size_t frameLength)
{
    uint8_t select = deviceType != 0 ? 0x40 : 0x00;
    if (daisyChain && frameLength == 4)
        select |= 0x80;
    return select;
}

uint8_t UprBufferSelectByte(int deviceType)
{
    return deviceType != 0 ? 0x70 : 0x30;
}

}  // namespace kvb::link
