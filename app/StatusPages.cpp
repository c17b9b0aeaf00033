#include "app/StatusPages.h"

#include "data/Conversions.h"

#include <cstdio>

namespace kvb {

double ProgramConversions::cellVolts(int16_t raw, const link::RegisterDefinitions& defs) const
{
    return data::RegToCellVolts(raw, defs);
}

double ProgramConversions::packVolts(int16_t raw, const link::RegisterDefinitions& defs) const
{
    return data::RegToPackVolts(raw, defs);
}

double ProgramConversions::icTempDegC(int16_t raw, const link::RegisterDefinitions& defs) const
{
    return data::RegToICTempDegC(raw, defs);
}

double ProgramConversions::etVolts(int16_t raw, const link::RegisterDefinitions& defs) const
{
    return data::RegToETVolts(raw, defs);
}

namespace {

bool bit(int16_t value, int n)
{
    return (static_cast<uint16_t>(value) >> n) & 1u;
}

int faultLamp(bool set, bool present)
{
    return set && present ? kLampRed : kLampGrey;
}

// A setup lamp is green for a clear bit: the cell is in use.
int setupLamp(bool set, bool present)
{
    return !set && present ? kLampGreen : kLampGrey;
}

std::string format(double value, int places)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    std::string s(text);
    // A value that rounds to zero shows without a sign.
    if (s[0] == '-' && s.find_first_of("123456789") == std::string::npos)
        s.erase(0, 1);
    return s;
}

struct Reader {
    const link::ChipLink& link;
    int16_t img(int type, int device, int reg) const { return link.image.at(type, device, reg); }
    double scale(int reg) const { return link.definitions.def(0, reg).scale; }
    bool present(int type) const { return (type == 0 ? link.DeviceCount1 : link.DeviceCount2) >= 1; }
};

}  // namespace

std::string FormatVolts(double value)
{
    return format(value, 4);
}

std::string FormatDegrees(double value)
{
    return format(value, 1);
}

BalanceSettings DecodeBalanceSettings(int16_t balanceSetup, int16_t balanceTime)
{
    BalanceSettings s;
    s.mode = balanceSetup & 3;
    s.timeout = (balanceTime & 0x3F80) / 128;
    s.wait = (balanceSetup & 0x1C) / 4;
    s.enabled = bit(balanceSetup, 9);
    return s;
}

BalanceButtons BalanceButtonsFromImage(const link::ChipLink& link)
{
    Reader r{link};
    const int d = link.SelectedDevice;
    BalanceButtons b;
    const int mode = r.img(0, d, page_reg::BalanceSetup) & 3;
    b.shown = mode == 1 || mode == 2;
    for (int i = 0; i < kCells; ++i)
        b.on[i] = bit(r.img(0, d, page_reg::BalanceStatus), i) && r.present(0);
    return b;
}

