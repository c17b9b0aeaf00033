#pragma once
// The chip register map as the program holds it: register numbers, the
// register image of every device, and the register definitions and tabs read
// from the register-definition file. Indexed first by device type (0: the
// KVB71853 or KVB53960, 1: the KVB53961).

#include <array>
#include <cstdint>
#include <string>

namespace kvb::link {

constexpr int kDeviceTypes = 2;
constexpr int kDevices = 16;        // device numbers 0..15; 15 addresses all devices
constexpr int kRegisters = 512;     // category (3 bits) * 64 + address (6 bits)
constexpr int kBits = 14;           // a chip register carries 14 bits
constexpr int kMaxTabs = 51;
constexpr int kTabRows = 8;

// A register's number from a category (its write flag, bit 3, ignored) and
// an address.
constexpr int RegisterIndex(int category, int address)
{
    return (category & 7) * 64 + (address & 63);
}

// The index of a device type in the tables kept per type: 0 for type 0, 1
// for any other.
constexpr int TypeIndex(int deviceType)
{
    return deviceType == 0 ? 0 : 1;
}

// The fault status register (category 2, address 4).
constexpr int kFaultStatusRegister = RegisterIndex(2, 4);

// The fault status register of each device of each type: as the chips last
// reported it (the image), or as of the last fault scan (the link's latch).
using LatchedFaults = std::array<std::array<int16_t, kDevices>, kDeviceTypes>;

// Register kinds.
enum RegKind : int {
    KindAbsent = -1,       // the register does not exist on this device type
    KindReadOnly = 0,
    KindReadWrite = 1,
    KindCommand = 2,       // command without data
    KindCommandData = 3,   // command carrying data (bits 0..5)
    KindCommandData4 = 4,  // as kind 3
    KindReadAll = 5,       // read-all command with a multi-frame answer
};

// The last value read from or written to each register of each device, and
// which of those values a chip gave in this run: a value is known once it
// was read from a chip, or written to one that answered (configuration
// loading writes through the chips). Edits in the register rows change the
// value without making it known. A new register-definition file clears
// values and flags; a new connection forgets the flags, since the chips
// behind it may hold anything (the values stay on screen until read again).
//
// Beside the values the image keeps the fault status of each device as the
// chips reported it; the fault scan compares only these, since a value typed
// into a row or loaded from a file is no fault report. Wherever the program
// zeroes the fault status register, the report goes with it.
class RegisterImage {
public:
    int16_t& at(int type, int device, int reg) { return values_[type][device][reg]; }
    int16_t at(int type, int device, int reg) const { return values_[type][device][reg]; }
    bool known(int type, int device, int reg) const { return known_[type][device][reg]; }
    // A value a chip gave or took.
    void store(int type, int device, int reg, int16_t value)
    {
        values_[type][device][reg] = value;
        known_[type][device][reg] = true;
        if (reg == kFaultStatusRegister)
            reportedFaults_[type][device] = value;
    }
    // The value the image holds was taken by a chip that answered.
    void markKnown(int type, int device, int reg) { known_[type][device][reg] = true; }
    // The program sets a register to 0 (clearing the faults).
    void zero(int type, int device, int reg)
    {
        values_[type][device][reg] = 0;
        if (reg == kFaultStatusRegister)
            reportedFaults_[type][device] = 0;
    }
    int16_t reportedFaults(int type, int device) const { return reportedFaults_[type][device]; }
    void forgetReportedFaults()
    {
        for (auto& t : reportedFaults_)
            t.fill(0);
    }
    void forgetKnown()
    {
        for (auto& t : known_)
            for (auto& d : t)
                d.fill(false);
    }
    void clear()
    {
        for (auto& t : values_)
            for (auto& d : t)
                d.fill(0);
        forgetKnown();
        forgetReportedFaults();
    }

private:
    std::array<std::array<std::array<int16_t, kRegisters>, kDevices>, kDeviceTypes> values_{};
    std::array<std::array<std::array<bool, kRegisters>, kDevices>, kDeviceTypes> known_{};
    LatchedFaults reportedFaults_{};
};

// The definition of one register on one device type.
struct RegisterDefinition {
    std::string name;                 // RegNames
    int kind = KindAbsent;            // RegType
    std::string valueLabel;           // RegValueLabels
    std::string units;                // RegUnits
    double scale = 1.0;               // RegScale
    std::array<std::string, kBits> bitNames;  // BitNames
};

// Register definitions and register tabs of both device types.
struct RegisterDefinitions {
    std::array<std::array<RegisterDefinition, kRegisters>, kDeviceTypes> regs;
    std::array<std::array<std::string, kMaxTabs>, kDeviceTypes> tabNames;
    // Register shown in each row of each tab; -1 (anything outside 0..511)
    // marks an empty row.
    std::array<std::array<std::array<int16_t, kTabRows>, kMaxTabs>, kDeviceTypes> tabRegisters;
    // Index of the last tab of each type (number of tabs minus one).
    std::array<int16_t, kDeviceTypes> tabCount{0, 0};
    int16_t tint25 = 9217;  // internal-temperature count standing for 25 degrees

    RegisterDefinitions()
    {
        for (auto& t : tabRegisters)
            for (auto& tab : t)
                tab.fill(-1);
    }

    const RegisterDefinition& def(int type, int reg) const { return regs[type][reg]; }
    int kind(int type, int reg) const
    {
        return reg >= 0 && reg < kRegisters ? regs[type][reg].kind : KindAbsent;
    }
    // A register whose value the chips answer (read-only or read/write); any
    // type but 0 counts as type 1.
    bool readable(int type, int reg) const
    {
        const int k = kind(TypeIndex(type), reg);
        return k == KindReadOnly || k == KindReadWrite;
    }
};

}  // namespace kvb::link
