// The pages of the board panel window: chip pipe and SPI, ports, SFRs, I2C,
// the microcontroller's ADC and the on-board ADC chip.

#include "panel/BoardPanel.h"
#include "panel/ui/FrmMainF340.h"
#include "panel/ui/KeyFilter.h"
#include "core/ui/Widgets.h"
#include "core/ControlNames.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace kvb::ui {

using panel::PortRow;

namespace {

// A button as narrow as its caption, where the style's usual width would
// push the row past the tab.
QPushButton* narrow(QPushButton* button)
{
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
    return button;
}

// The controls' names of one kind of port row.
struct GpioRowNames {
    PortRow row;
    const char* box;
    const char* writeLabel;
    const char* readLabel;
    const char* writeButton;
    const char* readButton;
    const char* heading;
};

constexpr GpioRowNames kGpioRowNames[] = {
    {PortRow::Data, "chkGPvalueP", "lblWrGPData", "lblRdGPData", "cmdWrGPData", "cmdRdGPData",
     "Data"},
    {PortRow::OutputMode, "chkOpenCollectorP", "lblWrOC", "lblRdOC", "cmdWrOC", "cmdRdOC", "Mode"},
    {PortRow::InputMode, "chkDINP", "lblWrGPAnalog", "lblRdGPAnalog", "cmdWrGPAnalog",
     "cmdRdGPAnalog", "Analog"},
};

// Whether the ADC multiplexer can take a pin.
bool analogPin(int port, int bit)
{
    return (port == 0 && bit == 4) || (port == 1 && (bit == 1 || bit == 2)) ||
           (port == 2 && (bit <= 3 || bit == 5 || bit == 6));
}

// A pin box's caption: only the output-mode boxes have one, which marks
// the pins the ADC multiplexer can take.
QString pinCaption(PortRow row, int port, int bit)
{
    if (row != PortRow::OutputMode)
        return {};
    if (port == 0 && bit == 3)
        return "PO.3 A";
    QString caption = QString("P%1.%2").arg(port).arg(bit);
    if (analogPin(port, bit))
        caption += " A";
    return caption;
}

}  // namespace

QWidget* FrmMainF340::buildMcbSpiPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(buildMcbFrame(page));
    layout->addWidget(buildSpiFrame(page));
    layout->addStretch(1);
    return page;
}

QWidget* FrmMainF340::buildMcbFrame(QWidget* parent)
{
    auto* mcb = makeFrame(parent, "fraMCB", "MCB I/O");
    auto* mcbLayout = new QGridLayout(mcb);
    cmdMCBSPI_ = makeButton(mcb, "cmdMCBSPI", "MCB SPI", [this] { panel_.spi.mcbSpi(); });
    mcbLayout->addWidget(cmdMCBSPI_, 0, 0);
    mcbLayout->addWidget(makeButton(mcb, "cmdTestSeq", "Custom Sequence",
                                    [this] { panel_.spi.testSequence(); }),
                         0, 1);
    auto* raw = new QHBoxLayout;
    for (int i = 0; i < 11; ++i) {
        txtWriteRaw_[i] = makeEdit(mcb, ElementName<QString>("txtWriteRaw", i), "--", 30);
        showReadOnly(txtWriteRaw_[i]);
        raw->addWidget(txtWriteRaw_[i]);
    }
    mcbLayout->addLayout(raw, 1, 0, 1, 4);
    mcbLayout->addWidget(new QLabel("ReadFile Polls", mcb), 2, 0);
    lblDwait_ = makeLabel(mcb, "lblDwait", "");
    mcbLayout->addWidget(lblDwait_, 2, 1);
    mcbLayout->addWidget(new QLabel("Xmit ID       RCV ID       Read Count", mcb), 3, 0, 1, 3);
    lblReportCount_[0] = makeLabel(mcb, "lblReportCount_0", "");
    lblReportCount_[1] = makeLabel(mcb, "lblReportCount_1", "");
    lblbytecount_ = makeLabel(mcb, "lblbytecount", "");
    mcbLayout->addWidget(lblReportCount_[0], 4, 0);
    mcbLayout->addWidget(lblReportCount_[1], 4, 1);
    mcbLayout->addWidget(lblbytecount_, 4, 2);
    mcbLayout->addWidget(new QLabel("Encode Length", mcb), 5, 0);
    lblEncodeLength_ = makeLabel(mcb, "lblEncodeLength", "");
    mcbLayout->addWidget(lblEncodeLength_, 5, 1);
    ChkPauseOnNack_ = makeCheck(mcb, "ChkPauseOnNack", "Pause on Nack",
                                [this](bool on) { panel_.PauseOnNack = on; });
    mcbLayout->addWidget(ChkPauseOnNack_, 5, 2);
    return mcb;
}

