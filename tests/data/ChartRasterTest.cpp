#include "data/ChartRaster.h"

#include <gtest/gtest.h>

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
}

}  // namespace
