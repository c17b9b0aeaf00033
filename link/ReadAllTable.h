#pragma once
// The read-all commands: one command makes a device answer a whole register
// block, first a 4-byte frame carrying the block's last address, then
// 3-byte frames for the rest.

#include "link/RegisterModel.h"

#include <optional>

namespace kvb::link {

struct ReadAllBlock {
    int frames;       // frames in the answer, the first included
    int lastAddress;  // address carried by the first frame
};

// The block a read-all command (category, address) answers on a device type
// (any type but 0 counts as type 1); nothing for a command not in the table.
constexpr std::optional<ReadAllBlock> FindReadAllBlock(int deviceType, int category, int address)
{
    struct Row {
        int type, category, address;
        ReadAllBlock block;
    };
    constexpr Row rows[] = {
        {0, 1, 0x0F, {13, 12}},  // voltages
        {0, 1, 0x1F, {7, 22}},   // temperatures
        {0, 2, 0x0F, {7, 6}},    // faults
        {0, 2, 0x1F, {14, 29}},  // setup
        {1, 2, 0x0F, {5, 5}},    // faults
        {1, 2, 0x1F, {7, 29}},   // setup
    };
    const int type = TypeIndex(deviceType);
    for (const Row& row : rows)
        if (row.type == type && row.category == (category & 7) && row.address == address)
            return row.block;
    return std::nullopt;
}

}  // namespace kvb::link
