#include "core/Hex.h"
#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::PanelTest;

namespace {

using PortTest = PanelTest;

TEST_F(PortTest, BoxesMakeTheRowBytes)
{
    PortModel& ports = panel().ports;
    ports.setBox(PortRow::InputMode, 1, 3, true);
    EXPECT_EQ(ports.writeLabel(PortRow::InputMode, 1), "F7");
    ports.setBox(PortRow::Data, 0, 0, true);
    ports.setBox(PortRow::Data, 0, 7, true);
    EXPECT_EQ(ports.writeLabel(PortRow::Data, 0), "81");
    EXPECT_TRUE(board->requests.empty());  // Auto Write / Read is off

    ports.autoWriteRead = true;
    ports.setBox(PortRow::Data, 0, 1, true);
    ASSERT_EQ(board->requests.size(), 2u);
    EXPECT_EQ(board->requests[0][2], kSubSet);
    EXPECT_EQ(board->requests[0][3], 0x80);
    EXPECT_EQ(board->requests[0][4], 0x83);
    EXPECT_EQ(board->requests[1][2], kSubGet);
    EXPECT_EQ(board->sfr[0x80], 0x83);
    EXPECT_EQ(panel().sfr.address, "80");

    ports.setBox(PortRow::Data, 0, 1, true);  // no change: nothing runs
    EXPECT_EQ(board->requests.size(), 2u);
}

TEST_F(PortTest, LampAlternatesOnMatchesAndTurnsRedOnMismatchOrSilence)
{
    PortModel& ports = panel().ports;
    const int lamp = PortModel::lampIndex(PortRow::OutputMode, 2);
    ports.rowChanged(PortRow::OutputMode, 2);  // label from the boxes: F0
    ports.write(PortRow::OutputMode, 2);
    EXPECT_TRUE(ports.read(PortRow::OutputMode, 2));
    EXPECT_EQ(ports.lamp(lamp), Lamp::LightGreen);
    ports.read(PortRow::OutputMode, 2);
    EXPECT_EQ(ports.lamp(lamp), Lamp::DarkGreen);
    ports.read(PortRow::OutputMode, 2);
    EXPECT_EQ(ports.lamp(lamp), Lamp::LightGreen);

    board->sfr[0xA6] = 0x11;
    EXPECT_FALSE(ports.read(PortRow::OutputMode, 2));
    EXPECT_EQ(ports.readLabel(PortRow::OutputMode, 2), "11");
    EXPECT_EQ(ports.lamp(lamp), Lamp::LightRed);

    // No answer: the connection box once, then "--" and red, never the
    // request's own bytes.
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(ports.read(PortRow::OutputMode, 2));
    EXPECT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(ports.readLabel(PortRow::OutputMode, 2), "--");
    EXPECT_EQ(ports.lamp(lamp), Lamp::LightRed);
}

TEST_F(PortTest, ResetGpioSetsTheResetPatternAndWriteReadAllRestoresAuto)
{
    PortModel& ports = panel().ports;
    ports.resetGpio();
    EXPECT_TRUE(board->requests.empty());
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(ports.writeLabel(PortRow::OutputMode, p), "00") << p;
    EXPECT_EQ(ports.writeLabel(PortRow::OutputMode, 4), "--");
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(ports.writeLabel(PortRow::Data, p), "FF") << p;
        EXPECT_EQ(ports.writeLabel(PortRow::InputMode, p), "--") << p;
    }

    ports.writeReadAll();
    EXPECT_FALSE(ports.autoWriteRead);
    auto sfrRequests = sent(HidSfr);
    ASSERT_EQ(sfrRequests.size(), 30u);
    // Output modes first, then data, then input modes; each written then read.
    EXPECT_EQ(sfrRequests[0][3], 0xA4);
    EXPECT_EQ(sfrRequests[1][3], 0xA4);
    EXPECT_EQ(sfrRequests[10][3], 0x80);
    EXPECT_EQ(sfrRequests[29][3], 0xF5);
    EXPECT_EQ(ports.lamp(PortModel::lampIndex(PortRow::InputMode, 4)), Lamp::LightGreen);
}

