#pragma once
// The balance controls and dialogs over a chip link wired to the simulated
// board and chain, with the balance value registers marked read/write.

#include "app/BalanceRegisters.h"
#include "app/BalanceSequence.h"
#include "app/CellBalancing.h"
#include "app/CommandFixture.h"

#include <functional>

namespace kvb::test {

struct BalanceFixture : CommandFixture {
    BalanceStatusTable& banks = link.image.banks;
    bool balanceComboSync = false;
    CellBalancing balancing{link, polling, balanceComboSync, t.services};
    BalanceSequence sequence{link, banks, t.services};
    BalanceRegisters values{link, t.services};

    // The window's balance controls, each step played by what a test puts
    // in it (nothing by default).
    struct ScriptedBalancingView final : CellBalancingView {
        std::function<void()> enableCellButtonsStep, showSettingsFromImageStep,
            showSequenceDialogStep, refreshDeviceMenuStep, relayoutTabStep;
        static void run(const std::function<void()>& step)
        {
            if (step)
                step();
        }
        void disableCellButtons() override {}
        void enableCellButtons() override { run(enableCellButtonsStep); }
        void refreshCellButtons() override {}
        void showSettingsFromImage() override { run(showSettingsFromImageStep); }
        void showRegistersDialog() override {}
        void showSequenceDialog() override { run(showSequenceDialogStep); }
        void refreshDeviceMenu() override { run(refreshDeviceMenuStep); }
        void relayoutTab() override { run(relayoutTabStep); }
    } balancingView;

    BalanceFixture()
    {
        balancing.attachView(&balancingView);
        for (int reg = 160; reg <= 183; ++reg)
            link.definitions.regs[0][reg].kind = link::KindReadWrite;
    }

    sim::SimChipChain::Device& chip(int n) { return chain.device(0, n); }
    int16_t& chipReg(int n, int reg) { return chip(n).regs[reg]; }

    // The "wrt," lines logged since the last call.
    std::vector<std::string> takeWrites()
    {
        std::vector<std::string> w = lines("wrt,");
        std::vector<std::string> fresh(w.begin() + static_cast<long>(seenWrites_), w.end());
        seenWrites_ = w.size();
        return fresh;
    }

private:
    size_t seenWrites_ = 0;
};

}  // namespace kvb::test
