#pragma once
// A chip link wired to the simulated board and chip chain, with the
// register kinds the tests need filled in by hand and every hook recorded.

#include "board/ChipPipe.h"
#include "link/ChipLink.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"

#include <memory>
#include <string>
#include <vector>

namespace kvb::test {

inline void FillTestKinds(link::RegisterDefinitions& defs)
{
    using namespace link;
    for (int type = 0; type < kDeviceTypes; ++type) {
        auto set = [&](int first, int last, int kind) {
            for (int reg = first; reg <= last; ++reg)
                defs.regs[type][reg].kind = kind;
        };
        set(64, 76, KindReadOnly);     // pack and cells
        set(80, 86, KindReadOnly);     // temperatures
        set(128, 134, KindReadWrite);  // faults
        set(144, 157, KindReadWrite);  // limits, balance, user register
        set(155, 156, KindReadOnly);   // serial number
        set(193, 210, KindCommand);    // command page
        set(143, 143, KindReadAll);
        set(159, 159, KindReadAll);
        if (type == 0) {
            set(79, 79, KindReadAll);
            set(95, 95, KindReadAll);
        }
        for (int b = 0; b < kBits; ++b)
            defs.regs[type][132].bitNames[b] = "F" + std::to_string(b);
    }
}

struct LinkBench {
    TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board = usb.plug(t.clock);
    board::HidTransport transport{usb, t.services};
    board::ByteGrid grid;
    board::ChipPipe pipe{transport, grid};
    link::ChipLink link{transport, pipe, grid, t.services};
    sim::SimChipChain chain{link.definitions};

    std::string log;
    std::vector<std::string> hexLog;
    int16_t sampleFlags = 0;
    bool pollingTicked = false;
    std::vector<bool> pollTimer;  // every change of the poll timer
    std::vector<std::pair<int, int16_t>> shownRows;

    LinkBench()
    {
        FillTestKinds(link.definitions);
        board->setChipBus(&chain);
        auto& h = link.hooks;
        h.appendLog = [this](const std::string& text) { log += text; };
        h.clearLog = [this] { log.clear(); };
        h.appendHexLog = [this](int, const std::string& text) { hexLog.push_back(text); };
        h.addSampleFlags = [this](int16_t bits) { sampleFlags |= bits; };
        h.pollingTicked = [this] { return pollingTicked; };
        h.setPollTimer = [this](bool on) { pollTimer.push_back(on); };
        h.showRegisterValue = [this](int reg, int16_t v) { shownRows.push_back({reg, v}); };
    }

    // Connects as the connect button does, for a daisy chain or a single
    // device, with the given devices fitted.
    bool connect(bool daisy, int type0, int type1 = 0)
    {
        chain.setDevices(0, type0);
        chain.setDevices(1, type1);
        link.GpioSetupByte = daisy ? 8 : 0;
        link.SecondTypePresent = type1 > 0;
        link.PartName2 = "KVB53961";
        pipe.PipeCommandCode = daisy ? board::HidSpiPipeDaisyChain : board::HidSpiPipe;
        return link.InitializeDriver() && link.InitializeEvb();
    }

    bool logHas(const std::string& text) const { return log.find(text) != std::string::npos; }
};

}  // namespace kvb::test
