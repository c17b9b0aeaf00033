// The file dialogs open over the window that owns them: the main window for
// the log, the exports (the chart window's too) and the configuration files,
// the instrument panel for its instrument file.

#include "app/AppContext.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/QtServices.h"
#include "bench/InstrumentPanel.h"
#include "bench/ui/FrmInst.h"
#include "data/ui/FrmCharting.h"
#include "sim/SimGpibBus.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"

#include <QAction>
#include <QFileDialog>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace kvb;

struct SeenDialog {
    bool shown = false;
    QWidget* owner = nullptr;
    QString filter;
    QStringList filters;
};

SeenDialog DialogOf(const std::function<void()>& open)
{
    SeenDialog seen;
    seen.shown = test::WhileModal(open, [&](QWidget* window) {
        seen.owner = window->parentWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
            seen.filter = dialog->selectedNameFilter();
            seen.filters = dialog->nameFilters();
        }
    });
    return seen;
}

class FileDialogOwners : public ::testing::Test, protected test::WindowDriver {
protected:
    test::TestServices t;
    ui::QtFileDialogs dialogs;
    Services services{t.prompter, t.pump, t.clock, dialogs, t.programEnd, t.format};
    test::SimulatedChain sim{t};
};

TEST_F(FileDialogOwners, MainWindowOwnsTheLogExportAndConfigurationDialogs)
{
    AppContext context{services, sim.usb};
    context.transport.InitUsbHidConnection();
    ui::MainKvb71853 main(context);
    drive(&main);
    main.show();
    sim.chain->setDevices(0, 1);
    configure(true, 0, 1);
    ASSERT_EQ(context.link.DeviceCount1, 1);

    const std::vector<std::pair<const char*, std::function<void()>>> opens = {
        {"log", [&] { control<QPushButton>("cmdLogToFile")->click(); }},
        {"load configuration", [&] { control<QAction>("mnuLoadConfig")->trigger(); }},
        {"save configuration", [&] { control<QAction>("mnuSaveConfig")->trigger(); }},
        {"load EE", [&] { control<QAction>("mnuLoadEE")->trigger(); }},
        {"save EE", [&] { control<QAction>("mnuSaveEE")->trigger(); }},
    };
    for (const auto& [name, open] : opens) {
        const SeenDialog seen = DialogOf(open);
        ASSERT_TRUE(seen.shown) << name;
        EXPECT_EQ(seen.owner, &main) << name;
        EXPECT_EQ(seen.filter, "Text Files (*.txt)") << name;
    }

    // The chart window's export belongs to the main window as well.
    context.commands.cbReadAllVolts_Click();
    ui::FrmCharting& chart = main.chartWindow();
    chart.show();
    auto* exportButton = test::Control<QPushButton>(&chart, "cmdChartExportCsv");
    ASSERT_TRUE(exportButton->isEnabled());
    const SeenDialog seen = DialogOf([&] { exportButton->click(); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.owner, &main);
    EXPECT_EQ(seen.filter, "CSV Files (*.csv)");
}

TEST_F(FileDialogOwners, InstrumentPanelOwnsItsFileDialogWithTheCsvEntryChosen)
{
    sim::SimGpibBus bus;
    bench::InstrumentPanel panel{services, bus};
    ui::FrmInst form{panel};
    form.show();
    const SeenDialog seen =
        DialogOf([&] { test::Control<QPushButton>(&form, "cmdloadInstConfig")->click(); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.owner, &form);
    EXPECT_EQ(seen.filters, (QStringList{"All Files (*.*)", "Instrument Files(*.csv)"}));
    EXPECT_EQ(seen.filter, "Instrument Files(*.csv)");
}

}  // namespace
