#pragma once
// The program's own name and version, shown in titles and the about box.

namespace kvb {

inline constexpr const char* kProgramTitle = "KVB71853 Evaluation Software";
inline constexpr const char* kProgramDescription =
    "Evaluation software for the KVB71853, KVB53960 and KVB53961 battery monitors";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

}  // namespace kvb
