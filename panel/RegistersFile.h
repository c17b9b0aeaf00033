#pragma once
// The register list file "registers.txt" from which the board panel takes
// the bytes of a block write, a raw SPI write or a fill: the item "generic"
// first, then one item per byte ("0x" and one or two hexadecimal digits;
// any other item stands for 0). Items are separated by commas or line
// breaks (CR, LF or CR LF); an item in double quotes may hold commas.

#include "board/BoardUser.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace kvb::panel {

inline constexpr const char* kRegistersFileName = "registers.txt";

// The first `count` bytes listed in `in`, or nothing when the list is
// refused (first item not "generic", too few items, "0x" without hexadecimal
// digits after it). Reading stops after the count-th byte item: the rest of
// the list is not read.
std::optional<std::vector<uint8_t>> ReadRegistersList(std::istream& in, int count);

// Reads the file (from the current working folder by default). A refused
// or missing file is told to the user.
std::optional<std::vector<uint8_t>> LoadRegistersFile(board::BoardUser& user, int count,
                                                      const std::string& path = kRegistersFileName);

}  // namespace kvb::panel
