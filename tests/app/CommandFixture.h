#pragma once
// The register-row actions, chip commands and unprompted-response check
// over a chip link wired to the simulated board and chain.

#include "link/LinkFixture.h"
#include "app/ChipCommands.h"
#include "app/RegisterRowActions.h"
#include "app/RegisterRows.h"
#include "app/UprBuffers.h"

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

    CommandFixture()
    {
        commands.hooks.updateChart = [this] { return updateChart; };
        commands.hooks.addChartSample = [this] { ++chartSamples; };
        commands.hooks.relayoutTab = [this] { ++relayouts; };
        upr.selectTab = [this](int position) { selectedTabs.push_back(position); };
    }

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
};

}  // namespace kvb::test
