#pragma once
// The board panel window "HID Firmware Basic I/O ": the engineering view of
// the board's microcontroller. It shows the board panel's models and hands
// every click to them; the byte grid stays beside the pages because the chip
// pipe, the raw SPI write and the I2C transfers all use it.

#include <QMainWindow>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QVBoxLayout;
class QWidget;

namespace kvb::board {
class ChipPipe;
class HidTransport;
}

namespace kvb::panel {
class BoardPanel;
class ByteGrid;
class McuAdcModel;
enum class Lamp;
}

namespace kvb::ui {

class KeyFilter;

class FrmMainF340 : public QMainWindow {
    Q_OBJECT
public:
    FrmMainF340(panel::BoardPanel& panel, panel::ByteGrid& grid, board::ChipPipe& pipe,
                board::HidTransport& transport, QWidget* parent = nullptr);
    ~FrmMainF340() override;

    // Loads the panel: opens the board. False when the search was
    // cancelled (the program is ending).
    bool load();
    // Shows every model's state in the controls.
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Every chip frame fills the grid and the pipe's display; a hidden panel
    // only notes it and shows them when it is shown again.
    void whenShown(void (FrmMainF340::*refreshControls)());
    bool gridStale_ = false;
    QWidget* buildTopBar();
    QWidget* buildGrid();
    QWidget* buildMcbSpiPage();
    QWidget* buildMcbFrame(QWidget* parent);
    QWidget* buildSpiFrame(QWidget* parent);
    QWidget* buildGpioPage();
    // One port's frame on the GPIO page: its pin boxes, labels, buttons and lamps.
    QWidget* buildGpioPortFrame(QWidget* parent, int port);
    // The checks and buttons under the ports that act on all of them.
    void addGpioActions(QWidget* frmGPIO, QVBoxLayout* layout);
    QWidget* buildSfrPage();
    QWidget* buildSfrSingleFrame(QWidget* parent);
    // The list of registers, in a scroll area made in `parent`.
    QWidget* buildSfrListFrame(QWidget* parent);
    QWidget* buildI2cPage();
    // The I2C page's frames, made in `parent`.
    QWidget* buildI2cSmbusFrame(QWidget* parent);
    QWidget* buildI2cAddressFrame(QWidget* parent);
    QWidget* buildI2cFillFrame(QWidget* parent);
    QWidget* buildI2cBlockButtons(QWidget* parent);
    QWidget* buildI2cIndividualFrame(QWidget* parent);
    QWidget* buildAdcPage();
    // The ADC page's sub-frames, one per board command: each fills its
    // frame `sub` and the frame's grid `g`.
    void fillAdcClockFrame(QWidget* sub, QGridLayout* g);
    void fillAdcRefControlFrame(QWidget* sub, QGridLayout* g);
    void fillAdcMuxFrame(QWidget* sub, QGridLayout* g);
    void fillAdcModeFrame(QWidget* sub, QGridLayout* g);
    void fillAdcLoopCountFrame(QWidget* sub, QGridLayout* g);
    void fillAdcSampleRateFrame(QWidget* sub, QGridLayout* g);
    void fillAdcEnableFrame(QWidget* sub, QGridLayout* g);
    void fillAdcReadFrame(QWidget* sub, QGridLayout* g);
    // A command's Write and Read buttons; the write may say whether it was sent.
    template <typename Written>
    void addWriteRead(QWidget* sub, QGridLayout* g, int column, const char* writeName,
                      Written (panel::McuAdcModel::*write)(), const char* readName,
                      void (panel::McuAdcModel::*read)());
    // Adds a command's answer labels, each under its caption, and notes the
    // model text each one shows.
    void addAnswerLabels(QWidget* sub, QGridLayout* g, int row, const char* base,
                         std::initializer_list<const char*> captions, std::string* texts,
                         int perLine = 8);
    QWidget* buildAdcChipPage();
    void refreshGrid();
    void refreshPorts();
    void refreshSfr();
    void refreshSpi();
    void refreshI2c();
    void refreshAdc();
    void setBusy(bool busy);
    static void paintLamp(QLabel* lamp, panel::Lamp colour);

    panel::BoardPanel& panel_;
    panel::ByteGrid& grid_;
    board::ChipPipe& pipe_;
    board::HidTransport& transport_;
    // Key rules with the edit keys, and key rules alone.
    KeyFilter* hexKeys_;
    KeyFilter* decKeys_;
    KeyFilter* hexKeysOnly_;
    KeyFilter* decKeysOnly_;
    QTabWidget* tabs_ = nullptr;
    QWidget* gridBox_ = nullptr;
    bool refreshing_ = false;

