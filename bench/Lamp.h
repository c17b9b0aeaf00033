#pragma once
// Colours of the panel's mode lamps, 0x00BBGGRR.

#include <cstdint>

namespace kvb::bench {

inline constexpr uint32_t kLampBlack = 0x000000;     // palette colour 0
inline constexpr uint32_t kLampLightRed = 0x0000FF;  // palette colour 12

// The pictures the panel's picture buttons show.
enum class Picture {
    OutputOff,   // "HPYELOF.ICO"
    OutputOn,    // "HPYELON.ICO"
    RelayLinked, // "RLYSPC.ICO"
    RelayOpen,   // "AUXR.ICO"
};

}  // namespace kvb::bench
