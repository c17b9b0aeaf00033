#include "app/ui/FrmStartup.h"

#include "app/AppContext.h"
#include "app/StartupSequence.h"
#include "app/ui/FrmAbout2.h"
#include "app/ui/Lamp.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/Widgets.h"
#include "core/ui/ScreenFit.h"
#include "panel/ui/FrmMainF340.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace kvb::ui {

namespace {
constexpr int kBrightGreen = 0x00FF00;
constexpr int kDarkGreen = 0x008000;
}  // namespace

FrmStartup::FrmStartup(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context)
{
    OpenOnScreen(this);
    setObjectName("frmStartup");
    setWindowTitle("Morvane KVB71853 Evaluation Software Startup ");
    auto* central = new QWidget(this);
    setCentralWidget(central);

    QAction* about = menuBar()->addAction("About");
    about->setObjectName("mnuAbout");
    connect(about, &QAction::triggered, this, [this] { mnuAbout_Click(); });

    Label1 = Named<QLabel>(central, "Label1",
                           "Connect Evaluation Board, then select Option :Connected");
    PlaceTwips(Label1, 240, 240, 6000, 300);
    cboDeviceSelect = Named<QComboBox>(central, "cboDeviceSelect");
    cboDeviceSelect->setPlaceholderText("Select Option");
    PlaceTwips(cboDeviceSelect, 240, 660, 4800, 360);
    Label2 = Named<QLabel>(central, "Label2", "<- Select Option");
    PlaceTwips(Label2, 5160, 700, 1800, 300);
    Shpstatus = new Lamp("Shpstatus_2", central);
    PlaceTwips(Shpstatus, 7100, 700, 300, 300);
    Shpstatus->setColour(kBrightGreen);
    lblAction = Named<QLabel>(central, "lblAction", "");
    lblAction->setWordWrap(true);
    PlaceTwips(lblAction, 240, 1200, 7200, 600);
    Command1 = Named<QPushButton>(central, "Command1", "Show HID");
    PlaceTwips(Command1, 240, 1960, 1800, 420);
    Command3 = Named<QPushButton>(central, "Command3", "Show Battery Board  GPIO");
    PlaceTwips(Command3, 2200, 1960, 3000, 420);
    resize(Twips(7800), Twips(3200));

    Timer1 = Named<QTimer>(this, "Timer1");
    Timer1->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

    // Form load: the two entries, then entry 0, whose selection loads the
    // board panel (and opens the board) before the form is first shown.
    cboDeviceSelect->addItem("--  --  --  --  --");
    cboDeviceSelect->addItem("KVB71853 Evaluation Board Connected");
    cboDeviceSelect->setCurrentIndex(0);
    cboDeviceSelect_Click();
    connect(cboDeviceSelect, &QComboBox::activated, this, [this](int) { cboDeviceSelect_Click(); });
    Timer1->start();
}

FrmStartup::~FrmStartup() = default;

FrmMainF340& FrmStartup::boardPanel()
{
    if (!panel_) {
        panel_ = std::make_unique<FrmMainF340>(context_.panel, context_.grid, context_.pipe,
                                               context_.transport);
        panel_->load();
    }
    return *panel_;
}

FrmAbout2& FrmStartup::aboutBox()
{
    if (!about_) {
        AboutHooks hooks;
        hooks.evbConnected = [this] { return context_.transport.EvbConnected; };
        hooks.readFirmware = [this] {
            context_.panel.readFirmwareVersion();
            boardPanel().refresh();
            return context_.panel.firmwareVersion;
        };
        hooks.showBoardPanel = [this] { boardPanel().show(); };
        about_ = std::make_unique<FrmAbout2>(hooks);
        // OK (or closing the box) unloads it: the next About loads a new box,
        // with its labels as at load.
        FrmAbout2* box = about_.get();
        connect(box, &QDialog::finished, this, [this, box] {
            if (about_.get() == box)
                about_.release();
            box->deleteLater();
        });
    }
    return *about_;
}

bool FrmStartup::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Timer1->start();
    return QMainWindow::event(e);
}

void FrmStartup::Timer1_Timer()
{
    lampColour_ = lampColour_ == kBrightGreen ? kDarkGreen : kBrightGreen;
    Shpstatus->setColour(lampColour_);
}

void FrmStartup::cboDeviceSelect_Click()
{
    Timer1->start();
    context_.services.pump.yield();
    boardPanel().hide();
    if (context_.services.programEnd.ending())
        return;
    const int entry = cboDeviceSelect->currentIndex();
    if (entry == 0) {
        lblAction->setVisible(false);
        return;
    }
    Timer1->stop();
    context_.services.pump.yield();
    if (entry != 1)
        return;

    lblAction->setText(
        "Initializing Power up and digital devices ... this will take a few seconds");
    lblAction->setVisible(true);
    context_.services.pump.yield();
    StartupSequence(context_.panel, context_.grid, context_.transport, context_.services).PowerUp();
    boardPanel().refresh();
    Timer1->stop();
    Shpstatus->setVisible(false);
    context_.services.pump.yield();
    hide();
    Timer1->stop();
    if (context_.services.programEnd.ending())
        return;
    if (!main_) {
        main_ = std::make_unique<MainKvb71853>(context_);
        main_->onShowAbout = [this] { mnuAbout_Click(); };
    }
    main_->show();
}

void FrmStartup::Command3_Click()
{
    boardPanel().hide();
    StartupSequence(context_.panel, context_.grid, context_.transport, context_.services)
        .BatteryBoardGpio();
    boardPanel().refresh();
    Timer1->stop();
    Shpstatus->setVisible(false);
    context_.services.pump.yield();
}

void FrmStartup::Command1_Click()
{
    boardPanel().show();
}

void FrmStartup::mnuAbout_Click()
{
    aboutBox().show();
    aboutBox().raise();
}

void FrmStartup::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    event->accept();
    context_.services.programEnd.end();
}

}  // namespace kvb::ui
