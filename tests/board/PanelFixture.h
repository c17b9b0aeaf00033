#pragma once
// A loaded board panel on one simulated board, for the panel model tests.

#include "app/AppContext.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>
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

    board::BoardPanel& panel() { return context->panel; }
    board::ByteGrid& grid() { return context->grid; }

    // Requests of one board command sent since the test began.
    std::vector<board::Report> sent(uint8_t code) const
    {
        std::vector<board::Report> found;
        for (const auto& r : board->requests)
            if (r[1] == code)
                found.push_back(r);
        return found;
    }

    TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    std::unique_ptr<AppContext> context;
};

}  // namespace kvb::test
