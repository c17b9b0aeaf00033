#pragma once
// Reduces one chart series to what a plot of a given pixel width can show:
// the samples inside the visible time window, split into one bucket per
// pixel column, each bucket giving its minimum and maximum in the order
// they occur. One sample on either side of the window keeps the line
// running to the edges.

#include <algorithm>
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

// `x` holds the sample times (ascending) of samples 0..count-1; `value(i)`
// the plotted value of sample i. Appends the reduced points to `out`.
template <typename Value>
void DecimateSeries(const double* x, int count, Value&& value, double viewMin, double viewMax,
                    int columns, std::vector<ChartPoint>& out)
{
    if (count <= 0)
        return;
    int first = std::max(FirstSampleAtOrAfter(x, count, viewMin) - 1, 0);
    int last = std::min(FirstSampleAtOrAfter(x, count, viewMax), count - 1);
    columns = std::max(columns, 1);
    const int n = last - first + 1;
    if (n <= 2 * columns + 2) {
        for (int i = first; i <= last; ++i)
            out.push_back({x[i], value(i)});
        return;
    }
    out.push_back({x[first], value(first)});
    const double width = viewMax > viewMin ? viewMax - viewMin : 1.0;
    int i = first + 1;
    const int end = last;  // the last sample is added on its own below
    while (i < end) {
        const int column =
            std::clamp(static_cast<int>((x[i] - viewMin) / width * columns), 0, columns - 1);
        const double columnEnd = viewMin + width * (column + 1) / columns;
        int lo = i, hi = i;
        double loV = value(i), hiV = loV;
        int j = i + 1;
        for (; j < end && (x[j] < columnEnd || column == columns - 1); ++j) {
            const double v = value(j);
            if (v < loV) {
                loV = v;
                lo = j;
            } else if (v > hiV) {
                hiV = v;
                hi = j;
            }
        }
        if (lo == hi) {
            out.push_back({x[lo], loV});
        } else if (lo < hi) {
            out.push_back({x[lo], loV});
            out.push_back({x[hi], hiV});
        } else {
            out.push_back({x[hi], hiV});
            out.push_back({x[lo], loV});
        }
        i = j;
    }
    out.push_back({x[last], value(last)});
}

}  // namespace kvb::data
