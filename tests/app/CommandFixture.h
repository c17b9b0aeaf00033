#pragma once
// The register-row actions, chip commands and unprompted-response check
// over a chip link wired to the simulated board and chain.

#include "link/LinkFixture.h"
#include "app/ChipCommands.h"
#include "app/RegisterRowActions.h"
#include "app/RegisterRows.h"
#include "app/UprBuffers.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kvb::test {

struct CommandFixture : LinkFixture {
    RegisterRows rows{link.definitions, link.image, t.prompter};
    RegisterRowActions rowActions{link, rows, t.services};
    ChipCommands commands{link, pipe, t.services};
    UprBuffers upr{link, commands, t.services};

    int chartSamples = 0;
    bool updateChart = true;
    int relayouts = 0;
    std::vector<int> selectedTabs;

    // The main window played by the fields above; a test may put its own
    // step in place of the chart sample or of the tab selection.
    struct RecordedCommandView final : CommandView {
        CommandFixture& b;
        explicit RecordedCommandView(CommandFixture& fixture) : b(fixture) {}
        std::function<void()> addChartSampleStep;
        std::function<void(int)> selectTabStep;
        bool updateChart() const override { return b.updateChart; }
        void addChartSample() override
        {
            if (addChartSampleStep)
                addChartSampleStep();
            else
                ++b.chartSamples;
        }
        void relayoutTab() override { ++b.relayouts; }
        void selectTab(int position) override
        {
            if (selectTabStep)
                selectTabStep(position);
            else
                b.selectedTabs.push_back(position);
        }
    } commandView{*this};

    CommandFixture() { commands.attachView(&commandView); }

    // Frames the chain received since `from`, as (select byte, frame bytes).
    std::vector<sim::SimChipChain::Received> framesSince(size_t from) const
    {
        return {chain.received.begin() + static_cast<long>(from), chain.received.end()};
    }

    // Every log line that starts with `prefix`, in order.
    std::vector<std::string> lines(const std::string& prefix) const
    {
        std::vector<std::string> found;
        size_t start = 0;
        while (start < log.size()) {
            size_t end = log.find("\r\n", start);
            if (end == std::string::npos)
                end = log.size();
            std::string line = log.substr(start, end - start);
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
            start = end + 2;
        }
        return found;
    }

    // The communication-error lines without their time stamps.
    std::vector<std::string> errorLines() const
    {
        std::vector<std::string> out;
        const std::string& text = link.log.comErrors.text();
        size_t start = 0, end;
        while ((end = text.find("\r\n", start)) != std::string::npos) {
            const std::string line = text.substr(start, end - start);
            out.push_back(line.substr(std::min(line.find("    "), line.size())));
            start = end + 2;
        }
        return out;
    }
};

}  // namespace kvb::test