QWidget* FrmMainF340::buildSpiFrame(QWidget* parent)
{
    panel::SpiModel& spi = panel_.spi;
    auto* fra = makeFrame(parent, "fraSPI", "SPI");
    auto* g = new QGridLayout(fra);
    chkSPIckpol_ = makeCheck(fra, "chkSPIckpol", "Clock Polarity (idle HI if checked)",
                             [this](bool on) { panel_.spi.setOption(panel_.spi.clockPolarity, on); });
    chkSPIckpha_ = makeCheck(fra, "chkSPIckpha", "Clock Phase ('1' if checked)",
                             [this](bool on) { panel_.spi.setOption(panel_.spi.clockPhase, on); });
    chkSPIss_ = makeCheck(fra, "chkSPIss", "Slave Select (idle HI if checked)",
                          [this](bool on) { panel_.spi.setOption(panel_.spi.slaveSelect, on); });
    g->addWidget(chkSPIckpol_, 0, 0, 1, 2);
    g->addWidget(chkSPIckpha_, 1, 0, 1, 2);
    g->addWidget(chkSPIss_, 2, 0, 1, 2);
    g->addWidget(new QLabel("SPI clock frequency (MHz)", fra), 3, 0);
    cboSPICLock_ = new QComboBox(fra);
    cboSPICLock_->setObjectName("cboSPICLock");
    connect(cboSPICLock_, &QComboBox::activated, this,
            [this](int index) { panel_.spi.selectClock(index); });
    g->addWidget(cboSPICLock_, 3, 1);
    g->addWidget(makeButton(fra, "cmdSPI_Init1", "SPI Init", [this] { panel_.spi.getSPIclock(); }),
                 4, 0);
    g->addWidget(makeButton(fra, "Command2", "Command2", [this] { panel_.spi.getSPIclock(); }), 4,
                 1);
    g->addWidget(makeButton(fra, "cmdSPIwrite", "Write", [this] { panel_.spi.spiWrite(); }), 5, 0);
    chkSPIread_ = makeCheck(fra, "chkSPIread", "Read", [this](bool on) { panel_.spi.readBack = on; });
    g->addWidget(chkSPIread_, 5, 1);
    chkSPIClockPhaseChange_ = makeCheck(fra, "chkSPIClockPhaseChange", "Clock Phase Change",
                                        [this](bool on) { panel_.spi.phaseChange = on; });
    g->addWidget(chkSPIClockPhaseChange_, 6, 0);
    g->addWidget(new QLabel("Clock Phase Change Byte", fra), 7, 0);
    txtClockPhaseChangeByte_ =
        makeEdit(fra, "txtClockPhaseChangeByte", qs(spi.phaseChangeByte), 50);
    bindText(txtClockPhaseChangeByte_, spi.phaseChangeByte);
    g->addWidget(txtClockPhaseChangeByte_, 7, 1);
    auto* lblSPI = makeLabel(fra, "lblSPI",
                             "Clicking 'Write' sends 'Number of Bytes to Write' bytes to the slave. "
                             "The bytes start at 'reg0'. If 'Read' is checked, the slave sends data "
                             "upon each byte written.");
    lblSPI->setWordWrap(true);
    g->addWidget(lblSPI, 8, 0, 1, 2);
    return fra;
}

QWidget* FrmMainF340::buildGpioPage()
{
    auto* scroll = new QScrollArea(this);
    auto* frmGPIO = makeFrame(scroll, "frmGPIO", "GPIO");
    auto* layout = new QVBoxLayout(frmGPIO);
    layout->setContentsMargins(2, 4, 2, 4);

    layout->addWidget(makeLabel(frmGPIO, "lblGPvalue", "LO (unchecked) / HI (checked)"));
    layout->addWidget(
        makeLabel(frmGPIO, "lblOpenCollector", "Open Collector (unchecked) / Push-pull (checked)"));
    auto* lblGP = makeLabel(frmGPIO, "lblGP",
                            "Port is HI-Z if Open-Collector and HI. When reading port values (such "
                            "as on GUI startup), weak pull-ups are temporarily enabled.");
    lblGP->setWordWrap(true);
    layout->addWidget(lblGP);
    for (int port = 0; port < panel::PortModel::kPorts; ++port)
        layout->addWidget(buildGpioPortFrame(frmGPIO, port));
    addGpioActions(frmGPIO, layout);
    scroll->setWidget(frmGPIO);
    scroll->setWidgetResizable(true);
    return scroll;
}

