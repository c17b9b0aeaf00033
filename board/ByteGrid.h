#pragma once
// The board panel's 64-row byte grid: a write box and a read box per row,
// the byte count to write. The chip pipe, the raw SPI write and the I2C
// block transfers all fill and read it; the panel window shows it.

#include <array>
#include <functional>
#include <string>

namespace kvb::board {

class ByteGrid {
public:
    static constexpr int kRows = 64;
    static constexpr const char* kEmpty = "--";

    ByteGrid()
    {
        writeVal.fill(kEmpty);
        readVal.fill(kEmpty);
    }

    std::array<std::string, kRows> writeVal;
    std::array<std::string, kRows> readVal;
    std::string numToWrite;
    // The encoded frame's length less one, shown beside the boxes.
    std::string encodeLength;

    // Fills write boxes [first, last] with text.
    void fillWrite(int first, int last, const std::string& text)
    {
        for (int i = first; i <= last && i < kRows; ++i)
            writeVal[i] = text;
    }
    void fillRead(int first, int last, const std::string& text)
    {
        for (int i = first; i <= last && i < kRows; ++i)
            readVal[i] = text;
    }

    // Tells the view that boxes changed.
    void notify()
    {
        if (changed)
            changed();
    }
    std::function<void()> changed;
};

}  // namespace kvb::board
