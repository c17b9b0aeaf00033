#pragma once
// Reduces one chart series to what a plot can show: one minimum and one
// maximum per pixel column, in the order they occur. The columns are those
// of a grid fixed in time (`ColumnGrid`), not of the plot's window, so a
// window that moves by whole columns finds every column it still shows as
// it was: a rolling chart reduces and draws only its newest columns.
//
// A trace keeps the extremes of the columns from the last known sample
// before the window on and brings them up to date with the samples added
// since; the line through the columns' points, one point on either side of
// the window included, is the same whatever part of it is asked for.

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
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

// Pixel columns fixed in time: time x lies at column coordinate
// x * scale - phase, and column c covers coordinates [c, c + 1).
struct ColumnGrid {
    double scale = 1, phase = 0;
    double at(double x) const { return x * scale - phase; }
    int64_t column(double x) const
    {
        // The floor, without a library call for each of many samples.
        const double v = at(x);
        const auto t = static_cast<int64_t>(v);
        return t - (v < static_cast<double>(t) ? 1 : 0);
    }
    bool operator==(const ColumnGrid&) const = default;
};

// Where each column's samples begin, for columns [from, to] of a grid: found
// once for all the series of a chart, which share the samples and the grid,
// so that each series then reduces a column at a time rather than working
// out the column of every sample. Past those columns, a column's end is
// found sample by sample.
class SampleColumns {
public:
    void build(const TraceSamples& s, const ColumnGrid& grid, int64_t from, int64_t to)
    {
        grid_ = grid;
        from_ = from;
        to_ = to;
        starts_.clear();
        if (to < from)
            return;
        starts_.reserve(static_cast<size_t>(to - from + 2));
        int i = static_cast<int>(
            std::partition_point(s.x, s.x + s.count, [&](double x) { return grid.column(x) < from; }) - s.x);
        for (int64_t c = from; c <= to + 1; ++c) {
            while (i < s.count && grid.column(s.x[i]) < c)
                ++i;
            starts_.push_back(i);
        }
    }
    // Whether the last build() was for these columns.
    bool builtFor(const ColumnGrid& grid, int64_t from, int64_t to) const
    {
        return grid == grid_ && from == from_ && to == to_;
    }
    // One past the last sample of column c, sample i being one of it.
    int end(const TraceSamples& s, const ColumnGrid& grid, int64_t c, int i) const
    {
        const int64_t k = c + 1 - from_;
        if (grid == grid_ && k >= 1 && k < static_cast<int64_t>(starts_.size()))
            return std::min(starts_[static_cast<size_t>(k)], s.count);
        int j = i + 1;
        while (j < s.count && grid.column(s.x[j]) <= c)
            ++j;
        return j;
    }

private:
    ColumnGrid grid_;
    int64_t from_ = 0, to_ = -1;
    std::vector<int> starts_;  // first sample of column from + k
};

// Samples whose values follow integer counts: `counts[i]` is sample i's
// count (INT16_MIN: no value), its key the count itself or, `signed14`, the
// count's low 14 bits sign-extended (a count above 0x1FFF taking 0xC000 on
// top), and its value rises with its key (`direction` 1), falls with it (-1)
// or is one for all (0). A column then finds its extremes on the keys and
// converts only the samples it keeps.
struct CountOrder {
    const int16_t* counts = nullptr;
    bool signed14 = false;
    int direction = 1;
};
template <typename Value>
concept CountedValues = requires(const Value& v) {
    { v.countOrder() } -> std::same_as<CountOrder>;
};

namespace detail {

constexpr int16_t kNoCount = std::numeric_limits<int16_t>::min();

inline int16_t KeyOf(int16_t count, bool signed14)
{
    return signed14 && count > 0x1FFF ? static_cast<int16_t>(static_cast<uint16_t>(count) | 0xC000u) : count;
}

// Of the counts [i, last) with a value, the first with the lowest key and
// the first with the highest, in one pass; false when none has a value.
// `first` is the first with a value.
inline bool FirstKeyExtremes(const int16_t* counts, int i, int last, bool signed14, int& first, int& lowest,
                             int& highest)
{
    int16_t least = std::numeric_limits<int16_t>::max(), most = kNoCount;
    first = lowest = highest = -1;
    for (int k = i; k < last; ++k) {
        const int16_t count = counts[k];
        if (count == kNoCount)
            continue;
        const int16_t key = KeyOf(count, signed14);
        if (first < 0) {
            first = lowest = highest = k;
            least = most = key;
        } else if (key < least) {
            least = key;
            lowest = k;
        } else if (key > most) {
            most = key;
            highest = k;
        }
    }
    return first >= 0;
}

}  // namespace detail

