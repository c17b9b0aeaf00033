#include "data/ChartRaster.h"

#include <algorithm>

namespace kvb::data {

namespace {

// Fills rows r0..r1 of `column`, widened to `thickness` pixels around them
// and cut to the buffer.
void fillSpan(const PixelBuffer& t, int column, int r0, int r1, uint32_t colour, int thickness)
{
    const int before = thickness / 2, after = (thickness - 1) / 2;
    const int c0 = std::max(column - before, 0), c1 = std::min(column + after, t.width - 1);
    r0 = std::max(r0 - before, 0);
    r1 = std::min(r1 + after, t.height - 1);
    for (int r = r0; r <= r1; ++r) {
        uint32_t* row = t.pixels + static_cast<ptrdiff_t>(r) * t.stride;
        for (int c = c0; c <= c1; ++c)
            row[c] = colour;
    }
}

}  // namespace

void DrawChartLine(const PixelBuffer& target, const ChartPoint* points, size_t count, uint32_t colour,
                   int thickness)
{
    if (count == 0 || target.width <= 0 || target.height <= 0)
        return;
    thickness = std::max(thickness, 1);
    const double right = static_cast<double>(target.width);
    // Rows are worked out on values held a little beyond the buffer, so
    // coordinates far outside it never overflow an int; shifted to positive
    // values there, a truncation is the floor.
    const double below = -2.0, above = target.height + 2.0;
    const int shift = target.height + 8;
    auto floorOf = [shift](double v) { return static_cast<int>(v + shift) - shift; };
    auto row = [&](double y) { return floorOf(std::clamp(y, below, above)); };
    // The first row whose centre is not above y: ceil(y - 0.5).
    auto centreRow = [&](double y) { return -floorOf(0.5 - std::clamp(y, below, above)); };

    // What the line reaches in one column, gathered over the pieces of the
    // segments that cross it: the span of heights, and of those the heights
    // of the line's own points. The column is filled once, when the next
    // starts: the rows whose centres lie within the span, and always the
    // rows of its points.
    constexpr double kNone = 1e300;
    int column = -1;
    double lo = 0, hi = 0, pointLo = kNone, pointHi = -kNone;
    auto flush = [&] {
        if (column < 0)
            return;
        int r0 = centreRow(lo), r1 = centreRow(hi) - 1;
        if (pointLo <= pointHi) {
            r0 = std::min(r0, row(pointLo));
            r1 = std::max(r1, row(pointHi));
        }
        if (r1 < r0)
            r0 = r1 = row((lo + hi) / 2);
        fillSpan(target, column, r0, r1, colour, thickness);
    };
    // One piece of a segment inside column c, from height y0 to y1; `point0`
    // and `point1` tell which ends are points of the line.
    auto piece = [&](int c, double y0, bool point0, double y1, bool point1) {
        if (c != column) {
            flush();
            column = c;
            lo = hi = y0;
            pointLo = kNone;
            pointHi = -kNone;
        }
        lo = std::min(lo, std::min(y0, y1));
        hi = std::max(hi, std::max(y0, y1));
        if (point0) {
            pointLo = std::min(pointLo, y0);
            pointHi = std::max(pointHi, y0);
        }
        if (point1) {
            pointLo = std::min(pointLo, y1);
            pointHi = std::max(pointHi, y1);
        }
    };
    if (count == 1 && points[0].x >= 0 && points[0].x < right)
        piece(static_cast<int>(points[0].x), points[0].y, true, points[0].y, true);
    for (size_t k = 1; k < count; ++k) {
        ChartPoint a = points[k - 1], b = points[k];
        if (b.x < a.x)
            std::swap(a, b);
        if (b.x < 0 || a.x >= right)
            continue;
        // Both are at least 0 here, where a truncation is the floor.
        const int first = static_cast<int>(std::max(a.x, 0.0));
        const int last = static_cast<int>(std::min(b.x, right - 0.5));
        if (!(b.x > a.x)) {  // upright
            piece(first, a.y, true, b.y, true);
            continue;
        }
        const double slope = (b.y - a.y) / (b.x - a.x);
        for (int c = first; c <= last; ++c) {
            const double x0 = std::max(a.x, static_cast<double>(c));
            const double x1 = std::min(b.x, static_cast<double>(c + 1));
            piece(c, a.y + (x0 - a.x) * slope, x0 == a.x, a.y + (x1 - a.x) * slope, x1 == b.x);
        }
    }
    flush();
}

}  // namespace kvb::data
