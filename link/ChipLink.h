#pragma once
// The chip link: carries chip messages through the board's pipe, reads and
// writes single registers, pauses the poll timer around exchanges, applies
// the answers' frames to the register image, the lamps and the register
// views, and brings the link up. It owns the link state that the rest of
// the program reads; the state changes only through the link's operations.
// Beside it: the answer parser (`AnswerFrames`), the logs (`LinkLog`) and
// the identification of the devices (`DeviceIdentification`).

#include "board/ChipPipe.h"
#include "board/ChipRequestObserver.h"
#include "board/HidTransport.h"
#include "core/Services.h"
#include "link/ChipFrame.h"
#include "link/LinkHooks.h"
#include "link/LinkLog.h"
#include "link/LinkText.h"
#include "link/PollControl.h"
#include "link/RegisterModel.h"
#include "link/StatusLamps.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvb::link {

struct AnswerFrame;

constexpr int kAckRegister = RegisterIndex(3, 0x0C);
constexpr int kNackRegister = RegisterIndex(3, 0x0B);

class ChipLink {
public:
    // Answer bytes start at report byte 5, so at most 59 fit: a count of 60.
    static constexpr int kMaxRxLength = static_cast<int>(board::kReportSize) - 4;

    // `requests` follows each request before the pipe takes it (the board
    // panel's grid).
    ChipLink(board::HidTransport& transport, board::ChipPipe& pipe,
             board::ChipRequestObserver& requests, Services& services, LinkHost& host);
    ChipLink(const ChipLink&) = delete;
    ChipLink& operator=(const ChipLink&) = delete;

    // --- Link state -------------------------------------------------------
    // Read under their names everywhere; written only by the link itself
    // and through the operations below.
    bool EvbConnected() const { return transport_.EvbConnected; }
    // The pipe the link's frames travel through (for watching a lost board).
    const board::ChipPipe& pipe() const { return pipe_; }
    const bool& DaisyChainMode = daisyChainMode_;
    const int16_t& DeviceCount1 = deviceCount1_;
    const int16_t& DeviceCount2 = deviceCount2_;
    const bool& SecondTypePresent = secondTypePresent_;
    const std::string& PartName1 = partName1_;
    const std::string& PartName2 = partName2_;
    // The device and type the register views show.
    const int16_t& SelectedDevice = selectedDevice_;
    const int16_t& SelectedDeviceType = selectedDeviceType_;
    // The poll tick reads the chain's unprompted responses.
    const bool& UprPollingEnabled = uprPollingEnabled_;
    const LinkViewOptions& options = options_;

    int16_t deviceCount(int type) const { return type == 0 ? deviceCount1_ : deviceCount2_; }
    const std::string& partName(int type) const { return type == 0 ? PartName1 : PartName2; }

    // The parts an accepted configuration names: whether type-1 devices are
    // fitted (identification then covers them) and the names of both types.
    void SetFittedParts(bool secondTypePresent, const std::string& partName1,
                        const std::string& partName2);
    // The link mode and device counts as the user chose them, taken without
    // set-up or identification.
    void TakeChosenLink(bool daisyChain, int16_t count1, int16_t count2);
    void selectDevice(int16_t device) { selectedDevice_ = device; }
    void selectDeviceType(int16_t type) { selectedDeviceType_ = type; }
    void setUprPollingEnabled(bool enabled) { uprPollingEnabled_ = enabled; }
    void setShowActivityLogs(bool show) { options_.ShowActivityLogs = show; }
    void setUpdateGuiControls(bool update) { options_.UpdateGuiControls = update; }

    // --- SPI and port set-up ------------------------------------------------
    // The record sent to the board and read back; GpioSetupByte is 8 on a
    // daisy chain, 0 on a single device.
    const std::array<uint8_t, 9>& gpioSpiSetup() const { return GpioSpiSetup; }
    uint8_t gpioSetupByte() const { return GpioSetupByte; }
    uint8_t spiClockCode() const { return SpiClockCode; }
    uint8_t spiTimeoutHigh() const { return SpiTimeoutHigh; }
    uint8_t spiTimeoutLow() const { return SpiTimeoutLow; }
    // The link mode an accepted configuration chose: GpioSetupByte and the
    // record's mode byte.
    void takeGpioSetupByte(uint8_t setupByte);
    // Sent with the next set-up record.
    void setSpiClockCode(uint8_t code) { SpiClockCode = code; }
    void setSpiTimeout(uint8_t high, uint8_t low);