class ChartTrace {
public:
    static constexpr int64_t kNone = std::numeric_limits<int64_t>::max();

    // Forgets what the trace holds; the next follow() starts over (for a
    // series that now plots other data).
    void reset() { valid_ = false; }

    // Brings the columns up to date for a window of columns [from, to) of
    // `grid`, from samples 0..count-1; `value(i)` is the plotted value of
    // sample i (NaN: not plotted). `columns`, when given, tells where the
    // columns' samples begin, which makes a follow() of many samples faster.
    template <typename Value>
    void follow(const TraceSamples& s, const ColumnGrid& grid, int64_t from, int64_t to, Value&& value,
                const SampleColumns* columns = nullptr);

    // Whether follow() would only count the few samples added since the
    // last one (at most `few`), the grid standing.
    bool followsOn(const TraceSamples& s, const ColumnGrid& grid, int64_t from, int64_t few) const
    {
        return valid_ && s.run == run_ && grid == grid_ && s.firstNumber == firstNumber_ && from >= base_ &&
               s.firstNumber + s.count - next_ <= few;
    }

    // Whether the last follow() started over, and the first column whose
    // points changed since takeChanges() (kNone: none); takeChanges()
    // starts gathering anew.
    bool restarted() const { return restarted_; }
    int64_t changedFrom() const { return changedFrom_; }
    void takeChanges()
    {
        restarted_ = false;
        changedFrom_ = kNone;
    }
    // The nearest column before c that has a point (c when there is none).
    int64_t pointColumnBefore(int64_t c) const;

    // Appends the points of columns [from, to), in time order, with the
    // last point before them and the first after them (in time and value).
    void points(int64_t from, int64_t to, std::vector<ChartPoint>& out) const;

private:
    struct Column {
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
        // add() of samples [i, last), `value` giving each one's value.
        template <typename Value>
        void addAll(const double* x, int i, int last, Value& value)
        {
            if constexpr (CountedValues<Value>) {
                addCounted(x, i, last, value);
                return;
            }
            for (; empty && i < last; ++i)
                add(x[i], value(i));
            ChartPoint l = lo, h = hi;
            for (; i < last; ++i) {
                const double y = value(i);
                if (y < l.y)
                    l = {x[i], y};
                else if (y > h.y)
                    h = {x[i], y};
            }
            lo = l;
            hi = h;
        }
        // The same on the samples' keys: the first sample of the lowest
        // value and the first of the highest, found as the first of the
        // lowest or highest key.
        template <typename Value>
        void addCounted(const double* x, int i, int last, Value& value)
        {
            const CountOrder order = value.countOrder();
            int first = 0, lowest = 0, highest = 0;
            if (!detail::FirstKeyExtremes(order.counts, i, last, order.signed14, first, lowest, highest))
                return;
            int low = first, high = first;  // all values one (`direction` 0): the first of them
            if (order.direction != 0) {
                low = order.direction > 0 ? lowest : highest;
                high = order.direction > 0 ? highest : lowest;
            }
            const ChartPoint l{x[low], value(low)}, h{x[high], value(high)};
            if (empty) {
                lo = l;
                hi = h;
                empty = false;
                return;
            }
            // Those held came first: they stay unless passed.
            if (l.y < lo.y)
                lo = l;
            if (h.y > hi.y)
                hi = h;
        }
        // Its one or two points in time order.
        template <typename Out>
        void put(Out&& out) const
        {
            if (empty)
                return;
            if (lo.x == hi.x && lo.y == hi.y) {
                out(lo);
            } else if (lo.x <= hi.x) {
                out(lo);
                out(hi);
            } else {
                out(hi);
                out(lo);
            }
        }
        ChartPoint first() const { return lo.x <= hi.x ? lo : hi; }
        ChartPoint last() const { return lo.x <= hi.x ? hi : lo; }
    };
    const Column* at(int64_t c) const
    {
        return c >= base_ && c - base_ < static_cast<int64_t>(columns_.size())
                   ? &columns_[static_cast<size_t>(c - base_)]
                   : nullptr;
    }

    // The columns kept, front to back: a vector whose front is dropped by
    // moving where it starts, and compacted now and then, so that a window
    // moving on by a column costs neither a copy nor an allocation.
    class Columns {
    public:
        size_t size() const { return all_.size() - head_; }
        bool empty() const { return size() == 0; }
        Column& operator[](size_t k) { return all_[head_ + k]; }
        const Column& operator[](size_t k) const { return all_[head_ + k]; }
        void clear()
        {
            all_.clear();
            head_ = 0;
        }
        void resize(size_t n) { all_.resize(head_ + n); }
        void dropFront(size_t n)
        {
            head_ += n;
            if (head_ > 1024 && head_ > all_.size() / 2) {
                all_.erase(all_.begin(), all_.begin() + static_cast<ptrdiff_t>(head_));
                head_ = 0;
            }
        }

