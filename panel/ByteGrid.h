#pragma once
// The board panel's 64-row byte grid: a write box and a read box per row,
// the byte count to write. The chip pipe, the raw SPI write and the I2C
// block transfers all fill and read it; the panel window shows it.

#include "panel/RegistersFile.h"

#include <array>
#include <functional>
#include <string>

namespace kvb::panel {

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

    // The boxes around the grid that the I2C and raw SPI transfers share.
    std::string numToRead = "1";
    std::string startRegRd = "00";
    std::string startRegWr = "00";
    std::string slaveAddress = "--";  // address of the last I2C transfer
    bool random = false;              // "Random Read/Write": send a register byte
    bool fileWriteData = false;       // "Load Write Data from File"
    // The register list that the file option and the fill from file read.
    std::string registersFile = kRegistersFileName;

    // The panel's starting state: write boxes "00", read boxes empty, one
    // byte to write.
    void resetForPanel()
    {
        writeVal.fill("00");
        readVal.fill("");
        numToWrite = "1";
    }

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

    // Tells the view that boxes changed: a window hook, since the panel
    // window comes and goes while the grid lives on; the window clears it
    // when it goes.
    void notify()
    {
        if (changed)
            changed();
    }
    std::function<void()> changed;
};

}  // namespace kvb::panel
