#include "link/ChipLink.h"

#include "board/BoardReports.h"

#include "link/AnswerFrames.h"

#include <algorithm>

namespace kvb::link {

ChipLink::ChipLink(board::HidTransport& transport, board::ChipPipe& pipe,
                   board::ChipRequestObserver& requests, Services& services, LinkHost& host)
    : log(services, host, partName1_, options_), transport_(transport), pipe_(pipe),
      requests_(requests), services_(services), host_(host)
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
    return board::PipeChipBytes(answer_).first(static_cast<size_t>(count));
}

namespace {

// The request of one exchange as the encoder made it: the frame buffer sent
// (select byte, chip frame and any answer room) and the command code it goes
// with, none where the pipe's current mode's code is used.
struct EncodedRequest {
    std::vector<uint8_t> txFrame;
    std::optional<uint8_t> commandCode;
    // The chip frame is shown to the request's observer (not for a buffer
    // read), with the frame length the chain sees (daisy chain only).
    bool showFrame = false;
    std::optional<size_t> encodeLength;
};

// Encodes the message for the link mode; writes nothing outside `m`.
EncodedRequest EncodeRequest(ChipMessage& m, int type, bool daisyChain, bool readableReg)
{
    EncodedRequest request;
    if (daisyChain && m.allZero()) {
        // The chain's buffered unprompted responses: the select byte alone.
        m.FrameBytes = {0};
        request.txFrame = {UprBufferSelectByte(type)};
        request.commandCode = type == 0 ? board::HidReadUprBuffer1 : board::HidReadUprBuffer2;
        return request;
    }
    if (daisyChain) {
        request.commandCode = board::HidSpiPipeDaisyChain;
        EncodeDaisyChainMessage(m);
        request.encodeLength = m.FrameBytes.size() - 1;
    } else {
        EncodeNonDaisyMessage(m);
    }
    request.txFrame.assign(1, SelectByte(type, daisyChain, m.FrameBytes.size()));
    request.txFrame.insert(request.txFrame.end(), m.FrameBytes.begin(), m.FrameBytes.end());
    if (!daisyChain && readableReg)
        request.txFrame.insert(request.txFrame.end(), 2, 0);  // room for the register's answer
    request.showFrame = true;
    return request;
}

// The answer of one exchange as the decoder read it.
struct DecodedAnswer {
    // The answer's length as the board reported it: 0 for a failed transfer,
    // cut to what the report holds.
    int rxLength = 0;
    bool overLong = false;
    std::span<const uint8_t> chipBytes;
    // Single device: the register value the answer holds, if any.
    std::optional<int16_t> value;
};

// A failed transfer left no answer of ours in the report: nothing may be
// read from it, and it counts as an answer of no bytes.
DecodedAnswer DecodeAnswer(const board::PipeResult& result, bool daisyChain)
{
    DecodedAnswer answer;
    answer.rxLength = result.ok() ? result.rxLength() : 0;
    if (answer.rxLength > ChipLink::kMaxRxLength) {
        answer.rxLength = ChipLink::kMaxRxLength;
        answer.overLong = true;
    }
    answer.chipBytes = result.chipBytes();
    if (!daisyChain)
        answer.value = singleDeviceValue(answer.chipBytes);
    return answer;
}

// What the request's observer is shown of what goes out.
board::ChipRequest ShownRequest(const ChipMessage& m, const EncodedRequest& request)
{
    board::ChipRequest shown;
    if (request.showFrame)
        shown.frame = m.FrameBytes;
    shown.encodeLength = request.encodeLength;
    shown.sentLength = request.txFrame.size();
    return shown;
}

// The daisy chain's answer is judged by its parser; here it is only logged.
void ShowDaisyAnswer(LinkLog& log, int type, const DecodedAnswer& answer)
{
    if (answer.rxLength >= 2)
        log.LogRcvdBytes(answer.chipBytes, type);
}

// A single device's answer to a readable register must hold its value: the
// message takes it, or 0 with COM red when it is missing.
void TakeSingleDeviceAnswer(ChipLink& link, ChipMessage& m, int type, bool readableReg,
                            const DecodedAnswer& answer)
{
    if (answer.value)
        link.log.LogRcvdBytes(answer.chipBytes.subspan(2, 2), type);
    if (!readableReg)
        return;
    if (answer.value) {
        m.dat = *answer.value;
    } else {
        m.dat = 0;
        link.log.LogUnrecognizedResponse();
        link.lamps.set(LampKind::Com, type, kLampRed);
    }
}

}  // namespace

ChipLink::Transfer ChipLink::sendReceive(ChipMessage& m)
{
    if (refuseNested() || !EvbConnected())
        return Transfer::NotSent;
    ExchangeScope exchange(*this);

    requests_.requestStarting();
    services_.pump.yield();

    const int type = TypeIndex(m.DeviceType);
    lamps.set(LampKind::Com, type, kLampGreen);

    const bool readableReg = definitions.readable(type, RegisterIndex(m.cat, m.adr));
    const EncodedRequest request = EncodeRequest(m, type, DaisyChainMode, readableReg);
    requests_.requestEncoded(ShownRequest(m, request));
    if (m.FrameBytes.size() >= 2)
        log.LogSentBytes(m.FrameBytes, type);

    TxFrame = request.txFrame;
    const board::PipeResult result = pipe_.transfer(
        {TxFrame, request.commandCode.value_or(pipe_.pipeCommandCode()), pipe_.commandInProgress()});
    // The pipe has told the user of a failed transfer; whether an answer was
    // owed is judged below (single device) or by the parser (daisy chain),
    // not by the transfer.
    const DecodedAnswer answer = DecodeAnswer(result, DaisyChainMode);
    answer_ = result.answer;
    RxLength = answer.rxLength;
    if (answer.overLong)
        log.LogUnrecognizedResponse();
    if (DaisyChainMode)
        ShowDaisyAnswer(log, type, answer);
    else
        TakeSingleDeviceAnswer(*this, m, type, readableReg, answer);
    return result.ok() ? Transfer::Done : Transfer::Failed;
}

}  // namespace kvb::link
