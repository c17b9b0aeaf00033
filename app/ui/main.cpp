// The program's entry: binds the core to Qt, picks the real USB backend or
// the simulated board, and shows the start-up form.

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/QtServices.h"
#include "board/HidapiBackend.h"
#include "core/AppInfo.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"

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
    // The simulated board carries a chain of three type-0 devices that know
    // the registers the program reads from its register-definition file.
    std::unique_ptr<kvb::sim::SimChipChain> simChain;
    if (simBoard) {
        simChain = std::make_unique<kvb::sim::SimChipChain>(context.link.definitions);
        simChain->setDevices(0, 3);
        simBoard->setChipBus(simChain.get());
    }
    if (services.programEnd.ending())
        return 0;

    kvb::ui::FrmStartup startup(context);
    if (services.programEnd.ending())
        return 0;
    startup.show();
    int code = QApplication::exec();
    services.programEnd.end();
    return code;
}
