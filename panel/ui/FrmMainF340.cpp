#include "panel/ui/FrmMainF340.h"

#include "panel/BoardPanel.h"
#include "panel/ByteGrid.h"
#include "board/ChipPipe.h"
#include "board/HidTransport.h"
#include "panel/ui/KeyFilter.h"
#include "core/ui/ScreenFit.h"
#include "core/ui/Widgets.h"
#include "core/ControlNames.h"
#include "core/Hex.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QShowEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace kvb::ui {

using panel::Lamp;
using panel::PortRow;

FrmMainF340::FrmMainF340(panel::BoardPanel& panel, panel::ByteGrid& grid, board::ChipPipe& pipe,
                         board::HidTransport& transport, QWidget* parent)
    : QMainWindow(parent),
      panel_(panel),
      grid_(grid),
      pipe_(pipe),
      transport_(transport),
      hexKeys_(new KeyFilter(KeyFilter::Kind::Hex, true, this)),
      decKeys_(new KeyFilter(KeyFilter::Kind::Dec, true, this)),
      hexKeysOnly_(new KeyFilter(KeyFilter::Kind::Hex, false, this)),
      decKeysOnly_(new KeyFilter(KeyFilter::Kind::Dec, false, this))
{
    setObjectName("frmMainF340");
    setWindowTitle("HID Firmware Basic I/O ");

    QMenu* mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    QAction* mnuExit = mnuFile->addAction("E&xit");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, [this] { close(); });

    // Everything below the menu bar; on a screen too low for it, it scrolls
    // down inside the window.
    auto* central = new QWidget;
    central->setObjectName("panelContent");
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildTopBar());
    auto* body = new QHBoxLayout;
    gridBox_ = buildGrid();
    body->addWidget(gridBox_);
    tabs_ = new QTabWidget(central);
    tabs_->setObjectName("SSTab1");
    tabs_->addTab(buildMcbSpiPage(), "MCB I/O and SPI");
    tabs_->addTab(buildGpioPage(), "GPIO");
    tabs_->addTab(buildSfrPage(), "SFR");
    tabs_->addTab(buildI2cPage(), "I2C");
    tabs_->addTab(buildAdcPage(), "ADC");
    tabs_->addTab(buildAdcChipPage(), "ADC KVB40917");
    tabs_->setCurrentIndex(3);  // the I2C page beside the register grid first
    body->addWidget(tabs_, 1);
    layout->addLayout(body, 1);
    auto* scroll = new ScrollingContent(central, this);
    setCentralWidget(scroll);
    OpenOnScreen(this, scroll);

    panel_.notices.changed = [this] { refresh(); };
    panel_.notices.busyChanged = [this](bool busy) { setBusy(busy); };
    grid_.changed = [this] { whenShown(&FrmMainF340::refreshGrid); };
    panel_.pipeView.displayChanged = [this] { whenShown(&FrmMainF340::refreshSpi); };
    pipe_.busyChanged = [this](bool busy) { cmdMCBSPI_->setEnabled(!busy); };
    refresh();
}

FrmMainF340::~FrmMainF340()
{
    panel_.notices.changed = nullptr;
    panel_.notices.busyChanged = nullptr;
    grid_.changed = nullptr;
    panel_.pipeView.displayChanged = nullptr;
    pipe_.busyChanged = nullptr;
}

bool FrmMainF340::load()
{
    bool opened = panel_.load();
    refresh();
    return opened;
}

void FrmMainF340::whenShown(void (FrmMainF340::*refreshControls)())
{
    if (isVisible())
        (this->*refreshControls)();
    else
        gridStale_ = true;
}

void FrmMainF340::showEvent(QShowEvent* event)
{
    if (gridStale_) {
        gridStale_ = false;
        refreshSpi();  // with the grid
    }
    QMainWindow::showEvent(event);
}

void FrmMainF340::closeEvent(QCloseEvent* event)
{
    // Unloading the board panel ends the program; its shutdown closes the
    // board first.
    event->accept();
    panel_.unload();
}

void FrmMainF340::setBusy(bool busy)
{
    tabs_->setEnabled(!busy);
    gridBox_->setEnabled(!busy);
}

void FrmMainF340::paintLamp(QLabel* lamp, Lamp colour)
{
    static const char* const names[] = {"off", "lightgreen", "darkgreen", "lightred", "black"};
    static const char* const colours[] = {"#7f7f7f", "#00ff00", "#008000", "#ff0000", "#000000"};
    const int i = static_cast<int>(colour);
    if (lamp->property("lamp").toString() == names[i])
        return;
    lamp->setProperty("lamp", names[i]);
    lamp->setStyleSheet(QString("background-color: %1; border: 1px solid gray;").arg(colours[i]));
}

// --- Top bar: board instance, LEDs, firmware, quit ------------------------

