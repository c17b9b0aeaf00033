#include "data/ChartRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace kvb::data;

namespace {

// A small canvas whose rows read as text: '#' where the line was drawn.
struct Canvas {
    int width, height;
    std::vector<uint32_t> pixels;
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    PixelBuffer buffer() { return {pixels.data(), width, height, width}; }
    void draw(std::vector<ChartPoint> points, int thickness = 1)
    {
        DrawChartLine(buffer(), points.data(), points.size(), 7, thickness);
    }
    std::string row(int r) const
    {
        std::string s;
        for (int c = 0; c < width; ++c)
            s += pixels[static_cast<size_t>(r) * width + c] == 7 ? '#' : '.';
        return s;
    }
};

TEST(ChartRaster, DrawsEachColumnBetweenTheRowsTheLineReaches)
{
    Canvas c(8, 6);
    // Flat, then a spike up to row 1 in column 4 and back down.
    c.draw({{0.5, 4.5}, {3.5, 4.5}, {4.2, 1.5}, {4.8, 4.5}, {7.5, 4.5}});
    EXPECT_EQ(c.row(0), "........");
    EXPECT_EQ(c.row(1), "....#...");
    EXPECT_EQ(c.row(2), "...##...");  // the rising segment enters column 3
    EXPECT_EQ(c.row(4), "########");
    EXPECT_EQ(c.row(5), "........");

    Canvas wide(8, 6);
    wide.draw({{0.5, 2.5}, {7.5, 2.5}}, 2);
    EXPECT_EQ(wide.row(1), "########");
    EXPECT_EQ(wide.row(2), "########");
    EXPECT_EQ(wide.row(3), "........");
}

TEST(ChartRaster, CutsOffWhatLiesOutsideTheBuffer)
{
    Canvas c(6, 4);
    // A diagonal from far above left to far below right: one row per
    // column where it crosses the buffer, nothing written outside it.
    c.draw({{-1e9, -1e9}, {1e9, 1e9}});
    c.draw({{-5, 1}, {-1, 1}});        // wholly to the left
    c.draw({{2.5, -50}, {2.5, -10}});  // wholly above
    EXPECT_EQ(c.row(0), "#.....");
    EXPECT_EQ(c.row(1), ".#....");
    EXPECT_EQ(c.row(2), "..#...");
    EXPECT_EQ(c.row(3), "...#..");
    Canvas empty(0, 0);
    empty.draw({{0, 0}, {1, 1}});
    // A point with no place in time is left out, with its segments.
    Canvas gap(6, 4);
    gap.draw({{0.5, 1.5}, {2.5, 1.5}, {std::nan(""), 0}, {3.5, 2.5}, {5.5, 2.5}});
    EXPECT_EQ(gap.row(0), "......");
    EXPECT_EQ(gap.row(1), "###...");
    EXPECT_EQ(gap.row(2), "...###");
}

// What a line covers, the plain way: every segment is cut into its pieces
// column by column, from left to right, and a column is filled when the
// line moves on to another: the rows whose centres lie between the lowest
// and highest height the line reaches in it, the rows of the line's own
// points there, or else the row halfway between.
std::vector<uint32_t> CoveredPlainly(int width, int height, const std::vector<ChartPoint>& points,
                                     int thickness)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    const int before = thickness / 2, after = (thickness - 1) / 2;
    auto rowOf = [&](double y) { return static_cast<int>(std::floor(std::clamp(y, -2.0, height + 2.0))); };
    int column = -1;
    double lo = 0, hi = 0, pointLo = 0, pointHi = 0;
    bool anyPoint = false;
    auto fill = [&] {
        if (column < 0)
            return;
        int r0 = static_cast<int>(std::ceil(std::clamp(lo, -2.0, height + 2.0) - 0.5));
        int r1 = static_cast<int>(std::ceil(std::clamp(hi, -2.0, height + 2.0) - 0.5)) - 1;
        if (anyPoint) {
            r0 = std::min(r0, rowOf(pointLo));
            r1 = std::max(r1, rowOf(pointHi));
        }
        if (r1 < r0)
            r0 = r1 = rowOf((lo + hi) / 2);
        for (int r = r0 - before; r <= r1 + after; ++r)
            for (int c = column - before; c <= column + after; ++c)
                if (r >= 0 && r < height && c >= 0 && c < width)
                    pixels[static_cast<size_t>(r) * width + c] = 7;
    };
    auto piece = [&](int c, double y0, bool point0, double y1, bool point1) {
        if (c != column) {
            fill();
            column = c;
            lo = hi = y0;
            anyPoint = false;
        }
        lo = std::min({lo, y0, y1});
        hi = std::max({hi, y0, y1});
        for (auto [y, isPoint] : {std::pair{y0, point0}, std::pair{y1, point1}}) {
            if (!isPoint)
                continue;
            pointLo = anyPoint ? std::min(pointLo, y) : y;
            pointHi = anyPoint ? std::max(pointHi, y) : y;
            anyPoint = true;
        }
    };
    if (points.size() == 1 && points[0].x >= 0 && points[0].x < width)
        piece(static_cast<int>(points[0].x), points[0].y, true, points[0].y, true);
    for (size_t k = 1; k < points.size(); ++k) {
        ChartPoint a = points[k - 1], b = points[k];
        if (b.x < a.x)
            std::swap(a, b);
        if (b.x < 0 || a.x >= width)
            continue;
        const int first = static_cast<int>(std::floor(std::max(a.x, 0.0)));
        const int last = static_cast<int>(std::floor(std::min(b.x, width - 0.5)));
        if (a.x == b.x) {  // upright
            piece(first, a.y, true, b.y, true);
            continue;
        }
        auto at = [&](double x) {
            return x == a.x ? a.y : x == b.x ? b.y : a.y + (x - a.x) * ((b.y - a.y) / (b.x - a.x));
        };
        for (int c = first; c <= last; ++c) {
            const double x0 = std::max(a.x, double(c)), x1 = std::min(b.x, c + 1.0);
            piece(c, at(x0), x0 == a.x, at(x1), x1 == b.x);
        }
    }
    fill();
    return pixels;
}

