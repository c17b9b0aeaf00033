#pragma once
// The link state the charts read, set by a test: a single, unconnected
// device with one device of type 0 unless the test says otherwise.

#include "data/ChartModel.h"

namespace kvb::test {

struct FakeChartLink final : data::ChartLinkState {
    explicit FakeChartLink(bool daisyChain = false, bool boardConnected = false)
        : daisy(daisyChain), connected(boardConnected)
    {
    }
    bool daisy;
    bool connected;
    int typeZero = 1;
    bool isDaisyChain() const override { return daisy; }
    bool isConnected() const override { return connected; }
    int typeZeroCount() const override { return typeZero; }
};

}  // namespace kvb::test
