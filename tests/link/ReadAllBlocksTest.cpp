// The read-all commands each device type knows, row by row: how many frames
// the answer holds and the address its first frame carries.

#include "link/ReadAllTable.h"

#include <gtest/gtest.h>

using namespace kvb::link;

TEST(ReadAllBlocks, EveryCommandOfBothTypesAndNoOther)
{
    struct Row {
        int type, category, address, frames, lastAddress;
    };
    const Row rows[] = {
        {0, 1, 0x0F, 13, 12},  // voltages
        {0, 1, 0x1F, 7, 22},   // temperatures
        {0, 2, 0x0F, 7, 6},    // faults
        {0, 2, 0x1F, 14, 29},  // setup
        {1, 2, 0x0F, 5, 5},    // faults
        {1, 2, 0x1F, 7, 29},   // setup
        {2, 2, 0x0F, 5, 5},    // any type but 0 reads as type 1
        {-1, 2, 0x1F, 7, 29},
    };
    for (const Row& r : rows) {
        const auto block = FindReadAllBlock(r.type, r.category, r.address);
        ASSERT_TRUE(block) << r.type << " " << r.category << " " << r.address;
        EXPECT_EQ(block->frames, r.frames) << r.type << " " << r.category << " " << r.address;
        EXPECT_EQ(block->lastAddress, r.lastAddress)
            << r.type << " " << r.category << " " << r.address;
    }

    // Neighbours of the rows are no read-all commands: type 1 has no volts
    // or temperatures block, and the other pages and addresses none at all.
    const Row none[] = {{1, 1, 0x0F, 0, 0}, {1, 1, 0x1F, 0, 0}, {0, 0, 0x0F, 0, 0},
                        {0, 3, 0x0F, 0, 0}, {0, 1, 0x0E, 0, 0}, {0, 1, 0x10, 0, 0},
                        {0, 2, 0x1E, 0, 0}, {0, 2, 0x2F, 0, 0}};
    for (const Row& r : none)
        EXPECT_FALSE(FindReadAllBlock(r.type, r.category, r.address))
            << r.type << " " << r.category << " " << r.address;
}
