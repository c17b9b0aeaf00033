// The board panel's fixed tables walked entry by entry: the SPI clock
// speeds, the port registers and their lamps, the pins' starting states, the
// special-function-register list and the ADC multiplexer's inputs, each
// against the values as the board's documentation lists them.

#include "core/Hex.h"
#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

#include <utility>

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::Head;
using kvb::test::PanelTest;

namespace {

TEST(SpiClockTable, EveryCodeOfATwentyFourMegahertzBoard)
{
    // Code i runs at 24000 kHz / (2 (i + 1)), truncated to whole kHz.
    const std::vector<std::pair<std::string, int>> expected{
        {"0.5", 23},   {"0.521", 22}, {"0.545", 21}, {"0.571", 20}, {"0.6", 19},   {"0.631", 18},
        {"0.666", 17}, {"0.705", 16}, {"0.75", 15},  {"0.8", 14},   {"0.857", 13}, {"0.923", 12},
        {"1", 11},     {"1.09", 10},  {"1.2", 9},    {"1.333", 8},  {"1.5", 7},    {"1.714", 6},
        {"2", 5},      {"2.4", 4},    {"3", 3},      {"4", 2},      {"6", 1},      {"12", 0}};
    std::vector<std::pair<std::string, int>> list;
    for (const SpiClockEntry& e : SpiClockList(24, "."))
        list.push_back({e.text, e.code});
    EXPECT_EQ(list, expected);

    // 500 kHz is the slowest speed offered; 461 kHz (12 MHz, code 12) is not.
    const auto twelve = SpiClockList(12, ".");
    ASSERT_EQ(twelve.size(), 12u);
    EXPECT_EQ(twelve.front().text, "0.5");
    EXPECT_EQ(twelve.front().code, 11);
    EXPECT_EQ(twelve.back().text, "6");
    EXPECT_EQ(twelve.back().code, 0);
}

using PanelTables = PanelTest;

TEST_F(PanelTables, SpiOptionsEachHaveTheirOwnBit)
{
    SpiModel& spi = panel().spi;
    struct Option {
        bool SpiModel::*box;
        int bit;
    };
    for (Option o : {Option{&SpiModel::clockPolarity, 1}, Option{&SpiModel::clockPhase, 2},
                     Option{&SpiModel::slaveSelect, 4}}) {
        spi.setOption(spi.*o.box, true);
        EXPECT_EQ(Head(board->requests.back(), 4), (std::vector<int>{1, 0x07, 0, o.bit}));
        spi.setOption(spi.*o.box, false);
        EXPECT_EQ(Head(board->requests.back(), 4), (std::vector<int>{1, 0x07, 0, 0}));
    }
}

TEST_F(PanelTables, WriteReadAllWalksEveryPortRegisterAndLightsEachLampOnce)
{
    PortModel& ports = panel().ports;
    ports.writeReadAll();
    // Output modes, then data, then input modes; each register written, then read.
    const int order[] = {0xA4, 0xA5, 0xA6, 0xA7, 0xAE, 0x80, 0x90, 0xA0,
                         0xB0, 0xC7, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5};
    std::vector<std::pair<int, int>> expected;
    for (int address : order) {
        expected.push_back({0, address});
        expected.push_back({1, address});
    }
    std::vector<std::pair<int, int>> requests;
    for (const Report& r : board->requests) {
        ASSERT_EQ(r[1], 0x12);
        requests.push_back({r[2], r[3]});
    }
    EXPECT_EQ(requests, expected);
    for (int lamp = 0; lamp < 15; ++lamp)
        EXPECT_EQ(ports.lamp(lamp), Lamp::LightGreen) << lamp;

    // Each register's read-back paints its own lamp: output mode = port,
    // data = port + 5, input mode = port + 10.
    const std::pair<PortRow, int> lampOwners[15] = {
        {PortRow::OutputMode, 0}, {PortRow::OutputMode, 1}, {PortRow::OutputMode, 2},
        {PortRow::OutputMode, 3}, {PortRow::OutputMode, 4}, {PortRow::Data, 0},
        {PortRow::Data, 1},       {PortRow::Data, 2},       {PortRow::Data, 3},
        {PortRow::Data, 4},       {PortRow::InputMode, 0},  {PortRow::InputMode, 1},
        {PortRow::InputMode, 2},  {PortRow::InputMode, 3},  {PortRow::InputMode, 4}};
    for (int lamp = 0; lamp < 15; ++lamp) {
        ports.read(lampOwners[lamp].first, lampOwners[lamp].second);
        for (int other = 0; other < 15; ++other)
            EXPECT_EQ(ports.lamp(other), other <= lamp ? Lamp::DarkGreen : Lamp::LightGreen)
                << "after reading the owner of lamp " << lamp << ", lamp " << other;
    }
}

TEST_F(PanelTables, PinsStartInTheirDocumentedStates)
{
    // Push-pull: P0.6-7, P1.1-2, P1.4-7, P2.4-7, P3.2; high: P1.0, P1.3;
    // no pin analog.
    const int outputMode[5] = {0xC0, 0xF6, 0xF0, 0x04, 0x00};
    const int data[5] = {0x00, 0x09, 0x00, 0x00, 0x00};
    const PortModel& ports = panel().ports;
    for (int port = 0; port < 5; ++port) {
        EXPECT_EQ(ports.rowByte(PortRow::OutputMode, port), outputMode[port]) << port;
        EXPECT_EQ(ports.rowByte(PortRow::Data, port), data[port]) << port;
        EXPECT_EQ(ports.rowByte(PortRow::InputMode, port), 0xFF) << port;
    }
}

// The port configuration carries port 1's eight output modes and port 2's
// lower four; every other pin's box leaves both bytes 0.
TEST_F(PanelTables, PortConfigurationCarriesEachPinOfItsTwelve)
{
    PortModel& ports = panel().ports;
    for (int port = 0; port < 5; ++port)
        for (int bit = 0; bit < 8; ++bit)
            ports.setBox(PortRow::OutputMode, port, bit, false);
    for (int port = 0; port < 5; ++port) {
        for (int bit = 0; bit < 8; ++bit) {
            ports.setBox(PortRow::OutputMode, port, bit, true);
            board->requests.clear();
            ports.setGpConf();
            const int one = 1 << bit;
            const int byte3 = port == 1 ? one : 0;
            const int byte4 = port == 2 && bit < 4 ? one : 0;
            ASSERT_EQ(board->requests.size(), 1u);
            EXPECT_EQ(Head(board->requests[0], 6), (std::vector<int>{1, 0x02, 0, byte3, byte4, 0}))
                << "P" << port << "." << bit;
            ports.setBox(PortRow::OutputMode, port, bit, false);
        }
    }
}

TEST_F(PanelTables, SfrListReadsItsTwentySixRegistersInRowOrder)
{
    const char* captions[26] = {
        "80: P0 DATA", "90: P1 DATA", "A0: P2 DATA", "A1: SPI0CFG", "A2: SPI0CKR", "A3: SPI0DAT",
        "A4: P0MDOUT", "A5: P1MDOUT", "A6: P2MDOUT", "D4: P0SKIP",  "F5: P4MDIN",  "D5: P1SKIP",
        "D6: P2SKIP",  "F1: P0MDIN",  "F2: P1MDIN",  "F3: P2MDIN",  "B0: P3 DATA", "C7: P4 DATA",
        "F4: P3MDIN",  "A7: P3MDOUT", "AE: P4MDOUT", "DF: P3SKIP",  "E1: XBAR0",   "E2: XBAR1",
        "E3: XBAR2",   "F8: SPI0CN"};
    const int addresses[26] = {0x80, 0x90, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
                               0xD4, 0xF5, 0xD5, 0xD6, 0xF1, 0xF2, 0xF3, 0xB0, 0xC7,
                               0xF4, 0xA7, 0xAE, 0xDF, 0xE1, 0xE2, 0xE3, 0xF8};
    SfrModel& sfr = panel().sfr;
    for (int row = 0; row < 26; ++row) {
        EXPECT_EQ(sfr.rows[row].caption, captions[row]) << row;
        board->sfr[addresses[row]] = static_cast<uint8_t>(row + 1);
    }
    sfr.readAll();
    ASSERT_EQ(board->requests.size(), 26u);
    for (int row = 0; row < 26; ++row) {
        EXPECT_EQ(Head(board->requests[row], 4), (std::vector<int>{1, 0x12, 1, addresses[row]}))
            << row;
        EXPECT_EQ(sfr.rows[row].read, ByteToHex2(static_cast<uint8_t>(row + 1))) << row;
    }
}

TEST_F(PanelTables, MuxInputsTheirCodesAndThePinsTheyMakeAnalog)
{
    const std::vector<std::string> positive{
        "00 - P2.0", "01 - P2.1", "02 - P2.2", "03 - P2.3",        "04 - P2.5", "05 - P2.6",
        "06 - P3.0", "07 - P3.1", "08 - P3.4", "09 - P3.5",        "0A - P3.7", "0B - P4.0",
        "0C - P4.3", "0D - P4.4", "0E - P4.5", "0F - P4.6",        "10 - RSVD", "11 - P0.3",
        "12 - P0.4", "13 - P1.1", "14 - P1.2", "1E - Temp Sensor", "1F - VDD"};
    std::vector<std::string> negative(positive.begin(), positive.begin() + 21);
    negative.push_back("1E - VREF");
    negative.push_back("1F - GND");
    EXPECT_EQ(McuAdcModel::muxEntries(false), positive);
    EXPECT_EQ(McuAdcModel::muxEntries(true), negative);

    struct Input {
        int code;
        int port;  // -1: no pin
        int bit;
    };
    const Input inputs[23] = {{0x00, 2, 0}, {0x01, 2, 1},  {0x02, 2, 2}, {0x03, 2, 3}, {0x04, 2, 5},
                              {0x05, 2, 6}, {0x06, 3, 0},  {0x07, 3, 1}, {0x08, 3, 4}, {0x09, 3, 5},
                              {0x0A, 3, 7}, {0x0B, 4, 0},  {0x0C, 4, 3}, {0x0D, 4, 4}, {0x0E, 4, 5},
                              {0x0F, 4, 6}, {0x10, -1, 0}, {0x11, 0, 3}, {0x12, 0, 4}, {0x13, 1, 1},
                              {0x14, 1, 2}, {0x1E, -1, 0}, {0x1F, -1, 0}};
    const int inputModeRegisters[5] = {0xF1, 0xF2, 0xF3, 0xF4, 0xF5};
    McuAdcModel& adc = panel().mcuAdc;
    for (bool onNegative : {false, true}) {
        for (int entry = 0; entry < 23; ++entry) {
            const Input& in = inputs[entry];
            // The other input takes one that is no pin.
            adc.muxPositive = onNegative ? 21 : entry;
            adc.muxNegative = onNegative ? entry : 22;
            adc.writeMux();
            const std::string side = onNegative ? "negative " : "positive ";
            const std::vector<int> head = onNegative ? std::vector<int>{1, 0x0C, 0, 0x1E, in.code}
                                                     : std::vector<int>{1, 0x0C, 0, in.code, 0x1F};
            EXPECT_EQ(Head(board->requests.back(), 5), head) << side << entry;
            EXPECT_EQ(adc.modeByte[onNegative ? 1 : 0], std::to_string(in.code)) << side << entry;
            for (int port = 0; port < 5; ++port) {
                const int analog = port == in.port ? 1 << in.bit : 0;
                EXPECT_EQ(board->sfr[inputModeRegisters[port]], 0xFF - analog)
                    << side << entry << " port " << port;
            }
        }
    }
}

TEST_F(PanelTables, EnableLampLightsOnlyForAnAnswerOfOne)
{
    McuAdcModel& adc = panel().mcuAdc;
    for (auto [answer, lamp] : {std::pair{0x00, Lamp::Black}, std::pair{0x01, Lamp::LightRed},
                                std::pair{0x02, Lamp::Black}, std::pair{0x03, Lamp::Black},
                                std::pair{0x11, Lamp::Black}}) {
        board->adcSettings[0x10] = static_cast<uint8_t>(answer);
        adc.readEnable();
        EXPECT_EQ(adc.enabledLamp, lamp) << answer;
    }
}

TEST_F(PanelTables, I2cAddressBoxesStandForAddressBitsOneToSeven)
{
    I2cAddressModel& a = panel().i2cAddress;
    const char* texts[7] = {"02", "04", "08", "10", "20", "40", "80"};
    for (int box = 0; box < 7; ++box) {
        std::array<bool, 7> only{};
        only[box] = true;
        // The address, then its box.
        a.applyAddressText(texts[box]);
        EXPECT_EQ(a.addressBits, only) << texts[box];
        // The box alone, then the address it makes.
        a.applyAddressText("00");
        a.setAddressBit(box, true);
        EXPECT_EQ(a.addressText, texts[box]) << box;
        EXPECT_EQ(a.I2cSlaveAddress, 2 << box) << box;
        a.setAddressBit(box, false);
        EXPECT_EQ(a.addressText, "00") << box;
    }
    // Bit 0 is no box: an odd address is taken even.
    a.applyAddressText("01");
    EXPECT_EQ(a.addressText, "00");
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{}));
    a.applyAddressText("FF");
    EXPECT_EQ(a.addressText, "FE");
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{true, true, true, true, true, true, true}));
}

TEST_F(PanelTables, FillPatternsAndTheClearedReadRows)
{
    I2cTransferModel& i2c = panel().i2c;
    grid().numToWrite = "4";
    const char* patterns[5] = {"", "FF", "00", "AA", "55"};
    for (int option = 1; option <= 4; ++option) {
        grid().fillWrite(0, 63, "77");
        i2c.fillOption = option;
        i2c.fillWriteBoxes();
        for (int row = 0; row < 64; ++row)
            EXPECT_EQ(grid().writeVal[row], row < 4 ? patterns[option] : "77")
                << "option " << option << " row " << row;
    }

    // Rows 00 to 1F are emptied, 20 to 3F keep their text.
    grid().fillRead(0, 63, "EE");
    i2c.clearReadBoxes();
    for (int row = 0; row < 64; ++row)
        EXPECT_EQ(grid().readVal[row], row < 0x20 ? "" : "EE") << row;
}

}  // namespace
