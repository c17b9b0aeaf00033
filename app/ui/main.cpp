// The program's entry: binds the core to Qt, picks the real USB backend or
// the simulated board, and shows the start-up form (or, with --bench, the
// bench-instrument panel).

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/QtServices.h"
#include "app/ui/Screenshot.h"
#include "bench/ui/FrmInst.h"
#include "board/HidapiBackend.h"
#include "core/AppInfo.h"
#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "sim/SimGpibBus.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kvb::kProgramTitle);

    QCommandLineParser parser;
    parser.setApplicationDescription(kvb::kProgramDescription);
    parser.addHelpOption();
    QCommandLineOption simulated("simulated-board",
                                 "Run against a simulated evaluation board and chip chain.");
    parser.addOption(simulated);
    QCommandLineOption bench("bench",
                             "Open the bench-instrument panel (GPIB); with --simulated-board "
                             "the instruments are simulated too.");
    parser.addOption(bench);
    QCommandLineOption screenshot("screenshot",
                                  "Render the main window, connected to the simulated chain, "
                                  "to a PNG file and quit (use with --simulated-board).",
                                  "file");
    parser.addOption(screenshot);
    QCommandLineOption screenshotTab("screenshot-tab", "The tab shown in the screenshot.", "tab");
    parser.addOption(screenshotTab);
    QCommandLineOption screenshotWindow("screenshot-window",
                                        "The window in the screenshot: main, panel or chart.",
                                        "window", "main");
    parser.addOption(screenshotWindow);
    parser.process(app);

    kvb::ui::QtServices services;

    std::unique_ptr<kvb::board::HidBackend> backend;
    std::shared_ptr<kvb::sim::SimBoard> simBoard;
    if (parser.isSet(simulated)) {
        auto sim = std::make_unique<kvb::sim::SimHidBackend>();
        simBoard = sim->plug(services.clock);
        backend = std::move(sim);
    } else {
        backend = std::make_unique<kvb::board::HidapiBackend>();
    }

    kvb::AppContext context(services.services, *backend);
    context.programFolder = QCoreApplication::applicationDirPath().toStdString();
    // The simulated board carries three type-0 and two type-1 devices that
    // know the registers of the shipped register-definition file.
    std::unique_ptr<kvb::sim::SimChipChain> simChain;
    if (simBoard) {
        simChain = std::make_unique<kvb::sim::SimChipChain>(kvb::sim::SimRegisterMap::Load(
            context.programFolder + "/" + kvb::link::kTabdefsFileName));
        simChain->fitDefaultDevices();
        simBoard->setChipBus(simChain.get());
    }
    if (services.programEnd.ending())
        return 0;

    if (parser.isSet(bench)) {
        kvb::sim::SimGpibBus simulatedGpib;
        if (parser.isSet(simulated))
            context.instruments.useDriver(simulatedGpib);
        context.instruments.programFolder = QCoreApplication::applicationDirPath().toStdString();
        kvb::ui::FrmInst panel(context.instruments);
        panel.show();
        int code = QApplication::exec();
        services.programEnd.end();
        return code;
    }

    if (parser.isSet(screenshot)) {
        bool saved = kvb::ui::RenderMainWindow(context, parser.value(screenshot).toStdString(), 3,
                                               parser.value(screenshotTab).toStdString(),
                                               parser.value(screenshotWindow).toStdString());
        services.programEnd.end();
        return saved ? 0 : 1;
    }

    kvb::ui::FrmStartup startup(context);
    if (services.programEnd.ending())
        return 0;
    startup.show();
    int code = QApplication::exec();
    services.programEnd.end();
    return code;
}
