#include "data/ChartRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kvb::data {

namespace {

// Smaller and larger of two values; a NaN in `b` leaves `a`.
inline double minOf(double a, double b) { return b < a ? b : a; }
inline double maxOf(double a, double b) { return a < b ? b : a; }

// What the line reaches in the column being gathered: the span of heights,
// and of those the heights of the line's own points. The column is filled
// once, when the line moves on to another: the rows whose centres lie
// within the span, and always the rows of its points.
class ColumnPainter {
public:
    // Writes only columns [from, to) of the buffer.
    ColumnPainter(const PixelBuffer& t, uint32_t colour, int thickness, int from, int to)
        : t_(t), colour_(colour), before_(thickness / 2), after_((thickness - 1) / 2),
          from_(t.firstColumn + std::max(from, 0)), to_(t.firstColumn + std::min(to, t.width)),
          above_(t.height + 2.0), shift_(t.height + 8)
    {
    }

    int64_t column() const { return column_; }
    // The left edge of the column being gathered, or a huge value before
    // the first.
    double left() const { return left_; }

    // Starts column c at height y; nothing of it is a point yet.
    void start(int64_t c, double y)
    {
        column_ = c;
        left_ = static_cast<double>(c);
        lo_ = hi_ = y;
        pointLo_ = kNone;
        pointHi_ = -kNone;
    }
    void reach(double y)
    {
        lo_ = minOf(lo_, y);
        hi_ = maxOf(hi_, y);
    }
    void point(double y)
    {
        reach(y);
        pointLo_ = minOf(pointLo_, y);
        pointHi_ = maxOf(pointHi_, y);
    }
    // One piece of a segment inside column c, from height y0 to y1;
    // `point0` and `point1` tell which ends are points of the line.
    void piece(int64_t c, double y0, bool point0, double y1, bool point1)
    {
        if (c != column_) {
            flush();
            start(c, y0);
        }
        reach(y0);
        reach(y1);
        if (point0)
            point(y0);
        if (point1)
            point(y1);
    }

    void flush()
    {
        if (column_ == kNoColumn)
            return;
        int r0 = centreRow(lo_), r1 = centreRow(hi_) - 1;
        if (pointLo_ <= pointHi_) {
            r0 = std::min(r0, row(pointLo_));
            r1 = std::max(r1, row(pointHi_));
        }
        if (r1 < r0)
            r0 = r1 = row((lo_ + hi_) / 2);
        // Widened to the thickness around the column and its rows, cut to
        // the buffer.
        const int64_t g0 = std::max(column_ - before_, from_), g1 = std::min(column_ + after_, to_ - 1);
        if (g1 < g0)
            return;
        r0 = std::max(r0 - before_, 0);
        r1 = std::min(r1 + after_, t_.height - 1);
        // Buffer columns, where a ring wraps them.
        int c0 = static_cast<int>(g0 - t_.firstColumn) + t_.rotation;
        if (c0 >= t_.width)
            c0 -= t_.width;
        const int n = static_cast<int>(g1 - g0) + 1;
        if (t_.spanLo)
            for (int k = 0, c = c0; k < n; ++k, c = c + 1 == t_.width ? 0 : c + 1) {
                t_.spanLo[c] = std::min(t_.spanLo[c], r0);
                t_.spanHi[c] = std::max(t_.spanHi[c], r1);
            }
        if (c0 + n > t_.width) {
            for (int k = 0; k < n; ++k) {
                const int c = (c0 + k) % t_.width;
                uint32_t* p = t_.pixels + static_cast<ptrdiff_t>(r0) * t_.stride + c;
                for (int r = r0; r <= r1; ++r, p += t_.stride)
                    *p = colour_;
            }
            return;
        }
        uint32_t* p = t_.pixels + static_cast<ptrdiff_t>(r0) * t_.stride + c0;
        if (n == 2) {  // a line two pixels wide, away from the edges
            for (int r = r0; r <= r1; ++r, p += t_.stride)
                p[0] = p[1] = colour_;
        } else {
            for (int r = r0; r <= r1; ++r, p += t_.stride)
                std::fill(p, p + n, colour_);
        }
    }

private:
    static constexpr double kNone = 1e300;
    static constexpr int64_t kNoColumn = INT64_MIN;
    // Rows are worked out on heights held a little beyond the buffer, so
    // coordinates far outside it never overflow an int (and a NaN lands
    // below it); shifted to positive values there, a truncation is the
    // floor.
    double held(double y) const { return maxOf(-2.0, minOf(above_, y)); }
    int row(double y) const { return static_cast<int>(held(y) + shift_) - shift_; }
    // The first row whose centre is not above y: ceil(y - 0.5).
    int centreRow(double y) const { return shift_ - static_cast<int>(shift_ + 0.5 - held(y)); }

