#pragma once
// Draws chart lines into a 32-bit pixel buffer. A chart line is reduced to
// at most two points per pixel column, so it is drawn column by column: in
// each column the line covers the rows between the lowest and the highest
// point it reaches there, found from its points and from where its segments
// cross the column's edges. This gives the same pixels as an aliased line
// of that width at a fraction of the cost of a general line stroker.

#include "data/ChartDecimation.h"

#include <cstddef>
#include <cstdint>

namespace kvb::data {

struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    int stride = 0;  // pixels from one row to the next
    // The points' column of the buffer's first column: a line is drawn in
    // its own coordinates, and the buffer shows columns firstColumn to
    // firstColumn + width - 1 of it.
    int64_t firstColumn = 0;
    // The buffer column that shows firstColumn: a buffer kept as a ring in
    // x shows column firstColumn + k in its column (rotation + k) mod width.
    int rotation = 0;
    // When given, of each buffer column the rows [spanLo, spanHi] drawn in
    // it so far: a drawing widens them to every row it colours.
    int* spanLo = nullptr;
    int* spanHi = nullptr;
};

// Draws the polyline through `points` (pixel coordinates: x to the right,
// y down, pixel (c, r) covering [c - firstColumn, c - firstColumn + 1) x
// [r, r+1) before the rotation) in `colour`,
// `thickness` pixels wide. Whatever falls outside the buffer is cut off.
void DrawChartLine(const PixelBuffer& target, const ChartPoint* points, size_t count, uint32_t colour,
                   int thickness);

// Draws buffer columns [from, to) (counted from firstColumn, before the
// rotation) of the same line, each pixel as DrawChartLine
// draws it, and leaves the other columns alone, so that parts of a picture
// can be drawn apart (at once, on several threads). The points may be cut
// to those whose segments reach within a line's width of the columns.
void DrawChartLineColumns(const PixelBuffer& target, const ChartPoint* points, size_t count, uint32_t colour,
                          int thickness, int from, int to);

}  // namespace kvb::data
