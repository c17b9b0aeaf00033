#pragma once
// Device configuration files: text files of register writes, one a line
// ("wrt,<part>,dev0x01,cat0x0A,adr0x03,dat0x0123"), saved from the register
// image and loaded back into the chips. The device configuration holds the
// set-up, limit, balance and user registers of every present device; the
// EEPROM file holds the EEPROM and test register pages of device 1.
//
// Loading checks the whole file before it writes anything: a register line
// with a digit that is not hexadecimal, a device above 15, a category above
// 0x0F, an address above 0x3F or a value above 14 bits stops the load with a
// message naming the line, and nothing is written. Lines ending in CR LF or
// LF are accepted.
// A load that writes no register at all says so, naming the file.

#include "core/Services.h"
#include "data/DataLogging.h"
#include "data/FileSystem.h"
#include "link/ChipLink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvb::data {

// The lines of a device configuration and of an EEPROM/test file, in order.
// A balance status bank is saved as the line that points the setup register
// at it and the line of its value; where the program does not know the bank
// or the setup register's value, a note line stands in place of the two.
std::vector<std::string> DeviceConfigLines(const link::ChipLink& link);
std::vector<std::string> EeTestLines(const link::ChipLink& link);

// One register write a configuration file asks for.
struct ConfigWrite {
    int line = 0;  // 1-based line number in the file
    int type = 0;
    int device = 0;
    uint8_t cat = 0;
    uint8_t adr = 0;
    int16_t dat = 0;
};

struct ConfigParse {
    std::vector<ConfigWrite> writes;
    int errorLine = 0;  // 0: the file is sound
    std::string error;
    std::string errorText;  // the offending line
    bool ok() const { return errorLine == 0; }
};

// The names of both device types and their device counts, which the
// file's lines are matched against.
struct ConfigParts {
    std::string partName1, partName2;
    int deviceCount1 = 0, deviceCount2 = 0;
};

// Reads every line of a file's text. Lines that are not register lines
// (titles, empty lines, fewer than six fields, another operation, a field
// of the wrong length or prefix, a part name that matches neither part)
// are skipped as the savers' titles are.
ConfigParse ParseConfigText(std::string_view text, const ConfigParts& parts);

// The main window as a load shows into it: the register tab's rows are laid
// out again where the answers did not refresh them. The window attaches it
// while it is open; without it nothing is redrawn.
class ConfigRowsView {
public:
    virtual ~ConfigRowsView() = default;
    // Lays out the register tab on screen again (the main window's tab click).
    virtual void refreshRows() = 0;
};

class DeviceConfigFiles {
public:
    DeviceConfigFiles(link::ChipLink& link, DataLogging& logging, Services& services,
                      const DocumentsFolder& documents);

    // Each returns the loaded path, or "" when nothing was loaded (also when
    // no board is connected, which the user is told once, and when no device
    // took any line of the file, which the user is told naming the file).
    std::string LoadDeviceConfig();
    std::string LoadDeviceEE();
    void SaveDeviceConfig();
    void Save_EE_Test_Regs();

    // Writes the lines of a checked file to the chips, in file order; a
    // register that is not read/write is skipped, and a lost board ends the
    // writing. Each value goes into the image before its write; the chip's
    // answer then leaves there what it holds, and a write it did not take
    // puts the image back as it was. Returns the writes the chips took.
    int ApplyConfig(const std::vector<ConfigWrite>& writes);

    // The folder the open dialog starts in (the documents folder when it is
    // gone).
    std::string ConfigFolder;
    // The window whose rows a load redraws, or none.
    void attachView(ConfigRowsView* view) { view_ = view; }

private:
    std::string load(const char* operation);
    // The part names a file's lines are matched against ("A or B").
    std::string fittedParts() const;
    bool save(const std::vector<std::string>& lines, const char* cancelled,
              const char* procedure);

    link::ChipLink& link_;
    DataLogging& logging_;
    Services& services_;
    const DocumentsFolder& documents_;
    ConfigRowsView* view_ = nullptr;
};

}  // namespace kvb::data