MainPageContent MainPageFromImage(const link::ChipLink& link, const PageConversions& convert)
{
    using namespace page_reg;
    Reader r{link};
    const link::RegisterDefinitions& defs = link.definitions;
    const int d = link.SelectedDevice;
    const bool present0 = r.present(0);
    MainPageContent c;

    for (int type = 0; type < 2; ++type) {
        const bool present = r.present(type);
        for (int i = 0; i < kCells; ++i) {
            c.cellSetup[12 * type + i] = setupLamp(bit(r.img(type, d, CellSetup), i), present);
            c.cellOV[12 * type + i] = faultLamp(bit(r.img(type, d, OverVoltage), i), present);
            c.cellUV[12 * type + i] = faultLamp(bit(r.img(type, d, UnderVoltage), i), present);
        }
    }
    for (int i = 0; i < kWireInputs; ++i)
        c.cellOW[i] = faultLamp(bit(r.img(0, d, OpenWire), i), present0);
    c.vssOW = faultLamp(bit(r.img(0, d, FaultStatus), kVssOpenWireBit), present0);
    c.vbatOW = faultLamp(bit(r.img(0, d, FaultStatus), kVbatOpenWireBit), present0);

    if (present0) {
        for (int i = 0; i < kCells; ++i)
            c.cellVoltage[i] = FormatVolts(convert.cellVolts(r.img(0, d, FirstCell + i), defs));
        c.vbatVoltage = FormatVolts(convert.packVolts(r.img(0, d, Vbat), defs));
        for (int i = 0; i < 4; ++i)
            c.temperatures[1 + i] = FormatVolts(convert.etVolts(r.img(0, d, FirstET + i), defs));
        c.temperatures[0] = FormatDegrees(convert.icTempDegC(r.img(0, d, ICTemp), defs));
        c.ovLimit = FormatVolts(static_cast<double>(r.img(0, d, OVLimit)) * r.scale(OVLimit));
        c.uvLimit = FormatVolts(static_cast<double>(r.img(0, d, UVLimit)) * r.scale(UVLimit));
        c.itLimit = FormatDegrees((static_cast<double>(r.img(0, d, ITLimit)) - defs.tint25) * r.scale(ITLimit) +
                                  25.0);
    }
    c.balance = DecodeBalanceSettings(r.img(0, d, BalanceSetup), r.img(0, d, BalanceTime));

    double sum = 0.0;
    for (int i = 0; i < kStackDevices; ++i) {
        c.devicePres[i] = i < link.DeviceCount1 ? kLampGreen : kLampGrey;
        c.devicePres[kStackDevices + i] = i < link.DeviceCount2 ? kLampGreen : kLampGrey;
        c.deviceFault[i] = faultLamp(r.img(0, i + 1, FaultStatus) != 0, i < link.DeviceCount1);
        c.deviceFault[kStackDevices + i] =
            faultLamp(r.img(1, i + 1, FaultStatus) != 0, i < link.DeviceCount2);
        if (i < link.DeviceCount1) {
            const double v = static_cast<double>(r.img(0, i + 1, Vbat)) * r.scale(Vbat);
            c.deviceVbat[i] = FormatVolts(v);
            sum += v;
        }
    }
    if (present0)
        c.stackVoltage = FormatVolts(sum);
    return c;
}

MonitorPageContent MonitorPageFromImage(const link::ChipLink& link,
                                        const PageConversions& convert)
{
    using namespace page_reg;
    Reader r{link};
    const link::RegisterDefinitions& defs = link.definitions;
    MonitorPageContent c;
    for (int k = 1; k < kMonitorFrames; ++k)
        c.frameShown[k] = link.DeviceCount1 > k || link.DeviceCount2 > k;
    c.frameShown[0] = true;

    for (int f = 0; f < kMonitorFrames; ++f) {
        const int n = f + 1;
        for (int type = 0; type < 2; ++type) {
            const bool present = r.present(type);
            for (int i = 0; i < kCells; ++i) {
                c.cellOV[type][12 * f + i] = faultLamp(bit(r.img(type, n, OverVoltage), i), present);
                c.cellUV[type][12 * f + i] = faultLamp(bit(r.img(type, n, UnderVoltage), i), present);
            }
        }
        const bool present0 = r.present(0);
        for (int i = 0; i < kWireInputs; ++i)
            c.cellOW[13 * f + i] = faultLamp(bit(r.img(0, n, OpenWire), i), present0);
        c.vssOW[f] = faultLamp(bit(r.img(0, n, FaultStatus), kVssOpenWireBit), present0);
        c.vbatOW[f] = faultLamp(bit(r.img(0, n, FaultStatus), kVbatOpenWireBit), present0);
        if (present0) {
            for (int i = 0; i < kCells; ++i)
                c.cellVoltage[12 * f + i] =
                    FormatVolts(convert.cellVolts(r.img(0, n, FirstCell + i), defs));
            c.vbatVoltage[f] = FormatVolts(convert.packVolts(r.img(0, n, Vbat), defs));
        }
    }
    return c;
}

}  // namespace kvb