    // Board instance, LEDs, firmware.
    QComboBox* cboEVBinstance_ = nullptr;
    std::array<QCheckBox*, 2> chkLED_{};
    QLabel* lblFirmwareVersion_ = nullptr;
    QLineEdit* txtFirmwareVersion_ = nullptr;

    // Grid.
    std::array<QLineEdit*, 64> txtWriteVal_{};
    std::array<QLineEdit*, 64> txtReadVal_{};
    QLineEdit* txtSlaveAddress_ = nullptr;
    QLineEdit* txtNumToRead_ = nullptr;
    QLineEdit* txtStartRegRD_ = nullptr;
    QLineEdit* txtNumToWrite_ = nullptr;
    QLineEdit* txtStartRegWr_ = nullptr;
    QCheckBox* chkRandom_ = nullptr;
    QCheckBox* chkFileWriteData_ = nullptr;

    // Chip pipe and SPI.
    QPushButton* cmdMCBSPI_ = nullptr;
    std::array<QLineEdit*, 11> txtWriteRaw_{};
    QLabel* lblDwait_ = nullptr;
    std::array<QLabel*, 2> lblReportCount_{};
    QLabel* lblbytecount_ = nullptr;
    QLabel* lblEncodeLength_ = nullptr;
    QCheckBox* ChkPauseOnNack_ = nullptr;
    QCheckBox* chkSPIckpol_ = nullptr;
    QCheckBox* chkSPIckpha_ = nullptr;
    QCheckBox* chkSPIss_ = nullptr;
    QComboBox* cboSPICLock_ = nullptr;
    QCheckBox* chkSPIread_ = nullptr;
    QCheckBox* chkSPIClockPhaseChange_ = nullptr;
    QLineEdit* txtClockPhaseChangeByte_ = nullptr;

    // Ports: [row][port][bit] boxes, [row][port] labels.
    std::array<std::array<std::array<QCheckBox*, 8>, 5>, 3> pinBoxes_{};
    std::array<std::array<QLabel*, 5>, 3> writeLabels_{};
    std::array<std::array<QLabel*, 5>, 3> readLabels_{};
    std::array<QLabel*, 15> ShpGPIOStat_{};
    QCheckBox* chkAutoWriteRead_ = nullptr;
    QCheckBox* chkWeakPullUpDisable_ = nullptr;

    // SFRs.
    QLineEdit* txtSFRAddress_ = nullptr;
    QLineEdit* txtSFRWRData_ = nullptr;
    std::array<QLabel*, 4> lblSFRBuf_{};
    std::array<QLineEdit*, 26> txtPBuf_{};
    std::array<QLineEdit*, 26> txtPBufRd_{};
    std::array<QLabel*, 26> ShpSKFRd_{};
    QCheckBox* chkWriteEqRead_ = nullptr;

    // I2C.
    QCheckBox* chkRepeatedStart_ = nullptr;
    QCheckBox* chkStoppedWrite_ = nullptr;
    QCheckBox* chkExtendHold_ = nullptr;
    QLineEdit* txtI2Caddress_ = nullptr;
    QTimer* addressTyping_ = nullptr;
    std::array<QCheckBox*, 7> chkADDRbit_{};
    std::array<QRadioButton*, 6> obFillData_{};
    QLineEdit* txtRegister_ = nullptr;
    std::array<QLineEdit*, 2> txtWriteIndividual_{};
    QLineEdit* txtReadIndividual_ = nullptr;

    // Microcontroller ADC.
    QLineEdit* txtADOSC_ = nullptr;
    std::array<QComboBox*, 2> cboAnamux_{};
    std::array<QLineEdit*, 2> txtModeByte_{};
    std::array<QRadioButton*, 2> OptiADCSamples_{};
    QLineEdit* txtADCLoopCount_ = nullptr;
    std::array<QLineEdit*, 2> txtADSAMP_{};
    QCheckBox* chkADCEnable_ = nullptr;
    QLabel* ShpADCEn_ = nullptr;
    std::array<QComboBox*, 2> cboADCReadMode_{};
    QLineEdit* txtADDec_ = nullptr;
    QLabel* lblBytesSucceded_ = nullptr;
    std::vector<std::pair<QLabel*, const std::string*>> adcLabels_;

    // ADC chip.
    std::array<QLineEdit*, 2> txtADCReg_{};
    QLineEdit* txtADCDelay_ = nullptr;
    std::array<QLabel*, 4> lblAdRcv_{};
    QLabel* lblADRegRead_ = nullptr;
    QLabel* lblADDecimal_ = nullptr;
    QLabel* lbl_ADReal_ = nullptr;
};

}  // namespace kvb::ui
