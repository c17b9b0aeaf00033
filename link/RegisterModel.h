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

// The balance setup register (bits 5 to 8 point at one of thirteen balance
// status banks) and the balance status register, through which a type-0
// chip reaches the bank pointed at (page 2).
constexpr int kBalanceSetupRegister = RegisterIndex(2, 0x13);
constexpr int kBalanceStatusRegister = RegisterIndex(2, 0x14);
constexpr int kBalanceBanks = 13;

// The thirteen balance status banks of every type-0 device as the program
// last read, wrote or edited them. The chip reaches the banks one at a time
// through the balance status register, so this table is the only place that
// holds all of them; a device configuration is saved from it. A bank the
// program never read, wrote or edited in this connection is marked unknown,
// and saving leaves it out rather than writing a value the chip may not
// hold.
//
// Beside the banks the table keeps, per device, the bank the chip's pointer
// selects as the chip last gave or took its setup register: a write of the
// status register lands there, whatever a register row shows of the setup
// register meanwhile.
class BalanceStatusTable {
public:
    int16_t value(int device, int bank) const { return values_[device][bank]; }
    bool known(int device, int bank) const { return known_[device][bank]; }
    void set(int device, int bank, int16_t value)
    {
        values_[device][bank] = value;
        known_[device][bank] = true;
    }
    // The bank the device's pointer selects; none before its setup register
    // came from the chip, or while it points past the last bank.
    static constexpr int kNoBank = -1;
    int pointedBank(int device) const { return pointedPlusOne_[device] - 1; }
    // The device's setup register as the chip gave or took it.
    void takeSetup(int device, int16_t setup)
    {
        const int bank = (setup >> 5) & 0x0F;
        pointedPlusOne_[device] = bank < kBalanceBanks ? bank + 1 : 0;
    }
    // A write of the status register that the chip at `device` took, with
    // the value it holds now: the bank its pointer selects takes it. Device
    // 0 (the identify address) and 15 (all devices) are no chip of their
    // own, and without a known pointer the bank written is unknown.
    void takeStatusWrite(int device, int16_t value)
    {
        constexpr int kLastChainDevice = 14;
        if (device < 1 || device > kLastChainDevice || pointedBank(device) == kNoBank)
            return;
        set(device, pointedBank(device), value);
    }
    void forgetKnown()
    {
        for (auto& d : known_)
            d.fill(false);
        pointedPlusOne_.fill(0);
    }
    void clear()
    {
        for (auto& d : values_)
            d.fill(0);
        forgetKnown();
    }

private:
    std::array<std::array<int16_t, kBalanceBanks>, kDevices> values_{};
    std::array<std::array<bool, kBalanceBanks>, kDevices> known_{};
    std::array<int, kDevices> pointedPlusOne_{};  // 0: no bank known
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
// zeroes the fault status register, the report goes with it. It also keeps
// the balance status banks of the type-0 devices, which the chips take and
// forget with the rest of the image.
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
        if (type == 0 && reg == kBalanceSetupRegister)
            banks.takeSetup(device, value);
    }
    // A write the chip at `device` took, with the value it holds now: the
    // value is the chip's, and a type-0 status register's goes to its bank.
    void storeWritten(int type, int device, int reg, int16_t value)
    {
        store(type, device, reg, value);
        if (type == 0 && reg == kBalanceStatusRegister)
            banks.takeStatusWrite(device, value);
    }
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
        banks.forgetKnown();
    }
    void clear()
    {
        for (auto& t : values_)
            for (auto& d : t)
                d.fill(0);
        forgetKnown();
        forgetReportedFaults();
        banks.clear();
    }

    BalanceStatusTable banks;

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
