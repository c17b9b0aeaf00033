#pragma once
// Reduces one chart series to what a plot of a given pixel width can show:
// the samples inside the visible time window, one minimum and one maximum
// per pixel column in the order they occur, and one sample on either side of
// the window so that the line runs to the edges.
//
// A trace keeps the extremes of its samples per cell of a fixed time grid
// (a power of two of minutes, at most one column wide) and brings them up to
// date with the samples added since its last reduction. A redraw after one
// new sample therefore visits the new sample, the cells of the window and
// the few samples of the two cells cut by the window's edges, never the
// whole buffer.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

namespace kvb::data {

struct ChartPoint {
    double x, y;
};

// Index of the first sample whose time is not below t.
inline int FirstSampleAtOrAfter(const double* x, int count, double t)
{
    return static_cast<int>(std::lower_bound(x, x + count, t) - x);
}

// The samples a trace reads. Times ascend; `count` samples are held;
// `firstNumber` is the number within its run of sample 0 (the samples
// dropped from the front before it) and `run` tells runs apart.
struct TraceSamples {
    const double* x = nullptr;
    int count = 0;
    int64_t firstNumber = 0;
    uint64_t run = 0;
};

class ChartTrace {
public:
    // Forgets what the trace holds; the next reduction starts over (for a
    // series that now plots other data).
    void reset() { valid_ = false; }

    // Appends the reduction of samples 0..count-1 to the window
    // [viewMin, viewMax) over `columns` pixel columns to `out`; `value(i)`
    // is the plotted value of sample i.
    template <typename Value>
    void reduce(const TraceSamples& s, double viewMin, double viewMax, int columns, Value&& value,
                std::vector<ChartPoint>& out);

private:
    struct Cell {
        ChartPoint lo{0, 0}, hi{0, 0};
        bool empty = true;
        void add(double x, double y)
        {
            if (std::isnan(y))
                return;
            if (empty) {
                lo = hi = {x, y};
                empty = false;
            } else if (y < lo.y) {
                lo = {x, y};
            } else if (y > hi.y) {
                hi = {x, y};
            }
        }
    };
    // Gathers points, in time order, into one minimum and maximum per pixel
    // column of the window and writes each column out when the next starts.
    struct Columns {
        Columns(double windowMin, double windowMax, int columns, std::vector<ChartPoint>& into)
            : viewMin(windowMin), viewMax(windowMax),
              perColumn(columns / (windowMax - windowMin)), lastColumn(columns - 1), out(into)
        {
        }
        double viewMin, viewMax, perColumn;
        int lastColumn;
        std::vector<ChartPoint>& out;
        int column = -1;
        Cell acc;

        void putPoint(const ChartPoint& p)
        {
            if (p.x < viewMin || p.x >= viewMax || std::isnan(p.y))
                return;
            const int c = std::min(static_cast<int>((p.x - viewMin) * perColumn), lastColumn);
            if (c != column) {
                flush();
                column = c;
            }
            acc.add(p.x, p.y);
        }
        void putCell(const Cell& cell)
        {
            if (cell.empty)
                return;
            const bool loFirst = cell.lo.x <= cell.hi.x;
            putPoint(loFirst ? cell.lo : cell.hi);
            putPoint(loFirst ? cell.hi : cell.lo);
        }
        void flush()
        {
            if (acc.empty)
                return;
            if (acc.lo.x == acc.hi.x && acc.lo.y == acc.hi.y) {
                out.push_back(acc.lo);
            } else if (acc.lo.x <= acc.hi.x) {
                out.push_back(acc.lo);
                out.push_back(acc.hi);
            } else {
                out.push_back(acc.hi);
                out.push_back(acc.lo);
            }
            acc = Cell{};
        }
    };
    int64_t cellOf(double x) const { return static_cast<int64_t>(std::floor(x / grid_)); }
    template <typename Value>
    void follow(const TraceSamples& s, int64_t firstCell, int64_t lastCell, Value& value);

