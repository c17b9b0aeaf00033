#include "data/Conversions.h"

namespace kvb::data {

double RegToCellVolts(int16_t raw, const link::RegisterDefinitions& defs)
{
    int16_t v = raw >= 0x2000 ? static_cast<int16_t>(static_cast<uint16_t>(raw) | 0xC000u) : raw;
    return v * defs.def(0, kFirstCellRegister).scale;
}

double RegToPackVolts(int16_t raw, const link::RegisterDefinitions& defs)
{
    return raw * defs.def(0, kPackRegister).scale;
}

double RegToICTempDegC(int16_t raw, const link::RegisterDefinitions& defs)
{
    return (static_cast<double>(raw) - defs.tint25) * defs.def(0, kICTempRegister).scale + 25.0;
}

double RegToETVolts(int16_t raw, const link::RegisterDefinitions& defs)
{
    return raw * defs.def(0, kFirstETRegister).scale;
}

double FaultToChartValue(int16_t faultWord, double baseLevel)
{
    return faultWord == 0 ? baseLevel : baseLevel + 1.0;
}

}  // namespace kvb::data