QWidget* FrmMainF340::buildGpioPortFrame(QWidget* parent, int port)
{
    auto* frame = makeFrame(parent, "", QString("P%1").arg(port));
    auto* g = new QGridLayout(frame);
    g->setSpacing(2);
    g->setContentsMargins(4, 4, 4, 4);
    // Each kind takes two lines: bits 7-4 over bits 3-0, the write label
    // and button beside the first line, the read ones beside the second,
    // so a port fits the tab's width.
    for (int r = 0; r < 3; ++r) {
        const GpioRowNames& names = kGpioRowNames[r];
        const int row = static_cast<int>(names.row);
        const int line = 2 * r;
        g->addWidget(new QLabel(names.heading, frame), line, 0, 2, 1);
        for (int bit = 7; bit >= 0; --bit) {
            auto* box = makeCheck(frame, ElementName<QString>(names.box + std::to_string(port), bit),
                                  pinCaption(names.row, port, bit),
                                  [this, names, port, bit](bool on) {
                                      panel_.ports.setBox(names.row, port, bit, on);
                                  });
            pinBoxes_[row][port][bit] = box;
            g->addWidget(box, line + (bit < 4 ? 1 : 0), 1 + (7 - bit) % 4);
        }
        writeLabels_[row][port] =
            makeLabel(frame, ElementName<QString>(names.writeLabel, port), "--");
        readLabels_[row][port] = makeLabel(frame, ElementName<QString>(names.readLabel, port), "--");
        g->addWidget(writeLabels_[row][port], line, 5);
        g->addWidget(narrow(makeButton(frame, ElementName<QString>(names.writeButton, port),
                                       "Write", [this, names, port] {
                                           panel_.ports.write(names.row, port);
                                       })),
                     line, 6);
        g->addWidget(readLabels_[row][port], line + 1, 5);
        g->addWidget(narrow(makeButton(frame, ElementName<QString>(names.readButton, port), "Read",
                                       [this, names, port] { panel_.ports.read(names.row, port); })),
                     line + 1, 6);
        const int lamp = panel::PortModel::lampIndex(names.row, port);
        ShpGPIOStat_[lamp] = makeLamp(frame, ElementName<QString>("ShpGPIOStat", lamp));
        g->addWidget(ShpGPIOStat_[lamp], line, 7, 2, 1);
    }
    return frame;
}

void FrmMainF340::addGpioActions(QWidget* frmGPIO, QVBoxLayout* layout)
{
    auto* checks = new QHBoxLayout;
    auto* buttons = new QHBoxLayout;
    chkAutoWriteRead_ = makeCheck(frmGPIO, "chkAutoWriteRead", "Auto Write / Read",
                                  [this](bool on) { panel_.ports.autoWriteRead = on; });
    chkWeakPullUpDisable_ =
        makeCheck(frmGPIO, "chkWeakPullUpDisable", "Weak Pull-Up Disable",
                  [this](bool on) { panel_.ports.setWeakPullUpDisable(on); });
    checks->addWidget(chkAutoWriteRead_);
    checks->addWidget(chkWeakPullUpDisable_);
    checks->addStretch(1);
    layout->addLayout(checks);
    buttons->addWidget(makeButton(frmGPIO, "cmdResetGPIO", "Reset GPIO",
                                  [this] { panel_.ports.resetGpio(); }));
    buttons->addWidget(makeButton(frmGPIO, "cmdWriteReadAll", "Write Read All",
                                  [this] { panel_.ports.writeReadAll(); }));
    buttons->addWidget(makeButton(frmGPIO, "cmdClearAnalog", "Clear Analog",
                                  [this] { panel_.ports.clearAnalog(); }));
    buttons->addWidget(makeButton(frmGPIO, "cmdSampleGP", "Sample GP",
                                  [this] { panel_.ports.sampleGp(); }));
    layout->addLayout(buttons);
}

QWidget* FrmMainF340::buildSfrPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(buildSfrSingleFrame(page));
    layout->addWidget(buildSfrListFrame(page), 1);
    return page;
}

QWidget* FrmMainF340::buildSfrSingleFrame(QWidget* parent)
{
    panel::SfrModel& sfr = panel_.sfr;
    auto* single = makeFrame(parent, "fraSFRSingle", "SFR Case 18 Single Byte Access");
    auto* g = new QGridLayout(single);
    g->addWidget(new QLabel("Address", single), 0, 0);
    txtSFRAddress_ = makeEdit(single, "txtSFRAddress", qs(sfr.address));
    txtSFRAddress_->installEventFilter(hexKeysOnly_);
    bindText(txtSFRAddress_, sfr.address);
    g->addWidget(txtSFRAddress_, 0, 1);
    g->addWidget(new QLabel("Data", single), 1, 0);
    txtSFRWRData_ = makeEdit(single, "txtSFRWRData", qs(sfr.writeData));
    bindText(txtSFRWRData_, sfr.writeData);
    g->addWidget(txtSFRWRData_, 1, 1);
    g->addWidget(makeButton(single, "cmdSetSFR", "Write SFR", [this] { panel_.sfr.writeSfr(); }),
                 2, 0);
    g->addWidget(
        makeButton(single, "cmdGetSDFValue", "Read SFR", [this] { panel_.sfr.readSfr(); }), 2, 1);
    g->addWidget(new QLabel("Error Flag     Data", single), 3, 0, 1, 4);
    for (int k = 0; k < 4; ++k) {
        lblSFRBuf_[k] = makeLabel(single, ElementName<QString>("lblSFRBuf", k), "--");
        g->addWidget(lblSFRBuf_[k], 4, k);
    }
    g->addWidget(makeButton(single, "cmdHoswMother", "Motherboard", [] {}), 5, 0);
    g->setRowStretch(6, 1);
    return single;
}