// Lines as charts draw them, left to right with up to three points a
// column, and a few that go back, stand upright or leap columns; points
// fall on column edges, row edges and row centres now and then, and some
// beyond the canvas.
std::vector<ChartPoint> SomeLine(std::mt19937& random, int width, int height, bool ascending)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<ChartPoint> points;
    double x = -3 + 3 * unit(random);
    while (x < width + 3) {
        double y = -4 + (height + 8) * unit(random);
        const double onRow = unit(random);
        if (onRow < 0.15)
            y = std::floor(y) + 0.5;  // on a row's centre
        else if (onRow < 0.25)
            y = std::floor(y);  // on a row's edge
        points.push_back({x, y});
        const double roll = unit(random);
        if (roll < 0.1)
            x = std::floor(x) + 1 + static_cast<int>(random() % 3);  // on a column's edge
        else if (roll < 0.15 && !ascending)
            x -= 2 * unit(random);
        else if (roll > 0.95)
            ;  // upright
        else
            x += 1.5 * unit(random) * unit(random);
    }
    return points;
}

TEST(ChartRaster, CoversWhatThePlainWayCovers)
{
    std::mt19937 random(1853);
    for (int round = 0; round < 600; ++round) {
        const int width = 24 + round % 17, height = 16 + round % 9, thickness = 1 + round % 3;
        const std::vector<ChartPoint> line = SomeLine(random, width, height, round % 4 != 0);
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
        DrawChartLine({pixels.data(), width, height, width}, line.data(), line.size(), 7, thickness);
        ASSERT_EQ(pixels, CoveredPlainly(width, height, line, thickness)) << "round " << round;
    }
}

// Parts of a picture are drawn apart, each band of columns with every line
// in turn: the picture comes out as if drawn whole, line after line, so a
// band writes nothing outside itself.
TEST(ChartRaster, BandsDrawnApartMakeTheWholePicture)
{
    std::mt19937 random(71853);
    for (int round = 0; round < 400; ++round) {
        const int width = 30 + round % 23, height = 20, thickness = 1 + round % 3;
        const bool ascending = round % 5 != 0;
        std::vector<std::vector<ChartPoint>> lines;
        for (int k = 0; k < 3; ++k)
            lines.push_back(SomeLine(random, width, height, ascending));
        std::vector<uint32_t> whole(static_cast<size_t>(width) * height, 0), bands = whole;
        for (size_t k = 0; k < lines.size(); ++k)
            DrawChartLine({whole.data(), width, height, width}, lines[k].data(), lines[k].size(),
                          static_cast<uint32_t>(k + 1), thickness);
        // Bands of 1 to 8 columns, drawn in no particular order.
        std::vector<std::pair<int, int>> cuts;
        for (int from = 0; from < width;) {
            const int to = std::min(width, from + 1 + static_cast<int>(random() % 8));
            cuts.emplace_back(from, to);
            from = to;
        }
        std::shuffle(cuts.begin(), cuts.end(), random);
        for (auto [from, to] : cuts)
            for (size_t k = 0; k < lines.size(); ++k)
                DrawChartLineColumns({bands.data(), width, height, width}, lines[k].data(), lines[k].size(),
                                     static_cast<uint32_t>(k + 1), thickness, from, to);
        ASSERT_EQ(bands, whole) << "round " << round;
    }
}

}  // namespace