    const PixelBuffer t_;
    const uint32_t colour_;
    const int before_, after_;
    const int64_t from_, to_;
    const double above_;
    const int shift_;
    int64_t column_ = kNoColumn;
    double left_ = kNone;
    double lo_ = 0, hi_ = 0, pointLo_ = kNone, pointHi_ = -kNone;
};

}  // namespace

void DrawChartLine(const PixelBuffer& target, const ChartPoint* points, size_t count, uint32_t colour,
                   int thickness)
{
    DrawChartLineColumns(target, points, count, colour, thickness, 0, target.width);
}

namespace {

int64_t FloorOf(double x) { return static_cast<int64_t>(std::floor(x)); }

// A chart line runs from left to right with a point or two in each column:
// most segments stay in the column being gathered or run on into the next
// ones, inside the buffer, and take this short way. False for any other
// segment, which is left for CrossColumns.
bool RunOn(ColumnPainter& out, ChartPoint a, ChartPoint b, double right)
{
    if (!(a.x >= out.left() && b.x >= a.x))
        return false;
    const double next = out.left() + 1;
    if (b.x < next) {
        out.point(b.y);
        return true;
    }
    if (!(b.x < right))
        return false;
    const double slope = (b.y - a.y) / (b.x - a.x);
    auto at = [&](double x) { return x == b.x ? b.y : a.y + (x - a.x) * slope; };
    double y = at(next);
    out.reach(y);
    if (b.x == next)
        out.point(y);
    out.flush();
    const int64_t last = FloorOf(b.x);
    for (int64_t c = out.column() + 1; c < last; ++c) {
        const double y1 = at(static_cast<double>(c) + 1.0);
        out.start(c, y);
        out.reach(y1);
        if (static_cast<double>(c) + 1.0 == b.x)
            out.point(y1);
        out.flush();
        y = y1;
    }
    out.start(last, y);
    out.point(b.y);
    return true;
}

// Any segment, piece by piece through the columns [left, right) it crosses,
// from left to right.
void CrossColumns(ColumnPainter& out, ChartPoint a, ChartPoint b, double left, double right)
{
    if (b.x < a.x)
        std::swap(a, b);
    if (b.x < left || a.x >= right || std::isnan(a.x) || std::isnan(b.x))
        return;
    const int64_t first = FloorOf(std::max(a.x, left));
    const int64_t last = FloorOf(std::min(b.x, right - 0.5));
    if (!(b.x > a.x)) {  // upright
        out.piece(first, a.y, true, b.y, true);
        return;
    }
    const double slope = (b.y - a.y) / (b.x - a.x);
    auto at = [&](double x) { return x == a.x ? a.y : x == b.x ? b.y : a.y + (x - a.x) * slope; };
    for (int64_t c = first; c <= last; ++c) {
        const double x0 = std::max(a.x, static_cast<double>(c));
        const double x1 = std::min(b.x, static_cast<double>(c + 1));
        out.piece(c, at(x0), x0 == a.x, at(x1), x1 == b.x);
    }
}

}  // namespace

void DrawChartLineColumns(const PixelBuffer& target, const ChartPoint* points, size_t count, uint32_t colour,
                          int thickness, int from, int to)
{
    thickness = std::max(thickness, 1);
    if (count == 0 || target.width <= 0 || target.height <= 0 || from >= to)
        return;
    ColumnPainter out(target, colour, thickness, from, to);
    // The line's columns the buffer shows; all columns are worked out in
    // the line's own coordinates, so a column comes out the same whatever
    // part of the line is drawn.
    const double left = static_cast<double>(target.firstColumn);
    const double right = static_cast<double>(target.firstColumn + target.width);
    if (count == 1 && points[0].x >= left && points[0].x < right)
        out.piece(FloorOf(points[0].x), points[0].y, true, points[0].y, true);
    for (size_t k = 1; k < count; ++k)
        if (!RunOn(out, points[k - 1], points[k], right))
            CrossColumns(out, points[k - 1], points[k], left, right);
    out.flush();
}

}  // namespace kvb::data