QWidget* FrmMainF340::buildSfrListFrame(QWidget* parent)
{
    panel::SfrModel& sfr = panel_.sfr;
    auto* list = makeFrame(parent, "fraSFRList", "SFRs ");
    auto* l = new QGridLayout(list);
    l->setSpacing(1);
    l->addWidget(new QLabel("Write    Read", list), 0, 1, 1, 2);
    for (int i = 0; i < panel::SfrModel::kRows; ++i) {
        l->addWidget(makeLabel(list, ElementName<QString>("lblPbuf", i), qs(sfr.rows[i].caption)),
                     i + 1, 0);
        txtPBuf_[i] = makeEdit(list, ElementName<QString>("txtPBuf", i), "00", 36);
        txtPBuf_[i]->installEventFilter(hexKeysOnly_);
        bindText(txtPBuf_[i], sfr.rows[i].written);
        txtPBufRd_[i] = makeEdit(list, ElementName<QString>("txtPBufRd", i), "00", 36);
        showReadOnly(txtPBufRd_[i]);
        txtPBufRd_[i]->installEventFilter(
            new ClickFilter(txtPBufRd_[i], [this, i] { panel_.sfr.readRow(i); }));
        ShpSKFRd_[i] = makeLamp(list, ElementName<QString>("ShpSKFRd", i));
        l->addWidget(txtPBuf_[i], i + 1, 1);
        l->addWidget(txtPBufRd_[i], i + 1, 2);
        l->addWidget(ShpSKFRd_[i], i + 1, 3);
    }
    chkWriteEqRead_ = makeCheck(list, "chkWriteEqRead", "Write = Read",
                                [this](bool on) { panel_.sfr.writeEqRead = on; });
    l->addWidget(chkWriteEqRead_, panel::SfrModel::kRows + 1, 0);
    l->addWidget(makeButton(list, "cmdReadSKF", "Read All", [this] { panel_.sfr.readAll(); }),
                 panel::SfrModel::kRows + 1, 1, 1, 2);
    auto* scroll = new QScrollArea(parent);
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    return scroll;
}

