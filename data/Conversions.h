#pragma once
// Conversions of raw register values into engineering units. The scale of
// each quantity is the type-0 scale of one register of the register map, read
// at each call, so a register map loaded later takes effect at once; every
// device type is converted with the type-0 scales.

#include "link/RegisterModel.h"

#include <cstdint>

namespace kvb::data {

inline constexpr int kPackRegister = 64;
inline constexpr int kFirstCellRegister = 65;
inline constexpr int kICTempRegister = 80;
inline constexpr int kFirstETRegister = 81;
inline constexpr int kFaultStatusRegister = 132;

// Cell volts: the 14-bit value read as two's complement (8192..16383 are
// negative) times the scale of register 65.
double RegToCellVolts(int16_t raw, const link::RegisterDefinitions& defs);
// Pack volts: the value times the scale of register 64 (no sign extension).
double RegToPackVolts(int16_t raw, const link::RegisterDefinitions& defs);
// Degrees Celsius: (value - Tint25) times the scale of register 80, plus 25.
double RegToICTempDegC(int16_t raw, const link::RegisterDefinitions& defs);
// External-input volts: the value times the scale of register 81.
double RegToETVolts(int16_t raw, const link::RegisterDefinitions& defs);
// The plotted level of a fault trace: the base level, plus 1 while any
// fault bit is set.
double FaultToChartValue(int16_t faultWord, double baseLevel);

}  // namespace kvb::data
