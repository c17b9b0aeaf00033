// One poll tick on a 14-device daisy chain as the program runs it: the main
// window connected to the simulated chain and showing its MAIN page, the
// chart window open, the activity log, GUI updates and chart updates on.
// The tick runs "Scan All" and the four read-alls (voltages, temperatures,
// faults, setups); then the event loop runs until the windows have painted
// what the tick changed. The clock is a fake one, so the pipe's waits for
// the board cost nothing: what is measured is the host's own work.

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"

#include <QAction>
#include <QCoreApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

using namespace kvb;

struct PolledWindows {
    test::TestServices t;
    test::SimulatedChain sim{t};
    AppContext context{t.services, sim.usb};
    std::unique_ptr<ui::FrmStartup> form;
    ui::MainKvb71853* main = nullptr;
    QTimer* pollTimer = nullptr;

    // Powers up, connects a 14-device chain, shows MAIN and the charts and
    // ticks "ENABLE POLLING" for the scan and the four read-alls.
    bool start()
    {
        sim.chain->setDevices(0, 14);
        form = std::make_unique<ui::FrmStartup>(context);
        test::Choose(test::Control<QComboBox>(form.get(), "cboDeviceSelect"), 1);
        main = form->mainWindow();
        if (!main)
            return false;
        auto* dialog = main->findChild<QDialog*>("frmManualConfig");
        if (!dialog)
            return false;
        dialog->findChild<QRadioButton*>("optDaisyChain_1")->setChecked(true);
        dialog->findChild<QRadioButton*>("optDevices_0")->setChecked(true);
        auto* size = dialog->findChild<QLineEdit*>("txtStackSize");
        size->setText("14");
        emit size->textEdited(size->text());
        dialog->accept();
        if (context.link.DeviceCount1 != 14)
            return false;
        main->show();
        auto* tabs = test::Control<QTabBar>(main, "TabStrip1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == "MAIN")
                tabs->setCurrentIndex(i);
        test::Control<QPushButton>(main, "cmdShowChart")->click();
        for (const char* option : {"mnuShowActivityLogs", "mnuUpdateGUIControls", "mnuUpdateChart"})
            test::Control<QAction>(main, option)->setChecked(true);

        Poller& poller = context.polling;
        poller.boxes.upr = false;
        poller.boxes.startPoll = false;
        poller.options = PollOptions{};
        for (PollAction a : {PollAction::ScanAll, PollAction::ReadVolts, PollAction::ReadTemps,
                             PollAction::ReadFaults, PollAction::ReadSetups})
            poller.options[a] = true;
        test::Control<QCheckBox>(main, "chkEnablePolling")->setChecked(true);
        // The ticks are the benchmark's: the running poll timer only keeps
        // the commands going.
        pollTimer = test::Control<QTimer>(main, "Timer2");
        pollTimer->blockSignals(true);
        settle();
        return pollTimer->isActive();
    }
    void settle()
    {
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    void tick()
    {
        context.polling.Timer2_Timer();
        settle();
    }
};

void PollTickWithWindows(benchmark::State& state)
{
    PolledWindows w;
    if (!w.start()) {
        state.SkipWithError("the simulated chain did not connect");
        return;
    }
    w.tick();  // the first tick fills the pages
    const size_t before = w.sim.chain->received.size();
    w.tick();
    state.counters["frames"] = static_cast<double>(w.sim.chain->received.size() - before);
    for (auto _ : state) {
        w.sim.chain->received.clear();
        w.tick();
    }
    // The answers must have reached the image and the log, or the timing
    // means nothing.
    if (w.context.link.image.at(0, 14, 65) == 0 || w.context.link.log.comErrors.lineCount() != 0 ||
        test::Control<QPlainTextEdit>(w.main, "txtLog")->document()->isEmpty() ||
        !w.pollTimer->isActive())
        state.SkipWithError("the tick did not fill the register image and the log");
}
BENCHMARK(PollTickWithWindows)->Unit(benchmark::kMillisecond);

}  // namespace