QWidget* FrmMainF340::buildI2cPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(buildI2cSmbusFrame(page), 0, 0);
    layout->addWidget(buildI2cAddressFrame(page), 0, 1);
    layout->addWidget(buildI2cFillFrame(page), 1, 0);
    layout->addWidget(buildI2cBlockButtons(page), 1, 1);
    layout->addWidget(buildI2cIndividualFrame(page), 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* FrmMainF340::buildI2cSmbusFrame(QWidget* parent)
{
    auto* smbus = makeFrame(parent, "fraSMBus", "SMBus");
    auto* s = new QVBoxLayout(smbus);
    chkRepeatedStart_ = makeCheck(smbus, "chkRepeatedStart", "Use Repeated Start for Read",
                                  [this](bool on) {
                                      panel_.i2cAddress.setOption(panel_.i2cAddress.repeatedStart, on);
                                  });
    chkStoppedWrite_ = makeCheck(smbus, "chkStoppedWrite", "Stop Write Before Read",
                                 [this](bool on) {
                                     panel_.i2cAddress.setOption(panel_.i2cAddress.stoppedWrite, on);
                                 });
    chkExtendHold_ = makeCheck(smbus, "chkExtendHold", "EXTHOLD", [this](bool on) {
        panel_.i2cAddress.setOption(panel_.i2cAddress.extendHold, on);
    });
    s->addWidget(chkRepeatedStart_);
    s->addWidget(chkStoppedWrite_);
    s->addWidget(chkExtendHold_);
    s->addWidget(makeButton(smbus, "cmdToggleSCL", "Toggle SCL",
                            [this] { panel_.i2cAddress.toggleScl(); }));
    return smbus;
}

QWidget* FrmMainF340::buildI2cAddressFrame(QWidget* parent)
{
    panel::I2cAddressModel& address = panel_.i2cAddress;
    auto* fraAddress = makeFrame(parent, "fraI2Caddress", "I2C Address");
    auto* a = new QGridLayout(fraAddress);
    txtI2Caddress_ = makeEdit(fraAddress, "txtI2Caddress", qs(address.addressText));
    txtI2Caddress_->setMaxLength(2);
    txtI2Caddress_->installEventFilter(hexKeys_);
    // The box is taken half a second after the last key.
    addressTyping_ = new QTimer(this);
    addressTyping_->setSingleShot(true);
    addressTyping_->setInterval(500);
    connect(txtI2Caddress_, &QLineEdit::textEdited, addressTyping_,
            static_cast<void (QTimer::*)()>(&QTimer::start));
    connect(addressTyping_, &QTimer::timeout, this, [this] {
        panel_.i2cAddress.applyAddressText(txtI2Caddress_->text().toStdString());
    });
    a->addWidget(txtI2Caddress_, 0, 0);
    a->addWidget(makeButton(fraAddress, "cmdScanI2Caddress", "Scan Address",
                            [this] { panel_.i2cAddress.scan(); }),
                 0, 1);
    auto* bits = makeFrame(fraAddress, "fraADDRbits", "ADDR[6:0]");
    auto* b = new QHBoxLayout(bits);
    for (int i = 6; i >= 0; --i) {
        chkADDRbit_[i] = makeCheck(bits, ElementName<QString>("chkADDRbit", i), QString::number(i),
                                   [this, i](bool on) { panel_.i2cAddress.setAddressBit(i, on); });
        b->addWidget(chkADDRbit_[i]);
    }
    a->addWidget(bits, 1, 0, 1, 2);
    a->addWidget(makeButton(fraAddress, "cmdSimpleI2cRd", "Read Simple",
                            [this] { panel_.i2c.simpleRead(); }),
                 2, 0);
    a->addWidget(makeButton(fraAddress, "cmdSimpleI2cWr", "Write Simple",
                            [this] { panel_.i2c.simpleWrite(); }),
                 2, 1);
    return fraAddress;
}

QWidget* FrmMainF340::buildI2cFillFrame(QWidget* parent)
{
    auto* fill = makeFrame(parent, "fraFillData", "Fill Write Text");
    auto* f = new QVBoxLayout(fill);
    const char* fillCaptions[] = {"File", "0xFF", "0x00", "0xAA", "0x55", "random"};
    for (int i = 0; i < 6; ++i) {
        obFillData_[i] = new QRadioButton(fillCaptions[i], fill);
        obFillData_[i]->setObjectName(ElementName<QString>("obFillData", i));
        connect(obFillData_[i], &QRadioButton::clicked, this,
                [this, i] { panel_.i2c.fillOption = i; });
        f->addWidget(obFillData_[i]);
    }
    f->addWidget(makeButton(fill, "cmdFillWriteTextBoxes", "Fill Write Data Text Boxes per Option",
                            [this] { panel_.i2c.fillWriteBoxes(); }));
    return fill;
}

QWidget* FrmMainF340::buildI2cBlockButtons(QWidget* parent)
{
    auto* block = new QWidget(parent);
    auto* k = new QVBoxLayout(block);
    k->addWidget(makeButton(block, "cmdRead", "Read", [this] { panel_.i2c.blockRead(); }));
    k->addWidget(makeButton(block, "cmdWrite", "Write", [this] { panel_.i2c.blockWrite(); }));
    k->addWidget(makeButton(block, "cmdClearReadTextBoxes", "Clear Read Text Boxes",
                            [this] { panel_.i2c.clearReadBoxes(); }));
    k->addStretch(1);
    return block;
}

QWidget* FrmMainF340::buildI2cIndividualFrame(QWidget* parent)
{
    panel::I2cTransferModel& i2c = panel_.i2c;
    auto* single = makeFrame(parent, "fraIndividual", "Individual Register Read/Write with Toggle");
    auto* r = new QGridLayout(single);
    r->addWidget(new QLabel("Register", single), 0, 0);
    txtRegister_ = makeEdit(single, "txtRegister", qs(i2c.registerText));
    txtRegister_->installEventFilter(hexKeys_);
    bindText(txtRegister_, i2c.registerText);
    r->addWidget(txtRegister_, 0, 1);
    txtReadIndividual_ = makeEdit(single, "txtReadIndividual", "");
    showReadOnly(txtReadIndividual_);
    r->addWidget(txtReadIndividual_, 1, 0);
    r->addWidget(makeButton(single, "cmdReadIndividual", "Read",
                            [this] { panel_.i2c.ReadIndividual(); }),
                 1, 1);
    for (int i = 0; i < 2; ++i) {
        txtWriteIndividual_[i] = makeEdit(single, ElementName<QString>("txtWriteIndividual", i),
                                          qs(i2c.writeIndividual[i]));
        txtWriteIndividual_[i]->installEventFilter(hexKeys_);
        bindText(txtWriteIndividual_[i], i2c.writeIndividual[i]);
        r->addWidget(txtWriteIndividual_[i], 2 + i, 0);
        r->addWidget(makeButton(single, ElementName<QString>("cmdWriteIndividual", i), "Write",
                                [this, i] { panel_.i2c.writeToggle(i); }),
                     2 + i, 1);
    }
    return single;
}

// A command's Write and Read buttons, side by side on the sub-frame's first
// line from `column`.
template <typename Written>
void FrmMainF340::addWriteRead(QWidget* sub, QGridLayout* g, int column, const char* writeName,
                               Written (panel::McuAdcModel::*write)(), const char* readName,
                               void (panel::McuAdcModel::*read)())
{
    g->addWidget(makeButton(sub, writeName, "Write", [this, write] { (panel_.mcuAdc.*write)(); }),
                 0, column);
    g->addWidget(makeButton(sub, readName, "Read", [this, read] { (panel_.mcuAdc.*read)(); }), 0,
                 column + 1);
}

// Captions over a command's answer labels, `perLine` to a line, from line
// `row` of the sub-frame's grid.
void FrmMainF340::addAnswerLabels(QWidget* sub, QGridLayout* g, int row, const char* base,
                                  std::initializer_list<const char*> captions, std::string* texts,
                                  int perLine)
{
    int i = 0;
    for (const char* caption : captions) {
        const int line = row + 2 * (i / perLine);
        g->addWidget(new QLabel(caption, sub), line, i % perLine);
        auto* label = makeLabel(sub, ElementName<QString>(base, i), "--");
        g->addWidget(label, line + 1, i % perLine);
        adcLabels_.push_back({label, &texts[i]});
        ++i;
    }
}

QWidget* FrmMainF340::buildAdcPage()
{
    auto* scroll = new QScrollArea(this);
    auto* frame = makeFrame(scroll, "fraADCControl", "ADC Control");
    auto* layout = new QGridLayout(frame);
    // One sub-frame per command, over each other: its controls, then its
    // answer labels.
    panel::McuAdcModel& adc = panel_.mcuAdc;
    const struct {
        const char* caption;
        void (FrmMainF340::*fill)(QWidget* sub, QGridLayout* g);
        const char* labels;  // the answer labels' names, when they are under the controls
        std::initializer_list<const char*> captions;
        std::string* texts;
    } frames[] = {
        {"ADC Clock 10", &FrmMainF340::fillAdcClockFrame, "lblADCClockDaa",
         {"RID", "Error", "SysClock", "ADOSC"}, adc.clockLabels.data()},
        {"ADC Mode 11", &FrmMainF340::fillAdcRefControlFrame, "lblADCRefcon",
         {"RID", "Error", "REFCON"}, adc.refLabels.data()},
        {"ADC Mux Select 12", &FrmMainF340::fillAdcMuxFrame, nullptr, {}, nullptr},
        {"ADC Mode 13", &FrmMainF340::fillAdcModeFrame, "lblADCMode1Data",
         {"RID", "Error", "Mode"}, adc.modeLabels.data()},
        {"ADC Avg Loop Count 14", &FrmMainF340::fillAdcLoopCountFrame, "lblADCLoopData",
         {"RID", "Error", "Count"}, adc.loopLabels.data()},
        {"ADC Sample Rate 15", &FrmMainF340::fillAdcSampleRateFrame, "lblADCSampleData",
         {"RID", "Error", "Clock", "MSB Count", "LSB Count"}, adc.sampleLabels.data()},
        {"ADC Enable 16", &FrmMainF340::fillAdcEnableFrame, "lblADCEnable",
         {"RID", "Error", "AD0EN"}, adc.enableLabels.data()},
        {"ADC Read", &FrmMainF340::fillAdcReadFrame, nullptr, {}, nullptr},
    };
    int slot = 0;
    for (const auto& f : frames) {
        auto* sub = makeFrame(frame, "", f.caption);
        auto* g = new QGridLayout(sub);
        (this->*f.fill)(sub, g);
        if (f.labels)
            addAnswerLabels(sub, g, 1, f.labels, f.captions, f.texts);
        layout->addWidget(sub, slot++, 0);
    }
    scroll->setWidget(frame);
    scroll->setWidgetResizable(true);
    return scroll;
}

void FrmMainF340::fillAdcClockFrame(QWidget* sub, QGridLayout* g)
{
    panel::McuAdcModel& adc = panel_.mcuAdc;
    txtADOSC_ = makeEdit(sub, "txtADOSC", qs(adc.adosc));
    bindText(txtADOSC_, adc.adosc);
    g->addWidget(txtADOSC_, 0, 0);
    addWriteRead(sub, g, 1, "cmdWriteADCClock", &panel::McuAdcModel::writeClock, "cmdReadADCClock",
                 &panel::McuAdcModel::readClock);
}

void FrmMainF340::fillAdcRefControlFrame(QWidget* sub, QGridLayout* g)
{
    addWriteRead(sub, g, 0, "cmdWrADCMode", &panel::McuAdcModel::writeRefControl, "cmdRdADCMode",
                 &panel::McuAdcModel::readRefControl);
}

void FrmMainF340::fillAdcMuxFrame(QWidget* sub, QGridLayout* g)
{
    panel::McuAdcModel& adc = panel_.mcuAdc;
    for (int i = 0; i < 2; ++i) {
        cboAnamux_[i] = new QComboBox(sub);
        cboAnamux_[i]->setObjectName(ElementName<QString>("cboAnamux", i));
        for (const std::string& entry : panel::McuAdcModel::muxEntries(i == 1))
            cboAnamux_[i]->addItem(qs(entry));
        connect(cboAnamux_[i], &QComboBox::activated, this, [this, i](int index) {
            (i == 0 ? panel_.mcuAdc.muxPositive : panel_.mcuAdc.muxNegative) = index;
        });
        g->addWidget(cboAnamux_[i], 0, i);
        txtModeByte_[i] = makeEdit(sub, ElementName<QString>("txtModeByte", i), "XX");
        showReadOnly(txtModeByte_[i]);
        g->addWidget(txtModeByte_[i], 1, i);
    }
    g->addWidget(makeButton(sub, "cmdMuxWrite", "Write Mux",
                            [this] { panel_.mcuAdc.writeMux(); }),
                 0, 2);
    g->addWidget(makeButton(sub, "cmdRdADMux", "Read Mux", [this] { panel_.mcuAdc.readMux(); }),
                 1, 2);
    g->setColumnStretch(3, 1);
    auto* labels = new QGridLayout;
    addAnswerLabels(sub, labels, 0, "lblADMuxData",
                    {"RID", "Error", "AMXOP", "AMSON", "P0MDIN", "P0SKIP", "P1MDIN", "P1SKIP",
                     "P2MDIN", "P2SKIP", "P3MDIN", "P3SKIP", "P4MDIN"},
                    adc.muxLabels.data(), 7);
    g->addLayout(labels, 2, 0, 1, 4);
}

void FrmMainF340::fillAdcModeFrame(QWidget* sub, QGridLayout* g)
{
    const char* captions[] = {"Single", "Cont."};
    for (int i = 0; i < 2; ++i) {
        OptiADCSamples_[i] = new QRadioButton(captions[i], sub);
        OptiADCSamples_[i]->setObjectName(ElementName<QString>("OptiADCSamples", i));
        connect(OptiADCSamples_[i], &QRadioButton::clicked, this,
                [this, i] { panel_.mcuAdc.continuous = i == 1; });
        g->addWidget(OptiADCSamples_[i], 0, i);
    }
    addWriteRead(sub, g, 2, "cmdADCWrmode1", &panel::McuAdcModel::writeAdcMode, "cmdADCRDMode16",
                 &panel::McuAdcModel::readAdcMode);
}

void FrmMainF340::fillAdcLoopCountFrame(QWidget* sub, QGridLayout* g)
{
    panel::McuAdcModel& adc = panel_.mcuAdc;
    txtADCLoopCount_ = makeEdit(sub, "txtADCLoopCount", qs(adc.loopCount));
    txtADCLoopCount_->installEventFilter(decKeysOnly_);
    bindText(txtADCLoopCount_, adc.loopCount);
    connect(txtADCLoopCount_, &QLineEdit::editingFinished, this,
            [this] { panel_.mcuAdc.clampLoopCount(); });
    g->addWidget(txtADCLoopCount_, 0, 0);
    addWriteRead(sub, g, 1, "cmdWrtLoopCount", &panel::McuAdcModel::writeLoopCount, "cmdRdADCAvg",
                 &panel::McuAdcModel::readLoopCount);
}

void FrmMainF340::fillAdcSampleRateFrame(QWidget* sub, QGridLayout* g)
{
    panel::McuAdcModel& adc = panel_.mcuAdc;
    for (int i = 0; i < 2; ++i) {
        txtADSAMP_[i] = makeEdit(sub, ElementName<QString>("txtADSAMP", i), "--");
        bindText(txtADSAMP_[i], adc.sampleRate[i]);
        g->addWidget(txtADSAMP_[i], 0, i);
    }
    addWriteRead(sub, g, 2, "cmdADCWriteSampleRate", &panel::McuAdcModel::writeSampleRate, "cmdADCRdSampleRate",
                 &panel::McuAdcModel::readSampleRate);
}

void FrmMainF340::fillAdcEnableFrame(QWidget* sub, QGridLayout* g)
{
    chkADCEnable_ = makeCheck(sub, "chkADCEnable", "Enable",
                              [this](bool on) { panel_.mcuAdc.enable = on; });
    g->addWidget(chkADCEnable_, 0, 0);
    addWriteRead(sub, g, 1, "cmdADCWrEn", &panel::McuAdcModel::writeEnable, "cmdADCRDEnable",
                 &panel::McuAdcModel::readEnable);
    ShpADCEn_ = makeLamp(sub, "ShpADCEn_0");
    g->addWidget(ShpADCEn_, 0, 3);
    g->addWidget(new QLabel("Enabled", sub), 0, 4);
}

void FrmMainF340::fillAdcReadFrame(QWidget* sub, QGridLayout* g)
{
    const std::vector<std::string>* lists[] = {&panel::McuAdcModel::readModeEntries(),
                                               &panel::McuAdcModel::sampleModeEntries()};
    for (int i = 0; i < 2; ++i) {
        cboADCReadMode_[i] = new QComboBox(sub);
        cboADCReadMode_[i]->setObjectName(ElementName<QString>("cboADCReadMode", i));
        for (const std::string& entry : *lists[i])
            cboADCReadMode_[i]->addItem(qs(entry));
        connect(cboADCReadMode_[i], &QComboBox::activated, this, [this, i](int index) {
            (i == 0 ? panel_.mcuAdc.readMode : panel_.mcuAdc.sampleMode) = index;
        });
        g->addWidget(cboADCReadMode_[i], 0, i);
    }
    g->addWidget(makeButton(sub, "cmdADCRDData", "Read", [this] { panel_.mcuAdc.convert(); }),
                 0, 2);
    g->addWidget(new QLabel("AD Reading", sub), 1, 0);
    txtADDec_ = makeEdit(sub, "txtADDec", "XXXX", 60);
    showReadOnly(txtADDec_);
    g->addWidget(txtADDec_, 1, 1);
    lblBytesSucceded_ = makeLabel(sub, "lblBytesSucceded", "----");
    g->addWidget(lblBytesSucceded_, 1, 2);
}

QWidget* FrmMainF340::buildAdcChipPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    panel::AdcChipModel& chip = panel_.adcChip;

    auto* io = makeFrame(page, "fraADCIo", "ADC KVB40917 Io");
    auto* g = new QGridLayout(io);
    g->addWidget(makeButton(io, "cmdInitADCIO", "Initialize AD IO",
                            [this] { panel_.adcChip.initAdcIo(); }),
                 0, 0);
    for (int i = 0; i < 2; ++i) {
        txtADCReg_[i] = makeEdit(io, ElementName<QString>("txtADCReg", i), qs(chip.reg[i]));
        bindText(txtADCReg_[i], chip.reg[i]);
        g->addWidget(txtADCReg_[i], 1, i);
    }
    txtADCDelay_ = makeEdit(io, "txtADCDelay_0", qs(chip.delay));
    bindText(txtADCDelay_, chip.delay);
    g->addWidget(txtADCDelay_, 1, 2);
    g->addWidget(makeButton(io, "cmdWrtADReg", "Write / Read ADC Registers",
                            [this] { panel_.adcChip.writeReadRegister(); }),
                 2, 0, 1, 3);
    for (int i = 0; i < 4; ++i) {
        lblAdRcv_[i] = makeLabel(io, ElementName<QString>("lblAdRcv", i), "--");
        g->addWidget(lblAdRcv_[i], 3, i);
    }
    lblADRegRead_ = makeLabel(io, "lblADRegRead", "--");
    g->addWidget(lblADRegRead_, 4, 0);
    layout->addWidget(io);

    auto* read = makeFrame(page, "fraADRead", "Read KVB40917 AD");
    auto* r = new QGridLayout(read);
    r->addWidget(makeButton(read, "cmdRD40917", "Read AD",
                            [this] { panel_.adcChip.readConversion(); }),
                 0, 0);
    lblADDecimal_ = makeLabel(read, "lblADDecimal_1", "");
    lbl_ADReal_ = makeLabel(read, "lbl_ADReal", "");
    r->addWidget(lblADDecimal_, 0, 1);
    r->addWidget(lbl_ADReal_, 0, 2);
    layout->addWidget(read);
    layout->addStretch(1);
    return page;
}

}  // namespace kvb::ui