    // --- Register map -----------------------------------------------------
    RegisterImage image;
    RegisterDefinitions definitions;
    // Forgets every fault seen and reported, as at the main window's load.
    void resetFaultLatch();

    // --- Views, windows and logs ------------------------------------------
    // COM, ACK, NACK and FAULT are lit here; the window follows `lamps.changed`.
    StatusLamps lamps;
    LinkLog log;
    // The main window's register views, pages and log boxes, or none.
    void attachView(LinkView* view)
    {
        view_ = view;
        log.attachView(view);
    }
    LinkView* view() const { return view_; }

    // --- One exchange at a time ---------------------------------------------
    // Everything that talks to the chips holds an ExchangeScope from its
    // request to the end of its answer's parse (a connect holds one for all
    // of its steps). While one is held or the pipe carries a frame, the
    // frame buffers, the report buffer and the answer belong to that
    // exchange: the poll tick skips its turn, and a transfer asked for from
    // inside the pipe's waits is refused before it writes anything. Clicks
    // and keys never run inside an exchange: the event pump holds them back
    // until the handler returns to the event loop.
    bool exchanging() const { return exchangeDepth_ > 0 || pipe_.busy(); }
    class ExchangeScope {
    public:
        explicit ExchangeScope(ChipLink& link) : link_(link) { ++link_.exchangeDepth_; }
        ~ExchangeScope() { --link_.exchangeDepth_; }
        ExchangeScope(const ExchangeScope&) = delete;
        ExchangeScope& operator=(const ExchangeScope&) = delete;

    private:
        ChipLink& link_;
    };
    // True, after logging the refusal, when a transfer is in flight further
    // up the call stack: the caller must then send and change nothing.
    bool refuseNested();

    // --- Exchange -----------------------------------------------------------
    // Encodes the message for the current link, sends it and takes the
    // answer's length. True when the board answered; a failed transfer
    // leaves RxLength 0, an answer of no bytes. COM goes green as the frame
    // goes out and stays so on the daisy chain, whose parser judges the
    // answer; on the single-device link a register value (kind 0 or 1) the
    // answer is too short to hold turns it red. Refused, with nothing
    // written, while the pipe is busy.
    bool SendReceivePipe(ChipMessage& message) { return sendReceive(message) == Transfer::Done; }
    // SendReceivePipe in an exchange of its own, then the answer parsed for
    // the link mode under the "rcv," prefix whenever the frame went out:
    // after a failed transfer too, as an answer of no bytes, so that the
    // parser reports what was owed and did not come (on the daisy chain a
    // request to one device, on the single-device link a register value).
    // Nothing is parsed when nothing was sent (no board, or refused). True
    // when the board answered and the parse ran to its end.
    bool SendAndParse(ChipMessage& message);
    // The chip bytes of the last answer (report bytes 5 onward).
    std::span<const uint8_t> answerBytes() const;
    // The last answer holds a whole frame: the count byte and four chip bytes.
    bool answered() const { return RxLength >= 5; }
    // The frame buffers of the last exchange: the select byte, the frame and
    // (single device, readable register) room for the answer; the answer's
    // length as the board reported it.
    const std::vector<uint8_t>& txFrame() const { return TxFrame; }
    int txFrameLength() const { return static_cast<int>(TxFrame.size()); }
    int rxLength() const { return RxLength; }
    // Waits on the clock, letting window events run; 0 returns at once.
    void TimerDelay(int milliseconds);

    // --- Register access and polling pause ---------------------------------
    // Both are true when the request went out and was answered without a
    // communication error: the answer holds a whole frame, its parse ran to
    // its end (an unexpected error there has shown its box and makes them
    // false) and, on the daisy chain, no CRC error, not-acknowledge or
    // missing answer was logged.
    // A read stores the answered value in the image. A write the chip took
    // leaves in the image, as the chip's, what it echoed on the daisy chain
    // and the data sent on the single-device link; a type-0 balance status
    // register's value also goes to the bank the chip's pointer selects
    // (RegisterImage::storeWritten). Callers keep their copy of a written
    // value only on true.
    bool ReadSingleReg(ChipMessage& message);
    bool WriteSingleReg(ChipMessage& message);
    // Pause and resume nest: only the outermost pair stops and restarts the
    // poll timer. Prefer PollingPause, which resumes on every path. Neither
    // waits for a transfer: none can be in flight when they run (see
    // exchanging()).
    void PauseUprPolling();
    void ResumeUprPolling();
    void DisableUprPolling();
    int pauseDepth() const { return pauseDepth_; }
    // The poller, which owns the enable box's state and the poll timer.
    void attachPolling(PollControl* polling) { polling_ = polling; }
    // Unticks polling and stops the poll timer (a pending unprompted
    // response, a lost board, the link switched off).
    void stopPolling();

