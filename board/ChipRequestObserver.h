#pragma once
// What the chip link tells of each request before the pipe takes it. The
// board panel's grid follows it; it is declared here, below the link, so
// that the panel can follow the link's requests without seeing the link.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kvb::board {

// One request as the link encoded it.
struct ChipRequest {
    // The chip frame without its select byte; empty when the request shows
    // no frame (the chain's buffer read).
    std::span<const uint8_t> frame;
    // The frame length the daisy chain sees; none off the chain.
    std::optional<size_t> encodeLength;
    // The length of what goes to the pipe: select byte, frame, answer room.
    size_t sentLength = 0;
};

// Follows the link's requests without taking part in them.
class ChipRequestObserver {
public:
    virtual ~ChipRequestObserver() = default;
    // An exchange begins; nothing is encoded yet.
    virtual void requestStarting() = 0;
    // The request is encoded and goes to the pipe next.
    virtual void requestEncoded(const ChipRequest& request) = 0;
};

}  // namespace kvb::board
