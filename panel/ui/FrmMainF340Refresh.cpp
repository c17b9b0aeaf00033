// The board panel window's refresh: every control shows its model's state.

#include "board/ChipPipe.h"
#include "core/ui/Widgets.h"
#include "panel/BoardPanel.h"
#include "panel/ByteGrid.h"
#include "panel/ui/FrmMainF340.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace kvb::ui {

using panel::PortRow;

namespace {

void setCombo(QComboBox* combo, int index)
{
    if (combo->currentIndex() != index) {
        QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
}

void setRadio(QRadioButton* radio, bool on)
{
    if (radio->isChecked() != on) {
        QSignalBlocker block(radio);
        radio->setAutoExclusive(false);
        radio->setChecked(on);
        radio->setAutoExclusive(true);
    }
}

}  // namespace

void FrmMainF340::refresh()
{
    if (refreshing_)
        return;
    refreshing_ = true;

    // Board instances, LEDs, firmware.
    if (cboEVBinstance_->count() != static_cast<int>(panel_.instances.size())) {
        QSignalBlocker block(cboEVBinstance_);
        cboEVBinstance_->clear();
        for (size_t i = 0; i < panel_.instances.size(); ++i)
            cboEVBinstance_->addItem(qs(panel_.instances[i]), static_cast<int>(i));
    }
    setCombo(cboEVBinstance_, panel_.selectedInstance);
    for (int i = 0; i < 2; ++i)
        setCheck(chkLED_[i], panel_.leds[i]);
    setLabel(lblFirmwareVersion_, panel_.firmwareVersion);
    setEdit(txtFirmwareVersion_, panel_.firmwareVersionCopy);

    refreshGrid();
    refreshSpi();
    refreshPorts();
    refreshSfr();
    refreshI2c();
    refreshAdc();
    refreshing_ = false;
}

void FrmMainF340::refreshGrid()
{
    const panel::ByteGrid& grid = grid_;
    for (int r = 0; r < panel::ByteGrid::kRows; ++r) {
        setEdit(txtWriteVal_[r], grid.writeVal[r]);
        setEdit(txtReadVal_[r], grid.readVal[r]);
    }
    setEdit(txtSlaveAddress_, grid.slaveAddress);
    setEdit(txtNumToRead_, grid.numToRead);
    setEdit(txtStartRegRD_, grid.startRegRd);
    setEdit(txtNumToWrite_, grid.numToWrite);
    setEdit(txtStartRegWr_, grid.startRegWr);
    setLabel(lblEncodeLength_, grid.encodeLength);
    setCheck(chkRandom_, grid.random);
    setCheck(chkFileWriteData_, grid.fileWriteData);
}

void FrmMainF340::refreshSpi()
{
    const panel::PipeDisplay& display = panel_.pipeView.display;
    for (int i = 0; i < 11; ++i)
        setEdit(txtWriteRaw_[i], display.writeRaw[i]);
    setLabel(lblDwait_, display.dwait);
    setLabel(lblReportCount_[0], display.reportCountSent);
    setLabel(lblReportCount_[1], display.reportCountReceived);
    setLabel(lblbytecount_, display.byteCount);
    setCheck(ChkPauseOnNack_, panel_.PauseOnNack);
    refreshGrid();

    const panel::SpiModel& spi = panel_.spi;
    setCheck(chkSPIckpol_, spi.clockPolarity);
    setCheck(chkSPIckpha_, spi.clockPhase);
    setCheck(chkSPIss_, spi.slaveSelect);
    bool sameList = cboSPICLock_->count() == static_cast<int>(spi.clockEntries.size());
    for (int i = 0; sameList && i < cboSPICLock_->count(); ++i)
        sameList = cboSPICLock_->itemText(i) == qs(spi.clockEntries[i].text);
    if (!sameList) {
        QSignalBlocker block(cboSPICLock_);
        cboSPICLock_->clear();
        for (const auto& entry : spi.clockEntries)
            cboSPICLock_->addItem(qs(entry.text), entry.code);
    }
    setCombo(cboSPICLock_, spi.selectedClock);
    setCheck(chkSPIread_, spi.readBack);
    setCheck(chkSPIClockPhaseChange_, spi.phaseChange);
    setEdit(txtClockPhaseChangeByte_, spi.phaseChangeByte);
}

void FrmMainF340::refreshPorts()
{
    const panel::PortModel& ports = panel_.ports;
    for (PortRow row : {PortRow::Data, PortRow::OutputMode, PortRow::InputMode}) {
        const int r = static_cast<int>(row);
        for (int port = 0; port < panel::PortModel::kPorts; ++port) {
            for (int bit = 0; bit < 8; ++bit) {
                QCheckBox* box = pinBoxes_[r][port][bit];
                setCheck(box, ports.box(row, port, bit));
                if (row == PortRow::Data && box->text() != qs(ports.dataCaptions[port][bit]))
                    box->setText(qs(ports.dataCaptions[port][bit]));
            }
            setLabel(writeLabels_[r][port], ports.writeLabel(row, port));
            setLabel(readLabels_[r][port], ports.readLabel(row, port));
        }
    }
    for (int i = 0; i < 15; ++i)
        paintLamp(ShpGPIOStat_[i], ports.lamp(i));
    setCheck(chkAutoWriteRead_, ports.autoWriteRead);
    setCheck(chkWeakPullUpDisable_, ports.weakPullUpDisable);
}

void FrmMainF340::refreshSfr()
{
    const panel::SfrModel& sfr = panel_.sfr;
    setEdit(txtSFRAddress_, sfr.address);
    setEdit(txtSFRWRData_, sfr.writeData);
    for (int k = 0; k < 4; ++k)
        setLabel(lblSFRBuf_[k], sfr.buffer[k]);
    for (int i = 0; i < panel::SfrModel::kRows; ++i) {
        setEdit(txtPBuf_[i], sfr.rows[i].written);
        setEdit(txtPBufRd_[i], sfr.rows[i].read);
        paintLamp(ShpSKFRd_[i], sfr.rows[i].lamp);
    }
    setCheck(chkWriteEqRead_, sfr.writeEqRead);
}

void FrmMainF340::refreshI2c()
{
    const panel::I2cAddressModel& address = panel_.i2cAddress;
    setCheck(chkRepeatedStart_, address.repeatedStart);
    setCheck(chkStoppedWrite_, address.stoppedWrite);
    setCheck(chkExtendHold_, address.extendHold);
    if (!addressTyping_->isActive())
        setEdit(txtI2Caddress_, address.addressText);
    for (int i = 0; i < 7; ++i)
        setCheck(chkADDRbit_[i], address.addressBits[i]);

    const panel::I2cTransferModel& i2c = panel_.i2c;
    for (int i = 0; i < 6; ++i)
        setRadio(obFillData_[i], i2c.fillOption == i);
    setEdit(txtRegister_, i2c.registerText);
    for (int i = 0; i < 2; ++i)
        setEdit(txtWriteIndividual_[i], i2c.writeIndividual[i]);
    setEdit(txtReadIndividual_, i2c.readIndividual);
}

void FrmMainF340::refreshAdc()
{
    const panel::McuAdcModel& adc = panel_.mcuAdc;
    setEdit(txtADOSC_, adc.adosc);
    setCombo(cboAnamux_[0], adc.muxPositive);
    setCombo(cboAnamux_[1], adc.muxNegative);
    for (int i = 0; i < 2; ++i) {
        setEdit(txtModeByte_[i], adc.modeByte[i]);
        setRadio(OptiADCSamples_[i], adc.continuous == (i == 1));
        setEdit(txtADSAMP_[i], adc.sampleRate[i]);
    }
    setCombo(cboADCReadMode_[0], adc.readMode);
    setCombo(cboADCReadMode_[1], adc.sampleMode);
    setEdit(txtADCLoopCount_, adc.loopCount);
    setCheck(chkADCEnable_, adc.enable);
    paintLamp(ShpADCEn_, adc.enabledLamp);
    setEdit(txtADDec_, adc.count);
    setLabel(lblBytesSucceded_, adc.bytesSucceeded);
    for (auto& [label, text] : adcLabels_)
        setLabel(label, *text);

    const panel::AdcChipModel& chip = panel_.adcChip;
    for (int i = 0; i < 2; ++i)
        setEdit(txtADCReg_[i], chip.reg[i]);
    setEdit(txtADCDelay_, chip.delay);
    for (int i = 0; i < 4; ++i)
        setLabel(lblAdRcv_[i], chip.received[i]);
    setLabel(lblADRegRead_, chip.registerRead);
    setLabel(lblADDecimal_, chip.decimal);
    setLabel(lbl_ADReal_, chip.millivolts);
}

}  // namespace kvb::ui
