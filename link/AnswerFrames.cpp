#include "link/AnswerFrames.h"

#include "link/ReadAllTable.h"

namespace kvb::link {

namespace {

// The size of the next frame: 4 bytes, and after a read-all command 3 bytes
// for the rest of the block once the requested device's frame with the
// block's last address came. An answer from the other device type than the
// one asked carries no block.
class FrameSize {
public:
    FrameSize(int answerType, const ChipMessage& request, bool readAll)
        : request_(request), readAll_(readAll && answerType == TypeIndex(request.DeviceType))
    {
        if (!readAll_)
            return;
        // A read-all command the table does not know counts no frames and
        // waits for address 0.
        if (auto block = FindReadAllBlock(request.DeviceType, request.cat, request.adr)) {
            remaining_ = block->frames;
            lastAddress_ = block->lastAddress;
        }
    }

    size_t bytes() const { return bytes_; }

    void after(const AnswerFrame& frame)
    {
        if (!readAll_)
            return;
        if (bytes_ == 4) {
            if (opensBlock(frame)) {
                --remaining_;
                bytes_ = 3;
            }
        } else if (--remaining_ == 0) {
            bytes_ = 4;
            readAll_ = false;
        }
    }

private:
    bool opensBlock(const AnswerFrame& frame) const
    {
        return frame.dev == request_.dev && frame.cat == request_.cat && frame.adr == lastAddress_;
    }

    const ChipMessage& request_;
    bool readAll_;
    int remaining_ = 0;
    int lastAddress_ = 0;
    size_t bytes_ = 4;
};

bool decode(AnswerFrame& frame, std::span<const uint8_t> bytes)
{
    frame.crcOk = DecodeDaisyChainResponse(frame.dev, frame.cat, frame.adr, frame.dat, bytes);
    return frame.crcOk;
}

}  // namespace

std::vector<AnswerFrame> parseDaisyAnswer(std::span<const uint8_t> answer, int answerType,
                                          const ChipMessage& request, bool readAll)
{
    std::vector<AnswerFrame> frames;
    FrameSize size(answerType, request, readAll);
    AnswerFrame frame;
    for (size_t p = 0; p + size.bytes() <= answer.size();) {
        const bool crcOk = decode(frame, answer.subspan(p, size.bytes()));
        frames.push_back(frame);
        if (!crcOk)
            break;
        p += size.bytes();
        size.after(frame);
    }
    return frames;
}

std::optional<AnswerFrame> firstDaisyFrame(std::span<const uint8_t> answer)
{
    AnswerFrame frame;
    if (answer.size() < 4 || !decode(frame, answer.first(4)))
        return std::nullopt;
    return frame;
}

std::optional<int16_t> singleDeviceValue(std::span<const uint8_t> answer)
{
    if (answer.size() < 4)
        return std::nullopt;
    return static_cast<int16_t>((answer[2] & 0x3F) << 8 | answer[3]);
}

}  // namespace kvb::link