TEST_F(PortTest, PowerUpOperationsWriteDataModeDataAndReadBack)
{
    PortModel& ports = panel().ports;
    ports.resetGpio();
    for (int bit = 0; bit < 8; ++bit)
        ports.setBox(PortRow::OutputMode, 0, bit, bit < 4);
    ports.setBox(PortRow::Data, 0, 0, false);
    ports.setBox(PortRow::Data, 0, 2, false);
    for (int p = 0; p < 3; ++p)
        ports.writeData(p);
    for (int p = 0; p < 3; ++p)
        ports.writeOutputMode(p);
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(ports.readOutputMode(p));
        EXPECT_TRUE(ports.readData(p));
    }
    EXPECT_EQ(board->sfr[0x80], 0xFA);
    EXPECT_EQ(board->sfr[0xA4], 0x0F);
    EXPECT_EQ(board->sfr[0xA5], 0x00);
}

TEST_F(PortTest, SfrReadAllGoesInRowOrderAndCopiesWhenAsked)
{
    SfrModel& sfr = panel().sfr;
    board->sfr[0xE1] = 0x42;
    sfr.writeEqRead = true;
    sfr.readAll();
    auto reads = sent(HidSfr);
    ASSERT_EQ(reads.size(), 26u);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(reads[i][3], HexStrToInt(sfr.rows[i].caption.substr(0, 2))) << i;
    EXPECT_EQ(sfr.address, "F8");
    EXPECT_EQ(sfr.rows[22].read, "42");
    for (const auto& row : sfr.rows) {
        EXPECT_EQ(row.written, row.read);
        EXPECT_EQ(row.lamp, Lamp::LightGreen);
    }
    EXPECT_GE(t.pump.yields, 52);
}

TEST_F(PortTest, SingleSfrAccessValidatesItsBoxes)
{
    SfrModel& sfr = panel().sfr;
    ASSERT_TRUE(sfr.writeSfr());
    EXPECT_EQ(board->sfr[0x80], 0xAA);
    EXPECT_EQ(sfr.readSfr(), 0xAA);
    EXPECT_EQ(sfr.buffer[3], "AA");

    sfr.address = "180";
    EXPECT_FALSE(sfr.writeSfr());
    EXPECT_FALSE(sfr.readSfr());
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_NE(t.prompter.asked[0].text.find("SFR Address"), std::string::npos);
    EXPECT_EQ(sent(HidSfr).size(), 2u);
}

TEST_F(PortTest, ReadRequestThatCannotBeWrittenKeepsTheShownValues)
{
    PortModel& ports = panel().ports;
    SfrModel& sfr = panel().sfr;
    ports.rowChanged(PortRow::Data, 1);
    ports.write(PortRow::Data, 1);
    ASSERT_TRUE(ports.read(PortRow::Data, 1));
    sfr.address = "80";
    ASSERT_EQ(sfr.readSfr(), 0xFF);

    // The write fails; Retry finds the board again, the request is not repeated.
    board->faults.failWrite = true;
    t.prompter.script = {Answer::Retry, Answer::Retry};
    EXPECT_FALSE(ports.read(PortRow::Data, 1));
    EXPECT_EQ(ports.readLabel(PortRow::Data, 1), "09");
    EXPECT_EQ(ports.lamp(PortModel::lampIndex(PortRow::Data, 1)), Lamp::LightRed);
    sfr.address = "80";
    EXPECT_FALSE(sfr.readSfr());
    EXPECT_EQ(sfr.buffer[3], "FF");
    EXPECT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_FALSE(t.programEnd.ending());
}

TEST_F(PortTest, SampleGpSetsDataBoxesButNeverWritesBackAMissingAnswer)
{
    PortModel& ports = panel().ports;
    board->sfr[0x80] = 0x5A;
    ports.autoWriteRead = true;
    ports.sampleGp();
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(ports.box(PortRow::Data, 0, bit), ((0x5A >> bit) & 1) != 0);
    EXPECT_EQ(board->sfr[0x80], 0x5A);

    // Port 0's answer is lost: Retry finds the board again, its boxes stay
    // as they were, and its row is still written from them and read back.
    board->sfr[0x80] = 0x00;
    board->requests.clear();
    board->faults.dropAnswers = 1;
    t.prompter.script = {Answer::Retry};
    ports.sampleGp();
    std::vector<int> port0Writes;
    for (const auto& r : board->requests)
        if (r[2] == kSubSet && r[3] == 0x80)
            port0Writes.push_back(r[4]);
    EXPECT_EQ(port0Writes, std::vector<int>{0x5A});
    EXPECT_EQ(ports.box(PortRow::Data, 0, 1), true);
    EXPECT_EQ(ports.readLabel(PortRow::Data, 0), "5A");

    // An answer whose flag byte is not 0 still carries the value: it is
    // sampled, and only the row's lamp tells.
    board->sfr[0x80] = 0xA5;
    board->faults.sfrReadFlag = 0x01;
    ports.sampleGp();
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(ports.box(PortRow::Data, 0, bit), ((0xA5 >> bit) & 1) != 0) << bit;
    EXPECT_EQ(ports.writeLabel(PortRow::Data, 0), "A5");
    EXPECT_EQ(panel().sfr.rows[0].read, "A5");
    EXPECT_EQ(panel().sfr.rows[0].lamp, Lamp::LightRed);
}

