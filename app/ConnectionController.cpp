#include "app/ConnectionController.h"

#include "app/Polling.h"
#include "board/ChipPipe.h"
#include "board/HidTransport.h"
#include "core/Services.h"
#include "core/UnexpectedError.h"
#include "data/ChartModel.h"
#include "link/ChipLink.h"
#include "link/StatusLamps.h"
#include "panel/SpiModel.h"

namespace kvb {

namespace {

// Calls a step of the window, when one is attached.
template <typename Step, typename... Given>
void run(ConnectionView* view, Step step, Given&&... args)
{
    if (view)
        (view->*step)(std::forward<Given>(args)...);
}

}  // namespace

ConnectionController::ConnectionController(link::ChipLink& link, board::HidTransport& transport,
                                           board::ChipPipe& pipe, panel::SpiModel& spi,
                                           data::ChartModel& charts, Poller& polling,
                                           Services& services)
    : link_(link),
      transport_(transport),
      pipe_(pipe),
      spi_(spi),
      charts_(charts),
      polling_(polling),
      services_(services)
{
}

void ConnectionController::startSession()
{
    spi_.getSPIclock();
    spi_.readBack = true;

    // The link state (mode, counts, part names, selection, SPI set-up) and
    // the accepted configuration start with their defaults where they are
    // declared.
    pipe_.restart(board::HidSpiPipe);
    transport_.PipeOpen = false;
    transport_.EvbConnected = false;
    link_.resetFaultLatch();
    link_.definitions.tint25 = 9217;
    // Also ends any chart run.
    charts_.ChartingStartup();
}

void ConnectionController::endSession()
{
    polling_.setTimerRunning(false);
    charts_.ChartReady = false;
    if (transport_.EvbConnected)
        link_.CloseEvbOnUnload();
}

void ConnectionController::setUsbLamp(int colour)
{
    link_.lamps.set(LampId::UsbConnected, colour);
}

void ConnectionController::showNotConnected(bool withoutDevices)
{
    setUsbLamp(kLampGrey);
    // Without devices there are no unprompted responses to read.
    link_.setUprPollingEnabled(false);
    link_.lamps.set(LampKind::Pres, 0, kLampGrey);
    link_.lamps.set(LampKind::Pres, 1, kLampGrey);
    run(view_, &ConnectionView::notConnected, withoutDevices);
}

void ConnectionController::showConnected(bool uprPolling)
{
    setUsbLamp(kLampGreen);
    // Polling starts again only when the user ticks it for the new link.
    polling_.stopPolling();
    // The poll tick reads a chain's unprompted responses.
    link_.setUprPollingEnabled(uprPolling);
    const bool present[2] = {link_.DeviceCount1 > 0, link_.DeviceCount2 > 0};
    for (int type = 0; type < 2; ++type)
        link_.lamps.set(LampKind::Pres, type, present[type] ? kLampGreen : kLampGrey);
    run(view_, &ConnectionView::connected, uprPolling);
}

bool ConnectionController::searchBoard()
{
    setUsbLamp(kLampYellow);
    run(view_, &ConnectionView::searching);
    if (link_.InitializeDriver())
        return true;
    if (!services_.programEnd.ending()) {
        link_.log.AddToEvbLog("InitializeEvb: USB communication failed. Check connections");
        showNotConnected(true);
    }
    return false;
}

void ConnectionController::applyLinkMode(bool daisyChain)
{
    // A single device has no unprompted responses to poll, and it is
    // device 1: rows, reads and writes all address it.
    if (!daisyChain) {
        link_.selectDevice(1);
        link_.DisableUprPolling();
    }
    run(view_, &ConnectionView::linkMode, daisyChain);
}

void ConnectionController::Connect()
{
    RunHandler(services_.prompter, "cmdConnect_Click", [this] { connectSteps(); });
}

void ConnectionController::connectSteps()
{
    services_.pump.yield();
    polling_.ShowStartPoll(false);
    run(view_, &ConnectionView::showUprControls, false);
    if (!config.done) {
        // The dialog's OK connects; Cancel leaves the window unconnected.
        run(view_, &ConnectionView::showConfigDialog);
        return;
    }

    if (!searchBoard())
        return;

    link_.InitializeEvb();
    const bool daisy = link_.DaisyChainMode;
    applyLinkMode(daisy);
    polling_.ShowStartPoll(daisy, !daisy);
    run(view_, &ConnectionView::showUprControls, daisy);

    if (link_.DeviceCount1 < 1 && link_.DeviceCount2 < 1) {
        link_.log.AddToEvbLog(
            "InitializeEvb: Did not find KVB5396x / 71853 IC. Check connections and power");
        // The board stays open for its panel; the window offers Connect
        // again, which starts with a new board search.
        showNotConnected(true);
        return;
    }
    showConnected(daisy);
}

void ConnectionController::Disconnect()
{
    RunHandler(services_.prompter, "cmdDisconnect_Click", [this] {
        link_.DisableUprPolling();
        transport_.CloseHidHandles();
        transport_.EvbConnected = false;
        showNotConnected(false);
    });
}

void ConnectionController::TakeOfflineFraming(bool daisyChain)
{
    if (!link_.EvbConnected())
        link_.TakeChosenLink(daisyChain, link_.DeviceCount1, link_.DeviceCount2);
}

void ConnectionController::ConfigureFromMenu()
{
    RunHandler(services_.prompter, "mnuManualConfig_Click", [this] { configureFromMenuSteps(); });
}

void ConnectionController::configureFromMenuSteps()
{
    // OK runs a full connect with identification before the dialog returns.
    run(view_, &ConnectionView::runConfigDialog);
    if (!config.accepted || services_.programEnd.ending())
        return;

    if (!searchBoard())
        return;
    const ManualConfigResult& r = config.result;
    // The mode and counts chosen in the dialog replace what the connect
    // inside its OK found: a chain whose identification misses a device is
    // driven with the count the user knows.
    link_.TakeChosenLink(r.daisyChain, r.deviceCount1, r.deviceCount2);
    applyLinkMode(r.daisyChain);
    showConnected(false);
}

void ConnectionController::OKButton_Click(const ManualConfigChoices& choices)
{
    if (!RunHandler(services_.prompter, "OKButton_Click", [&] { takeConfiguration(choices); }))
        config.failed();
}

void ConnectionController::takeConfiguration(const ManualConfigChoices& choices)
{
    config.accept(choices);
    const ManualConfigResult& r = config.result;
    pipe_.setPipeCommandCode(r.pipeCommandCode);
    link_.takeGpioSetupByte(r.gpioSetupByte);
    link_.SetFittedParts(r.secondTypePresent, r.partName1, r.partName2);
    run(view_, &ConnectionView::configurationTaken, r);
    services_.pump.yield();
    run(view_, &ConnectionView::rebuildRegisterTabs);
    if (services_.programEnd.ending())
        return;
    run(view_, &ConnectionView::setCaption, ManualConfigCaption(r.daisyChain));
    // The connect reports its own failures.
    Connect();
}

void ConnectionController::CancelButton_Click()
{
    RunHandler(services_.prompter, "CancelButton_Click", [this] { config.cancel(); });
}

}  // namespace kvb
