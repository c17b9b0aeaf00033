#pragma once
// Which registers the simulated chips have, per device type, and what kind
// each is. The simulated chips read the shipped register-definition file
// themselves (only its REG lines and TINT25), so that a fault in the
// program's own reader of that file shows as a disagreement with them.

#include <array>
#include <cstdint>
#include <string>

namespace kvb::sim {

struct SimRegisterMap {
    static constexpr int kRegisters = 512;
    // Kinds as the file gives them; kAbsent where a type has no register.
    enum Kind : int8_t {
        kAbsent = -1,
        kReadOnly = 0,
        kReadWrite = 1,
        kCommand = 2,  // 2 to 4 are commands
        kReadAll = 5,
    };

    SimRegisterMap() { for (auto& t : kinds) t.fill(kAbsent); }

    int kind(int type, int reg) const
    {
        return type >= 0 && type < 2 && reg >= 0 && reg < kRegisters ? int{kinds[type][reg]} : int{kAbsent};
    }
    bool readable(int type, int reg) const
    {
        const int k = kind(type, reg);
        return k == kReadOnly || k == kReadWrite;
    }

    // Reads "REG,<index>,<name>,<kind>,..." lines below "BEGIN53960" (type
    // 0) and "BEGIN53961" (type 1), and "TINT25,&H<hex>". A missing file
    // gives a map without registers.
    static SimRegisterMap Load(const std::string& path);

    std::array<std::array<int8_t, kRegisters>, 2> kinds;
    int tint25 = 0x2401;
};

}  // namespace kvb::sim