// A lost sample still has its write label recomputed from the boxes; with
// "Write = Read" its "--" is copied like any other read.
TEST_F(PortTest, LostSampleRecomputesItsLabelAndIsCopiedAsRead)
{
    PortModel& ports = panel().ports;
    SfrModel& sfr = panel().sfr;
    sfr.writeEqRead = true;
    board->faults.dropAnswers = 1;  // port 0's data, the first row read
    t.prompter.script = {Answer::Retry};
    ports.sampleGp();
    EXPECT_EQ(sfr.rows[0].read, "--");
    EXPECT_EQ(sfr.rows[0].written, "--");
    EXPECT_EQ(ports.writeLabel(PortRow::Data, 0), "00");
    for (const auto& r : board->requests)
        EXPECT_NE(r[2], kSubSet) << "written without Auto Write / Read";
}

// A row whose label still shows "--" writes what its boxes show: on the
// input-mode row 0 would make every pin analog while the boxes show digital.
TEST_F(PortTest, AWriteBeforeAnyBoxChangedSendsWhatTheBoxesShow)
{
    PortModel& ports = panel().ports;
    ASSERT_EQ(ports.writeLabel(PortRow::InputMode, 1), "--");
    ports.write(PortRow::InputMode, 1);
    const Report write = board->requests.back();
    EXPECT_EQ(test::Head(write, 5), (std::vector<int>{0x01, 0x12, 0x00, 0xF2, 0xFF}));
    EXPECT_EQ(ports.writeLabel(PortRow::InputMode, 1), "FF");
}

TEST(PortBatches, StopOnceCancelHasBegunEndingTheProgram)
{
    // A silent board: the first read-back shows the connection box, whose
    // Cancel ends the program. Nothing more is sent and no further box shows.
    using test::TestServices;
    struct Batch {
        const char* name;
        void (PortModel::*run)();
    };
    for (Batch batch : {Batch{"Reset GPIO", &PortModel::resetGpio},
                        Batch{"Write Read All", &PortModel::writeReadAll},
                        Batch{"Clear Analog", &PortModel::clearAnalog},
                        Batch{"Sample GP", &PortModel::sampleGp}}) {
        TestServices s;
        sim::SimHidBackend usb;
        auto silent = usb.plug(s.clock);
        AppContext app(s.services, usb);
        ASSERT_TRUE(app.panel.load());
        PortModel& p = app.panel.ports;
        p.autoWriteRead = true;
        // Input-mode boxes ticked, so that every operation has pins to change.
        for (int port = 0; port < PortModel::kPorts; ++port)
            for (int bit = 0; bit < 8; ++bit)
                p.setBox(PortRow::InputMode, port, bit, true);
        silent->faults.noAnswer = true;
        silent->requests.clear();
        s.prompter.script = {Answer::Cancel};
        (p.*batch.run)();
        EXPECT_TRUE(s.programEnd.ending()) << batch.name;
        EXPECT_EQ(s.prompter.asked.size(), 1u) << batch.name;
        EXPECT_LE(silent->requests.size(), 2u) << batch.name;  // one write, one read
    }
}

TEST_F(PortTest, ClearAnalogAndPortConfiguration)
{
    PortModel& ports = panel().ports;
    ports.setBox(PortRow::InputMode, 4, 0, true);
    ports.clearAnalog();
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(ports.readLabel(PortRow::InputMode, p), "FF");
    EXPECT_FALSE(ports.box(PortRow::InputMode, 4, 0));

    ports.setWeakPullUpDisable(true);
    auto config = sent(HidGpioConfig);
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(config[0][3], 0xF6);  // port 1 push-pull pins 1, 2, 4..7
    EXPECT_EQ(config[0][4], 0x00);  // port 2: only bits 0..3 travel
    EXPECT_EQ(config[0][5], 1);
}

}  // namespace
