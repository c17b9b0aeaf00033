#include "board/PipeView.h"

#include "core/Hex.h"

#include <algorithm>
#include <span>

namespace kvb::board {

namespace {
constexpr size_t kShownBytes = PipeDisplay::kShownBytes;
constexpr int kLastShown = static_cast<int>(kShownBytes) - 1;
}  // namespace

PipeView::PipeView(ChipPipe& pipe, ByteGrid& grid) : pipe_(pipe), grid_(grid)
{
    pipe_.setObserver(this);
}

PipeView::~PipeView()
{
    pipe_.setObserver(nullptr);
}

void PipeView::attemptStarted(const PipeExchange&)
{
    display.writeRaw.fill(ByteGrid::kEmpty);
    grid_.fillWrite(0, kLastShown, ByteGrid::kEmpty);
    grid_.fillRead(0, kLastShown, ByteGrid::kEmpty);
    refresh();
}

void PipeView::requestBuilt(const PipeExchange& exchange)
{
    ReportBytesAsHex(exchange.request, 0, display.writeRaw);
    std::copy(display.writeRaw.begin(), display.writeRaw.end(), grid_.writeVal.begin());
    refresh();
}

void PipeView::answerPolled(const PipeExchange& exchange)
{
    display.dwait = SignedText(exchange.polls);
    display.byteCount = SignedText(PipeCount(exchange.answer));
    display.reportCountReceived = SignedText(PipeTransaction(exchange.answer));
}

void PipeView::exchangeEnded(const PipeExchange& exchange)
{
    display.reportCountSent = SignedText(exchange.transferId);
    display.reportCountReceived = SignedText(PipeTransaction(exchange.answer));
    ReportBytesAsHex(exchange.answer, 0, std::span(grid_.readVal).first(kShownBytes));
    refresh();
}

void PipeView::refresh()
{
    grid_.notify();
    if (displayChanged)
        displayChanged();
}

}  // namespace kvb::board
