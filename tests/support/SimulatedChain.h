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
        link::LoadRegisterDefinitionFile(std::string("./") + link::kTabdefsFileName, chipDefs);
        chain = std::make_unique<sim::SimChipChain>(chipDefs);
        board->setChipBus(chain.get());
    }

    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    link::RegisterDefinitions chipDefs;
    std::unique_ptr<sim::SimChipChain> chain;
};

}  // namespace kvb::test