    private:
        std::vector<Column> all_;
        size_t head_ = 0;
    };

    bool valid_ = false;
    bool restarted_ = false;
    ColumnGrid grid_;
    uint64_t run_ = 0;
    int64_t firstNumber_ = 0;
    int64_t next_ = 0;  // number of the first sample not yet counted
    int64_t base_ = 0;  // column of columns_.front()
    int64_t changedFrom_ = kNone;
    Columns columns_;
};

template <typename Value>
void ChartTrace::follow(const TraceSamples& s, const ColumnGrid& grid, int64_t from, int64_t to, Value&& value,
                        const SampleColumns* columns)
{
    const int64_t end = s.firstNumber + s.count;
    if (valid_ && (s.run != run_ || !(grid == grid_) || s.firstNumber != firstNumber_ || next_ > end ||
                   from < base_))
        valid_ = false;
    auto firstInColumn = [&](int64_t c) {
        return static_cast<int>(std::partition_point(s.x, s.x + s.count, [&](double x) { return grid.column(x) < c; }) -
                                s.x);
    };
    if (!valid_) {
        valid_ = true;
        restarted_ = true;
        run_ = s.run;
        grid_ = grid;
        firstNumber_ = s.firstNumber;
        columns_.clear();
        // From the column of the last known sample before the window on.
        int j = firstInColumn(from) - 1;
        while (j >= 0 && std::isnan(value(j)))
            --j;
        base_ = j >= 0 ? grid.column(s.x[j]) : from;
        next_ = s.firstNumber + firstInColumn(base_);
    } else {
        // Columns before the window go, but for the last one with a point.
        size_t before = 0, keep = 0;
        bool found = false;
        for (; before < columns_.size() && base_ + static_cast<int64_t>(before) < from; ++before)
            if (!columns_[before].empty) {
                keep = before;
                found = true;
            }
        const size_t drop = found ? keep : before;
        columns_.dropFront(drop);
        base_ += static_cast<int64_t>(drop);
    }
    // Counted up to the first column with a point at or past the window's
    // end, which gives the line its point after the window.
    int64_t after = kNone;
    for (int64_t c = std::max(to, base_); c - base_ < static_cast<int64_t>(columns_.size()); ++c)
        if (!columns_[static_cast<size_t>(c - base_)].empty) {
            after = c;
            break;
        }
    // Times ascend: the samples come column after column, and are taken a
    // column at a time (or one at a time, when their columns are not known).
    int64_t n = next_;
    while (n < end) {
        int i = static_cast<int>(n - s.firstNumber);
        const int64_t c = grid.column(s.x[i]);
        if (c > after)
            break;
        const int last = columns ? columns->end(s, grid, c, i) : i + 1;
        n = s.firstNumber + last;
        if (c < base_)
            continue;
        while (i < last && std::isnan(value(i)))
            ++i;
        if (i == last)
            continue;
        if (columns_.empty())
            base_ = c;
        const auto k = static_cast<size_t>(c - base_);
        if (k >= columns_.size())
            columns_.resize(k + 1);
        changedFrom_ = std::min(changedFrom_, c);
        if (c >= to && after == kNone)
            after = c;
        columns_[k].addAll(s.x, i, last, value);
    }
    next_ = n;
}

inline int64_t ChartTrace::pointColumnBefore(int64_t c) const
{
    for (int64_t k = std::min(c, base_ + static_cast<int64_t>(columns_.size())) - 1; k >= base_; --k)
        if (!columns_[static_cast<size_t>(k - base_)].empty)
            return k;
    return c;
}

inline void ChartTrace::points(int64_t from, int64_t to, std::vector<ChartPoint>& out) const
{
    const int64_t before = pointColumnBefore(from);
    if (before != from)
        out.push_back(at(before)->last());
    auto put = [&out](const ChartPoint& p) { out.push_back(p); };
    const int64_t size = static_cast<int64_t>(columns_.size());
    int64_t c = std::max(from, base_);
    for (; c < to && c - base_ < size; ++c)
        columns_[static_cast<size_t>(c - base_)].put(put);
    for (; c - base_ < size; ++c)
        if (!columns_[static_cast<size_t>(c - base_)].empty) {
            out.push_back(columns_[static_cast<size_t>(c - base_)].first());
            break;
        }
}

}  // namespace kvb::data
