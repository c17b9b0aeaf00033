#pragma once
// Colours of the panel's mode lamps, 0x00BBGGRR, and the pictures of its
// picture buttons.

#include <cstdint>

namespace kvb::bench {

inline constexpr uint32_t kLampBlack = 0x000000;     // palette colour 0
inline constexpr uint32_t kLampLightRed = 0x0000FF;  // palette colour 12

// The pictures the panel's picture buttons show.
enum class Picture {
    OutputOff,
    OutputOn,
    RelayLinked,
    RelayOpen,
};

// The icon file of a picture, in the program's folder.
inline const char* pictureFileName(Picture picture)
{
    switch (picture) {
    case Picture::OutputOff: return "HPYELOF.ICO";
    case Picture::OutputOn: return "HPYELON.ICO";
    case Picture::RelayLinked: return "RLYSPC.ICO";
    case Picture::RelayOpen: return "AUXR.ICO";
    }
    return "";
}

}  // namespace kvb::bench
