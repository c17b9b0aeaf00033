#pragma once
// A chip link wired to the simulated board and chip chain, both knowing the
// registers of the shipped register-definition file (each read by its own
// reader, from the test's working folder), with every hook recorded.

#include "app/BoardPrompter.h"
#include "board/ChipPipe.h"
#include "link/ChipLink.h"
#include "link/RegisterDefinitionFile.h"
#include "panel/PipeView.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvb::test {

struct LinkFixture {
    TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board = usb.plug(t.clock);
    BoardPrompter boardUser{t.services};
    board::HidTransport transport{usb, t.services, boardUser};
    panel::ByteGrid grid;
    // The pipe's own lines and its stops of polling go nowhere here: the
    // link's tests follow the link's log and polling.
    struct QuietPipeHost final : board::PipeHost {
        void logPipeLine(const std::string&) override {}
        void stopPolling() override {}
    } pipeHost;
    board::ChipPipe pipe{transport, pipeHost};
    panel::PipeView pipeView{pipe, grid};

    // The link's host and view played by the fields below; a test may put
    // its own step in place of the log box, the MAIN page's refresh or the
    // chart sample's error bits.
    struct RecordedHost final : link::LinkHost {
        LinkFixture& b;
        explicit RecordedHost(LinkFixture& fixture) : b(fixture) {}
        std::function<void(int16_t)> sampleFlagsStep;
        bool loggingActive() const override { return false; }
        void logEvent(const std::string&) override {}
        void addSampleFlags(int16_t bits) override
        {
            if (sampleFlagsStep)
                sampleFlagsStep(bits);
            else
                b.sampleFlags |= bits;
        }
        bool pauseOnNack() const override { return false; }
        bool holdPollTimer() const override { return false; }
    } host{*this};
    struct RecordedView final : link::LinkView {
        LinkFixture& b;
        explicit RecordedView(LinkFixture& fixture) : b(fixture) {}
        std::function<void(const std::string&)> appendLogStep;
        std::function<void()> refreshMainTabStep;
        void showRegisterValue(int reg, int16_t v) override { b.shownRows.push_back({reg, v}); }
        void refreshMainTab() override
        {
            if (refreshMainTabStep)
                refreshMainTabStep();
        }
        void refreshMonitorTab() override {}
        void appendLog(const std::string& text) override
        {
            if (appendLogStep)
                appendLogStep(text);
            else
                b.log += text;
        }
        void clearLog() override { b.log.clear(); }
        void appendHexLog(int, const std::string& text) override { b.hexLog.push_back(text); }
    } view{*this};

    link::ChipLink link{transport, pipe, pipeView, t.services, host};
    sim::SimChipChain chain{sim::SimRegisterMap::Load(std::string("./") + link::kTabdefsFileName)};

    std::string log;
    std::vector<std::string> hexLog;
    int16_t sampleFlags = 0;
    bool pollingTicked = false;
    std::vector<bool> pollTimer;  // every start and stop of the poll timer
    int unticks = 0;              // polling stopped for good
    std::vector<std::pair<int, int16_t>> shownRows;

    // Polling played by the fields above.
    struct RecordedPolling : link::PollControl {
        LinkFixture& b;
        explicit RecordedPolling(LinkFixture& fixture) : b(fixture) {}
        bool pollingOn() const override { return b.pollingTicked; }
        void setTimerRunning(bool running) override { b.pollTimer.push_back(running); }
        void stopPolling() override
        {
            ++b.unticks;
            b.pollingTicked = false;
            b.pollTimer.push_back(false);
        }
    } polling{*this};

    LinkFixture()
    {
        link::LoadRegisterDefinitionFile(std::string("./") + link::kTabdefsFileName, link.definitions);
        board->setChipBus(&chain);
        link.attachPolling(&polling);
        link.attachView(&view);
    }

    // Connects as the connect button does, for a daisy chain or a single
    // device, with the given devices fitted.
    bool connect(bool daisy, int type0, int type1 = 0)
    {
        chain.setDevices(0, type0);
        chain.setDevices(1, type1);
        link.takeGpioSetupByte(daisy ? 8 : 0);
        link.SetFittedParts(type1 > 0, link.PartName1, "KVB53961");
        pipe.setPipeCommandCode(daisy ? board::HidSpiPipeDaisyChain : board::HidSpiPipe);
        return link.InitializeDriver() && link.InitializeEvb();
    }

    // Reads one register as a register row's Read button does; true when
    // it was answered without a communication error.
    bool readReg(uint8_t dev, uint8_t cat, uint8_t adr, int16_t type = 0)
    {
        link::ChipMessage m(dev, cat, adr, 0, type);
        return link.ReadSingleReg(m);
    }

    bool logHas(const std::string& text) const { return log.find(text) != std::string::npos; }
};

}  // namespace kvb::test
