#pragma once
// The connection: the accepted link configuration and the steps that take
// the link from nothing configured to devices found and back (Connect,
// Disconnect, the configuration dialog's OK and the "Manual Configuration..."
// menu), and the reset that starts an evaluation session. It drives the chip
// link's start-up, the unprompted-response check's switch and the status
// lamps; the main window calls it and follows it through `ConnectionView`,
// changing only its own controls.

#include "app/ManualConfig.h"

#include <utility>
#include <string>

namespace kvb {

class Poller;
struct Services;

namespace board {
class HidTransport;
class ChipPipe;
}  // namespace board

namespace panel {
class SpiModel;
}

namespace data {
class ChartModel;
}

namespace link {
class ChipLink;
}

// What the window does at each step. The window lives shorter than the
// controller: it attaches itself while it is open, and without it the steps
// show nothing.
class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    // The configuration dialog, shown without waiting / modally (the modal
    // showing returns once OK or Cancel has run).
    virtual void showConfigDialog() = 0;
    virtual void runConfigDialog() = 0;
    // The unprompted-response buttons and their frame.
    virtual void showUprControls(bool shown) = 0;
    // A board search starts: the SPI menu entries become usable.
    virtual void searching() = 0;
    // The daisy-chain control groups follow the link mode.
    virtual void linkMode(bool daisyChain) = 0;
    // The window's controls for the connected and the not-connected state;
    // `withoutDevices` also disables the device-type options and refreshes
    // the device menus.
    virtual void connected(bool uprPolling) = 0;
    virtual void notConnected(bool withoutDevices) = 0;
    // An accepted configuration: the raw sender's device-type options take
    // it, the register tabs are rebuilt (a missing definition file ends the
    // program there) and the caption names the mode.
    virtual void configurationTaken(const ManualConfigResult& result) = 0;
    virtual void rebuildRegisterTabs() = 0;
    virtual void setCaption(const std::string& caption) = 0;
};

class ConnectionController {
public:
    ConnectionController(link::ChipLink& link, board::HidTransport& transport,
                         board::ChipPipe& pipe, panel::SpiModel& spi, data::ChartModel& charts,
                         Poller& polling, Services& services);
    ConnectionController(const ConnectionController&) = delete;
    ConnectionController& operator=(const ConnectionController&) = delete;

    // The last accepted "BMS Configuration"; the dialog writes its choices
    // here.
    ManualConfig config;
    // The main window, or none.
    void attachView(ConnectionView* view) { view_ = view; }
    ConnectionView* view() const { return view_; }

    // The main window's load: reads the board's SPI clock list (raw SPI
    // writes read back), then puts the pipe, the board's connection, the
    // fault latch, the temperature reference and the charts in the state of
    // a new session. The board opened by the start-up form is not yet a
    // connection.
    void startSession();
    // The main window's close: polling's timer stops, the charts take no
    // more samples and a connected board is closed.
    void endSession();

    // Each handler below reports an unexpected failure in its box, "Error in
    // <handler> Err.Number = ..., Err.Description = ...", and ends there: the
    // window keeps the state reached so far.

    // cmdConnect_Click: without an accepted configuration the dialog comes
    // up (its OK connects); otherwise a new board search, set-up and
    // identification. A link found stops polling; unprompted-response
    // polling goes on for a chain and off for a single device or when
    // nothing is found (the board then stays open).
    void Connect();
    // cmdDisconnect_Click: unprompted-response polling disabled, the
    // board closed; the device counts stay as they were.
    void Disconnect();
    // mnuManualConfig_Click: the dialog modally, then the link mode and
    // counts as chosen, without set-up or identification, and
    // unprompted-response polling off.
    void ConfigureFromMenu();
    // The configuration dialog's OKButton_Click, once the dialog is hidden:
    // stores the choices in `config`, lets pending events run once, rebuilds
    // the register tabs, names the mode in the caption and connects. After a
    // failure of its own the configuration counts as not accepted, so
    // Connect shows the dialog again.
    void OKButton_Click(const ManualConfigChoices& choices);
    // The dialog's CancelButton_Click: the refusal is recorded; the accepted
    // configuration stays.
    void CancelButton_Click();
    // The raw sender's offline framing option: without a board the link's
    // mode follows it; with one it stays as the connection set it.
    void TakeOfflineFraming(bool daisyChain);

private:
    void connectSteps();
    void configureFromMenuSteps();
    void takeConfiguration(const ManualConfigChoices& choices);
    bool searchBoard();
    void applyLinkMode(bool daisyChain);
    void showConnected(bool uprPolling);
    void showNotConnected(bool withoutDevices);
    void setUsbLamp(int colour);

    link::ChipLink& link_;
    board::HidTransport& transport_;
    board::ChipPipe& pipe_;
    panel::SpiModel& spi_;
    data::ChartModel& charts_;
    Poller& polling_;
    Services& services_;
    ConnectionView* view_ = nullptr;
};

}  // namespace kvb