QWidget* FrmMainF340::buildTopBar()
{
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    auto* fraEVBinstance = makeFrame(bar, "fraEVBinstance", "Evaluation Board Instance");
    auto* instanceLayout = new QHBoxLayout(fraEVBinstance);
    cboEVBinstance_ = new QComboBox(fraEVBinstance);
    cboEVBinstance_->setObjectName("cboEVBinstance");
    connect(cboEVBinstance_, &QComboBox::activated, this, [this](int index) {
        panel_.selectInstance(index);
    });
    instanceLayout->addWidget(cboEVBinstance_);
    const char* ledCaptions[] = {"LED Red", "LED Green"};
    for (int i = 0; i < 2; ++i) {
        chkLED_[i] = makeCheck(fraEVBinstance, ElementName<QString>("chkLED", i), ledCaptions[i],
                               [this, i](bool on) { panel_.setLed(i, on); });
        instanceLayout->addWidget(chkLED_[i]);
    }
    layout->addWidget(fraEVBinstance);

    layout->addWidget(makeButton(bar, "cmdReconnect", "Reconnect", [this] {
        transport_.InitUsbHidConnection();
        refresh();
    }));
    layout->addWidget(makeButton(bar, "cmdFirmwareVersion", "Firmware Version",
                                 [this] { panel_.readFirmwareVersion(); }));
    lblFirmwareVersion_ = makeLabel(bar, "lblFirmwareVersion", "");
    txtFirmwareVersion_ = makeEdit(bar, "txtFirmwareVersion", "", 260);
    layout->addWidget(lblFirmwareVersion_);
    layout->addWidget(txtFirmwareVersion_);
    layout->addStretch(1);
    layout->addWidget(makeButton(bar, "cmdQuit", "Quit", [this] { close(); }));
    return bar;
}

// --- The byte grid and its boxes --------------------------------------------

QWidget* FrmMainF340::buildGrid()
{
    auto* box = new QWidget(this);
    auto* outer = new QVBoxLayout(box);
    auto* boxes = new QGridLayout;
    {
        int row = 0;
        auto addPair = [&](const char* caption, QLineEdit*& edit, const char* name,
                           const std::string& text, std::string& target, KeyFilter* filter) {
            boxes->addWidget(new QLabel(caption, box), row, 0);
            edit = makeEdit(box, name, qs(text), 50);
            bindText(edit, target);
            if (filter)
                edit->installEventFilter(filter);
            boxes->addWidget(edit, row++, 1);
        };
        panel::ByteGrid& grid = grid_;
        addPair("Device Address", txtSlaveAddress_, "txtSlaveAddress", grid.slaveAddress,
                grid.slaveAddress, nullptr);
        showReadOnly(txtSlaveAddress_);
        addPair("Number of Regs to Read", txtNumToRead_, "txtNumToRead", grid.numToRead,
                grid.numToRead, decKeys_);
        addPair("Starting Reg Read", txtStartRegRD_, "txtStartRegRD", grid.startRegRd,
                grid.startRegRd, nullptr);
        addPair("Number of Bytes to Write", txtNumToWrite_, "txtNumToWrite", grid.numToWrite,
                grid.numToWrite, decKeys_);
        addPair("Starting Reg Write", txtStartRegWr_, "txtStartRegWr", grid.startRegWr,
                grid.startRegWr, nullptr);
        connect(txtNumToRead_, &QLineEdit::editingFinished, this, [this] {
            panel::I2cTransferModel::clampCount(grid_.numToRead);
            refreshGrid();
        });
        connect(txtNumToWrite_, &QLineEdit::editingFinished, this, [this] {
            panel::I2cTransferModel::clampCount(grid_.numToWrite);
            refreshGrid();
        });
        chkRandom_ = makeCheck(box, "chkRandom", "Random Read/Write",
                               [this](bool on) { grid_.random = on; });
        chkFileWriteData_ = makeCheck(box, "chkFileWriteData", "Load Write Data from File",
                                      [this](bool on) { grid_.fileWriteData = on; });
        boxes->addWidget(chkRandom_, row++, 0, 1, 2);
        boxes->addWidget(chkFileWriteData_, row++, 0, 1, 2);
    }
    outer->addLayout(boxes);

    auto* rows = new QWidget(box);
    auto* rowLayout = new QGridLayout(rows);
    rowLayout->setSpacing(1);
    for (int r = 0; r < panel::ByteGrid::kRows; ++r) {
        const int column = (r / 16) * 3;
        const int line = r % 16;
        auto* address = makeLabel(rows, ElementName<QString>("lblRegAddr", r),
                                  qs(ByteToHex2(static_cast<uint8_t>(r))));
        address->setAlignment(Qt::AlignCenter);
        txtWriteVal_[r] = makeEdit(rows, ElementName<QString>("txtWriteVal", r), "00", 30);
        txtWriteVal_[r]->setMaxLength(2);
        txtWriteVal_[r]->setAlignment(Qt::AlignCenter);
        txtWriteVal_[r]->installEventFilter(hexKeys_);
        bindText(txtWriteVal_[r], grid_.writeVal[r]);
        txtReadVal_[r] = makeEdit(rows, ElementName<QString>("txtReadVal", r), "", 30);
        txtReadVal_[r]->setEnabled(false);
        txtReadVal_[r]->setAlignment(Qt::AlignCenter);
        rowLayout->addWidget(address, line, column);
        rowLayout->addWidget(txtWriteVal_[r], line, column + 1);
        rowLayout->addWidget(txtReadVal_[r], line, column + 2);
    }
    outer->addWidget(rows);
    outer->addStretch(1);
    return box;
}

}  // namespace kvb::ui
