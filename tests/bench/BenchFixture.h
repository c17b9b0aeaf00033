#pragma once
// The instrument panel on the simulated GPIB bus, loaded, with scripted
// message boxes.

#include "bench/InstrumentPanel.h"
#include "sim/SimGpibBus.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace kvb::test {

class BenchTest : public ::testing::Test {
protected:
    void SetUp() override { panel.Form_Load(); }

    TestServices t;
    sim::SimGpibBus bus;
    bench::InstrumentPanel panel{t.services, bus};
    bench::GpibSession& session = panel.session;
};

}  // namespace kvb::test
