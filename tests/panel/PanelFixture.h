#pragma once
// A loaded board panel on one simulated board, for the panel model tests.

#include "app/AppContext.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kvb::test {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        board = usb.plug(t.clock);
        context = std::make_unique<AppContext>(t.services, usb);
        ASSERT_TRUE(panel().load());
        board->requests.clear();
    }

    panel::BoardPanel& panel() { return context->panel; }
    panel::ByteGrid& grid() { return context->grid; }

    // Requests of one board command sent since the test began.
    std::vector<board::Report> sent(uint8_t code) const
    {
        std::vector<board::Report> found;
        for (const auto& r : board->requests)
            if (r[1] == code)
                found.push_back(r);
        return found;
    }

    // The I2C page's block write of `count` bytes to the slave's registers
    // from `start` (both as typed into their boxes, register bytes on),
    // the write boxes from row 0 holding `values`.
    void i2cBlockWrite(const std::string& start, const std::string& count,
                       const std::vector<std::string>& values = {})
    {
        grid().random = true;
        grid().startRegWr = start;
        grid().numToWrite = count;
        for (size_t row = 0; row < values.size(); ++row)
            grid().writeVal.at(row) = values[row];
        panel().i2c.blockWrite();
    }

    TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    std::unique_ptr<AppContext> context;
};

}  // namespace kvb::test