    bool valid_ = false;
    double grid_ = 0;
    uint64_t run_ = 0;
    int64_t firstNumber_ = 0;
    int64_t next_ = 0;       // number of the first sample not yet counted into the cells
    int64_t firstCell_ = 0;  // grid index of cells_.front()
    std::deque<Cell> cells_;
};

// Brings the cells up to date: cells before the window are let go, cells
// that held dropped samples are counted again, and the samples added since
// the last reduction are counted into the cells up to the window's end.
template <typename Value>
void ChartTrace::follow(const TraceSamples& s, int64_t firstCell, int64_t lastCell, Value& value)
{
    const int64_t end = s.firstNumber + s.count;
    if (valid_ && (s.run != run_ || firstCell < firstCell_ || next_ > end || s.firstNumber < firstNumber_))
        valid_ = false;
    if (!valid_) {
        valid_ = true;
        run_ = s.run;
        firstNumber_ = s.firstNumber;
        cells_.clear();
        firstCell_ = firstCell;
        next_ = s.firstNumber + FirstSampleAtOrAfter(s.x, s.count, static_cast<double>(firstCell) * grid_);
    }
    if (s.firstNumber != firstNumber_) {
        // Samples were dropped from the front: cells wholly before the first
        // sample held are empty now, and the one holding it is counted again.
        firstNumber_ = s.firstNumber;
        next_ = std::max(next_, firstNumber_);
        if (s.count > 0) {
            const int64_t front = cellOf(s.x[0]);
            for (size_t k = 0; k < cells_.size() && firstCell_ + static_cast<int64_t>(k) < front; ++k)
                cells_[k] = Cell{};
            if (front >= firstCell_ && front - firstCell_ < static_cast<int64_t>(cells_.size())) {
                Cell again;
                for (int i = 0; i < next_ - firstNumber_ && cellOf(s.x[i]) == front; ++i)
                    again.add(s.x[i], value(i));
                cells_[static_cast<size_t>(front - firstCell_)] = again;
            }
        }
    }
    while (!cells_.empty() && firstCell_ < firstCell) {
        cells_.pop_front();
        ++firstCell_;
    }
    if (cells_.empty())
        firstCell_ = std::max(firstCell_, firstCell);
    int64_t n = next_;
    for (; n < end; ++n) {
        const int i = static_cast<int>(n - s.firstNumber);
        const int64_t c = cellOf(s.x[i]);
        if (c > lastCell)
            break;
        if (c < firstCell_)
            continue;
        const auto k = static_cast<size_t>(c - firstCell_);
        if (k >= cells_.size())
            cells_.resize(k + 1);
        cells_[k].add(s.x[i], value(i));
    }
    next_ = n;
}

template <typename Value>
void ChartTrace::reduce(const TraceSamples& s, double viewMin, double viewMax, int columns, Value&& value,
                        std::vector<ChartPoint>& out)
{
    if (s.count <= 0 || !(viewMax > viewMin))
        return;
    columns = std::max(columns, 1);
    const double width = (viewMax - viewMin) / columns;
    const double grid = std::exp2(std::floor(std::log2(width)));
    if (grid != grid_) {
        grid_ = grid;
        valid_ = false;
    }
    const int64_t firstCell = cellOf(viewMin), lastCell = cellOf(viewMax);
    follow(s, firstCell, lastCell, value);

    const int first = FirstSampleAtOrAfter(s.x, s.count, viewMin);
    if (first > 0 && !std::isnan(value(first - 1)))
        out.push_back({s.x[first - 1], value(first - 1)});

    Columns columnsOut(viewMin, viewMax, columns, out);
    // The two cells cut by the window's edges are counted from the samples
    // inside the window; the cells between them come from the trace.
    auto putSamples = [&](int from, int64_t cell) {
        for (int i = from; i < s.count && s.x[i] < viewMax && cellOf(s.x[i]) == cell; ++i)
            columnsOut.putPoint({s.x[i], value(i)});
    };
    putSamples(first, firstCell);
    const int64_t from = std::max<int64_t>(firstCell + 1 - firstCell_, 0);
    const int64_t to = std::min<int64_t>(lastCell - firstCell_, static_cast<int64_t>(cells_.size()));
    if (from < to)
        for (auto it = cells_.begin() + from, end = cells_.begin() + to; it != end; ++it)
            columnsOut.putCell(*it);
    if (lastCell > firstCell)
        putSamples(FirstSampleAtOrAfter(s.x, s.count, static_cast<double>(lastCell) * grid_), lastCell);
    columnsOut.flush();

    const int last = FirstSampleAtOrAfter(s.x, s.count, viewMax);
    if (last < s.count && !std::isnan(value(last)))
        out.push_back({s.x[last], value(last)});
}

}  // namespace kvb::data
