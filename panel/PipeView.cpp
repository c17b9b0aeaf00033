#include "panel/PipeView.h"

#include "core/Hex.h"

#include <algorithm>
#include <span>
#include <string>

namespace kvb::panel {

namespace {
constexpr size_t kShownBytes = PipeDisplay::kShownBytes;
constexpr int kLastShown = static_cast<int>(kShownBytes) - 1;
// The rows a link request clears before it is encoded.
constexpr int kLastRequestRow = 15;
}  // namespace

PipeView::PipeView(board::ChipPipe& pipe, ByteGrid& grid) : pipe_(pipe), grid_(grid)
{
    pipe_.setObserver(this);
}

PipeView::~PipeView()
{
    pipe_.setObserver(nullptr);
}

void PipeView::attemptStarted(const board::PipeExchange&)
{
    display.writeRaw.fill(ByteGrid::kEmpty);
    grid_.fillWrite(0, kLastShown, ByteGrid::kEmpty);
    grid_.fillRead(0, kLastShown, ByteGrid::kEmpty);
    refresh();
}

void PipeView::requestBuilt(const board::PipeExchange& exchange)
{
    board::ReportBytesAsHex(exchange.request, 0, display.writeRaw);
    std::copy(display.writeRaw.begin(), display.writeRaw.end(), grid_.writeVal.begin());
    refresh();
}

void PipeView::answerPolled(const board::PipeExchange& exchange)
{
    display.dwait = SignedText(exchange.polls);
    display.byteCount = SignedText(board::PipeCount(exchange.answer));
    display.reportCountReceived = SignedText(board::PipeTransaction(exchange.answer));
}

void PipeView::exchangeEnded(const board::PipeExchange& exchange)
{
    display.reportCountSent = SignedText(exchange.transferId);
    display.reportCountReceived = SignedText(board::PipeTransaction(exchange.answer));
    board::ReportBytesAsHex(exchange.answer, 0, std::span(grid_.readVal).first(kShownBytes));
    refresh();
}

void PipeView::requestStarting()
{
    grid_.fillWrite(0, kLastRequestRow, ByteGrid::kEmpty);
    grid_.fillRead(0, kLastRequestRow, ByteGrid::kEmpty);
    grid_.notify();
}

void PipeView::requestEncoded(const board::ChipRequest& request)
{
    if (request.encodeLength)
        grid_.encodeLength = std::to_string(*request.encodeLength);
    for (size_t i = 0; i < request.frame.size() && i < ByteGrid::kRows; ++i)
        grid_.writeVal[i] = ByteToHex2(request.frame[i]);
    grid_.numToWrite = std::to_string(request.sentLength);
    grid_.notify();
}

void PipeView::refresh()
{
    grid_.notify();
    if (displayChanged)
        displayChanged();
}

}  // namespace kvb::panel
