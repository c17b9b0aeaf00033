#pragma once
// The board panel's "ADC Control" frame: the microcontroller's own ADC. Each
// setting is one board command (clock, reference control, input multiplexer,
// mode, averaging count, sample rate, enable) written from its boxes and read
// back into its labels; a conversion shows its count in decimal.

#include "board/HidTransport.h"
#include "panel/PanelIo.h"
#include "panel/PortModel.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kvb::panel {

struct MuxPin {
    int port = -1;  // -1: the input is no port pin
    int bit = 0;
};

class McuAdcModel {
public:
    static constexpr int kMuxEntries = 23;
    static constexpr int kMuxDefaultPositive = 11;  // "0B - P4.0"
    static constexpr int kMuxDefaultNegative = 22;  // "1F - GND"

    McuAdcModel(board::HidTransport& transport, PortModel& ports, PanelSignals& notices);

    // The multiplexer lists: entry texts of the positive or negative input,
    // an entry's code (its leading hexadecimal number) and its port pin.
    static const std::vector<std::string>& muxEntries(bool negative);
    static uint8_t muxCode(int entry);
    static MuxPin muxPin(int entry);
    static const std::vector<std::string>& readModeEntries();    // cboADCReadMode(0)
    static const std::vector<std::string>& sampleModeEntries();  // cboADCReadMode(1)

    // Boxes and choices.
    std::string adosc = "38";                          // txtADOSC
    int muxPositive = kMuxDefaultPositive;             // cboAnamux(0)
    int muxNegative = kMuxDefaultNegative;             // cboAnamux(1)
    std::array<std::string, 2> modeByte{"XX", "XX"};   // txtModeByte
    bool continuous = false;                           // OptiADCSamples: Single / Cont.
    std::string loopCount = "10";                      // txtADCLoopCount
    std::array<std::string, 2> sampleRate{"--", "--"};  // txtADSAMP
    bool enable = false;                               // chkADCEnable
    Lamp enabledLamp = Lamp::Black;                    // ShpADCEn(0)
    int readMode = 0;                                  // cboADCReadMode(0)
    int sampleMode = 0;                                // cboADCReadMode(1)
    std::string count = "XXXX";                        // txtADDec
    std::string bytesSucceeded = "----";               // lblBytesSucceded

    // Answer labels of each read, "--" until read.
    std::array<std::string, 4> clockLabels;    // RID Error SysClock ADOSC
    std::array<std::string, 3> refLabels;      // RID Error REFCON
    std::array<std::string, 13> muxLabels;     // RID Error AMXOP AMSON P0MDIN ...
    std::array<std::string, 3> modeLabels;     // RID Error Mode
    std::array<std::string, 3> loopLabels;     // RID Error Count
    std::array<std::string, 5> sampleLabels;   // RID Error Clock MSB LSB
    std::array<std::string, 3> enableLabels;   // RID Error AD0EN

    bool writeClock();
    void readClock();
    void writeRefControl();  // not offered by the board
    void readRefControl();
    bool writeMux();
    void readMux();
    bool writeAdcMode();
    void readAdcMode();
    bool writeLoopCount();
    void readLoopCount();
    bool writeSampleRate();
    void readSampleRate();
    bool writeEnable();
    void readEnable();
    // "Read": one conversion; the count shows with a leading blank.
    void convert();
    // The loop-count box on leaving it: above 255 gives "255", below 1 "1".
    void clampLoopCount();

private:
    // Queries `code` and shows the answer in `labels`; returns the status.
    // `overBuffer`: the request is written over the report buffer as the
    // drain left it instead of a cleared one.
    template <size_t N>
    board::Status readInto(uint8_t code, std::array<std::string, N>& labels,
                           bool overBuffer = false);
    // The same where nothing but the labels follows.
    template <size_t N>
    void readLabels(uint8_t code, std::array<std::string, N>& labels);

    board::HidTransport& transport_;
    PortModel& ports_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
