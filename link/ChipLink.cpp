#include "link/ChipLink.h"

#include "board/BoardReports.h"

#include "core/Hex.h"
#include "link/AnswerFrames.h"

#include <algorithm>

namespace kvb::link {

using board::ByteGrid;

ChipLink::ChipLink(board::HidTransport& transport, board::ChipPipe& pipe, board::ByteGrid& grid,
                   Services& services, LinkHost& host)
    : log(services, host, partName1_, options_), transport_(transport), pipe_(pipe), grid_(grid),
      services_(services), host_(host)
{
}

void ChipLink::resetFaultLatch()
{
    for (auto& type : latchedFaults)
        type.fill(0);
    image.forgetReportedFaults();
}

void ChipLink::TimerDelay(int milliseconds)
{
    transport_.Delay(milliseconds / 1000.0);
}

std::span<const uint8_t> ChipLink::answerBytes() const
{
    const int count = std::clamp(RxLength - 1, 0, kMaxRxLength - 1);
    return board::PipeChipBytes(transport_.ReportBuffer()).first(static_cast<size_t>(count));
}

ChipLink::Transfer ChipLink::sendReceive(ChipMessage& m)
{
    if (refuseNested() || !EvbConnected())
        return Transfer::NotSent;
    ExchangeScope exchange(*this);

    grid_.fillWrite(0, 15, ByteGrid::kEmpty);
    grid_.fillRead(0, 15, ByteGrid::kEmpty);
    grid_.notify();
    services_.pump.yield();

    const int type = TypeIndex(m.DeviceType);
    lamps.set(LampKind::Com, type, kLampGreen);

    const int reg = RegisterIndex(m.cat, m.adr);
    const bool readableReg = definitions.readable(type, reg);
    auto showFrame = [this](const std::vector<uint8_t>& frame) {
        for (size_t i = 0; i < frame.size() && i < ByteGrid::kRows; ++i)
            grid_.writeVal[i] = ByteToHex2(frame[i]);
    };

    if (DaisyChainMode) {
        if (m.allZero()) {
            // The chain's buffered unprompted responses: the select byte alone.
            m.FrameBytes = {0};
            TxFrame = {UprBufferSelectByte(type)};
            pipe_.PipeCommandCode = type == 0 ? board::HidReadUprBuffer1 : board::HidReadUprBuffer2;
        } else {
            pipe_.PipeCommandCode = board::HidSpiPipeDaisyChain;
            EncodeDaisyChainMessage(m);
            TxFrame.assign(1, SelectByte(type, true, m.FrameBytes.size()));
            TxFrame.insert(TxFrame.end(), m.FrameBytes.begin(), m.FrameBytes.end());
            grid_.encodeLength = std::to_string(m.FrameBytes.size() - 1);
            showFrame(m.FrameBytes);
        }
    } else {
        EncodeNonDaisyMessage(m);
        TxFrame.assign(1, SelectByte(type, false, m.FrameBytes.size()));
        TxFrame.insert(TxFrame.end(), m.FrameBytes.begin(), m.FrameBytes.end());
        if (readableReg)
            TxFrame.insert(TxFrame.end(), 2, 0);  // room for the register's answer
        showFrame(m.FrameBytes);
    }
    grid_.numToWrite = std::to_string(TxFrame.size());
    grid_.notify();

    if (m.FrameBytes.size() >= 2)
        log.LogSentBytes(m.FrameBytes, type);

    const board::PipeResult result = pipe_.transfer(TxFrame);
    // A failed transfer left no answer of ours in the report: nothing may be
    // read from it, and it counts as an answer of no bytes. The pipe has
    // told the user; whether an answer was owed is judged below (single
    // device) or by the parser (daisy chain), not by the transfer.
    RxLength = result.ok() ? result.rxLength() : 0;
    const Transfer transfer = result.ok() ? Transfer::Done : Transfer::Failed;
    if (RxLength > kMaxRxLength) {
        RxLength = kMaxRxLength;
        log.LogUnrecognizedResponse();
    }

    if (DaisyChainMode) {
        if (RxLength >= 2)
            log.LogRcvdBytes(answerBytes(), type);
        return transfer;
    }
    const std::optional<int16_t> value = singleDeviceValue(answerBytes());
    if (value)
        log.LogRcvdBytes(answerBytes().subspan(2, 2), type);
    if (readableReg) {
        if (value) {
            m.dat = *value;
        } else {
            m.dat = 0;
            log.LogUnrecognizedResponse();
            lamps.set(LampKind::Com, type, kLampRed);
        }
    }
    return transfer;
}

}  // namespace kvb::link
