#pragma once
// The board panel's view of the chip exchanges: follows the link's requests
// and the pipe's exchange record, and shows them in the panel's "MCB I/O"
// frame and in the grid's first rows.

#include "board/ChipPipe.h"
#include "board/ChipRequestObserver.h"
#include "panel/ByteGrid.h"

#include <array>
#include <functional>
#include <string>

namespace kvb::panel {

// What the panel's "MCB I/O" frame shows of the last transfer.
struct PipeDisplay {
    // The frame shows report bytes 0..10, and the view writes them into
    // grid rows 0..10 too.
    static constexpr size_t kShownBytes = 11;
    std::array<std::string, kShownBytes> writeRaw;  // report bytes 0..10 as sent
    std::string dwait;                      // polls of the last slow transfer
    std::string reportCountSent;            // transaction number sent
    std::string reportCountReceived;        // transaction number received
    std::string byteCount;                  // answer's count byte
    PipeDisplay() { writeRaw.fill(ByteGrid::kEmpty); }
};

class PipeView : public board::PipeObserver, public board::ChipRequestObserver {
public:
    // Follows `pipe` for its lifetime; the link that is handed the view
    // tells it of its requests.
    PipeView(board::ChipPipe& pipe, ByteGrid& grid);
    ~PipeView() override;
    PipeView(const PipeView&) = delete;
    PipeView& operator=(const PipeView&) = delete;

    PipeDisplay display;
    // The panel window refreshes its boxes; a hook because the window comes
    // and goes while the view lives on.
    std::function<void()> displayChanged;

    void attemptStarted(const board::PipeExchange& exchange) override;
    void requestBuilt(const board::PipeExchange& exchange) override;
    void answerPolled(const board::PipeExchange& exchange) override;
    void exchangeEnded(const board::PipeExchange& exchange) override;

    // The link's request: rows 0..15 cleared as it begins, then the chip
    // frame in the write boxes with the lengths beside them. The window is
    // told only that the grid changed.
    void requestStarting() override;
    void requestEncoded(const board::ChipRequest& request) override;

private:
    void refresh();

    board::ChipPipe& pipe_;
    ByteGrid& grid_;
};

}  // namespace kvb::panel