    // --- Answer parsing ----------------------------------------------------
    // False when an unexpected error ended the parse, after its box: what
    // the answer stored up to there stays, but the request it answered must
    // not count as answered.
    bool ParseDaisyChainResponse(const ChipMessage& message, const std::string& prefix);
    bool ParseNonDaisyChainResponse(ChipMessage& message, const std::string& prefix);

    // --- Link start -------------------------------------------------------
    bool InitializeDriver();
    // Sends the set-up for the chosen mode and identifies the devices, also
    // when the set-up could not be read back. False when a device type's
    // identification did not complete.
    bool InitializeEvb();
    bool SetGpioSpiSetupNonDaisy();
    bool SetGpioSpiSetupDaisy();
    // False when the read-back failed; the record then keeps what it held.
    bool UpdateReadGpioSpi();
    void CloseEvbOnUnload();
    // Identifies the devices of a type (DeviceIdentification) and takes the
    // count it found.
    bool IdentifyDaisyChain(int chain);
    bool IdentifyNonDaisyChain(int deviceType);

private:
    // What became of a frame: nothing went out (no board, or refused inside
    // a transfer), it went out and the transfer failed, or it was answered.
    enum class Transfer { NotSent, Failed, Done };
    Transfer sendReceive(ChipMessage& message);
    // The link's own lines in its log.
    void AddToEvbLog(const std::string& text1, const std::string& text2 = kCrLf)
    {
        log.AddToEvbLog(text1, text2);
    }
    bool takeCount(int type, bool found, std::optional<int16_t> count);
    std::string requestLine(const std::string& prefix, const ChipMessage& m, int dataWidth) const;
    void parseDaisy(const ChipMessage& message, const std::string& prefix);
    bool applyFrame(const AnswerFrame& frame, int type, const std::string& prefix);
    bool answerDue(const ChipMessage& message, int commandKind) const;
    void parseNonDaisy(ChipMessage& message, const std::string& prefix);
    void refreshTabs();
    void scanFaults();
    void restartPollTimer();
    bool pollingTicked() const { return polling_ && polling_->pollingOn(); }
    void setPollTimer(bool running)
    {
        if (polling_)
            polling_->setTimerRunning(running);
    }

    bool daisyChainMode_ = false;
    int16_t deviceCount1_ = 0;
    int16_t deviceCount2_ = 0;
    bool secondTypePresent_ = false;
    std::string partName1_ = "KVB71853";
    std::string partName2_ = "NA";
    int16_t selectedDevice_ = 1;
    int16_t selectedDeviceType_ = 0;
    bool uprPollingEnabled_ = false;
    LinkViewOptions options_;
    LatchedFaults latchedFaults{};
    // The value the addressed device gave for the register asked for, in
    // the last daisy-chain answer; none when it gave none.
    std::optional<int16_t> requestedValue_;

    // SPI and port set-up sent to the board and read back.
    std::array<uint8_t, 9> GpioSpiSetup{};
    uint8_t GpioSetupByte = 0;  // 8 daisy chain, 0 single device
    uint8_t SpiClockCode = 2;
    uint8_t SpiTimeoutHigh = 0x29;
    uint8_t SpiTimeoutLow = 0x30;

    // Frame buffers of the last exchange.
    std::vector<uint8_t> TxFrame;
    int RxLength = 0;
    board::Report answer_{};

    board::HidTransport& transport_;
    board::ChipPipe& pipe_;
    board::ChipRequestObserver& requests_;
    Services& services_;
    PollControl* polling_ = nullptr;
    LinkHost& host_;
    LinkView* view_ = nullptr;
    int pauseDepth_ = 0;
    int exchangeDepth_ = 0;
};

// Pauses polling for its lifetime.
class PollingPause {
public:
    explicit PollingPause(ChipLink& link) : link_(link) { link_.PauseUprPolling(); }
    ~PollingPause() { link_.ResumeUprPolling(); }
    PollingPause(const PollingPause&) = delete;
    PollingPause& operator=(const PollingPause&) = delete;

private:
    ChipLink& link_;
};

}  // namespace kvb::link
