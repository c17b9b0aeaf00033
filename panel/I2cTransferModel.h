#pragma once
// The board panel's I2C transfers over the byte grid: simple and block reads
// and writes at the panel's slave address, the write-box fills, and the
// single-register read and toggle write.

#include "board/HidTransport.h"
#include "panel/ByteGrid.h"
#include "panel/I2cAddressModel.h"
#include "panel/PanelIo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <span>
#include <vector>

namespace kvb::panel {

// Where a transfer's register byte comes from: with "Random Read/Write"
// ticked one byte from the starting-register box, otherwise none.
struct RegisterAddress {
    size_t length = 0;
    uint8_t reg = 0;

    std::span<const uint8_t> bytes() const { return {&reg, length}; }
};

class I2cTransferModel {
public:
    // The count boxes hold 1 to 32 bytes.
    static constexpr int kMaxCount = 32;
    static constexpr int kClearedReadRows = 32;

    I2cTransferModel(board::HidTransport& transport, ByteGrid& grid, I2cAddressModel& address,
                     PanelSignals& notices);

    // "Read Simple" / "Write Simple": one attempt, no messages.
    void simpleRead();
    void simpleWrite();
    // "Read" / "Write" of the block: with the retry wrappers.
    void blockRead();
    void blockWrite();

    // "Fill Write Text Boxes per Option": 0 file, 1 FF, 2 00, 3 AA, 4 55,
    // 5 random, -1 none chosen.
    int fillOption = -1;
    void fillWriteBoxes();
    // "Clear Read Text Boxes": rows 00 to 1F.
    void clearReadBoxes();

    // Single register with toggle.
    std::string registerText = "00";                       // txtRegister
    std::array<std::string, 2> writeIndividual{"00", "00"};  // txtWriteIndividual
    std::string readIndividual;                            // txtReadIndividual
    // Reads the register; true when the device answered.
    bool ReadIndividual();
    void writeToggle(int index);

    // Clamps a count box to 1..32 in place and returns the count.
    static int clampCount(std::string& box);

private:
    // A transfer's bytes (as many as its count) and register.
    struct TransferRequest {
        std::vector<uint8_t> data;
        RegisterAddress where;
        uint8_t count() const { return static_cast<uint8_t>(data.size()); }
    };
    // The count, bytes and register of a write, each checked; nothing when
    // a box is refused.
    std::optional<TransferRequest> prepareWrite();
    // The count and register of a read (its bytes zeroed), each checked;
    // nothing when the register box is refused.
    std::optional<TransferRequest> prepareRead();
    std::optional<RegisterAddress> registerFor(const std::string& box, const std::string& name);
    void showRead(uint8_t reg, const std::vector<uint8_t>& data, bool good);
    void showSlave();

    board::HidTransport& transport_;
    ByteGrid& grid_;
    I2cAddressModel& address_;
    PanelSignals& notices_;
};

}  // namespace kvb::panel
