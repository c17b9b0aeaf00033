#pragma once
// A simulated board with a chip chain that knows the registers of the
// shipped register-definition file (read from the test's working folder).

#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"

#include <memory>

namespace kvb::test {

struct SimulatedChain {
    explicit SimulatedChain(TestServices& t) : board(usb.plug(t.clock))
    {
        chain = std::make_unique<sim::SimChipChain>(
            sim::SimRegisterMap::Load(std::string("./") + link::kTabdefsFileName));
        board->setChipBus(chain.get());
    }

    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    std::unique_ptr<sim::SimChipChain> chain;
};

}  // namespace kvb::test
