#include "app/BalanceFixture.h"
#include "data/DeviceConfigFiles.h"
#include "support/Occurrences.h"

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

constexpr int kSetup = 147;

class BalanceDialogsTest : public BalanceFixture, public ::testing::Test {};

TEST_F(BalanceDialogsTest, ReadingBankTwelvePointsTheSetupRegisterAt384)
{
    ASSERT_TRUE(connect(true, 2));
    link.selectDevice(2);
    chipReg(2, kSetup) = 0x3FFF;
    chip(2).balanceBanks[12] = 0x0A5A;
    sequence.cbRead_Click(12);
    EXPECT_EQ(chipReg(2, kSetup), 0x021F + 384);
    EXPECT_EQ(sequence.text[12], "0A5A");
    EXPECT_EQ(sequence.upDown[12], 0x0A5A);
    EXPECT_EQ(sequence.bits[12], 0x0A5A);
    EXPECT_TRUE(banks.known(2, 12));
    EXPECT_EQ(banks.value(2, 12), 0x0A5A);
    EXPECT_FALSE(banks.known(2, 11));
}

TEST_F(BalanceDialogsTest, AllDevicesWriteTheShownValueWithTheirOwnPointer)
{
    ASSERT_TRUE(connect(true, 3));
    chipReg(1, kSetup) = 0x0001;
    chipReg(2, kSetup) = 0x0202;
    chipReg(3, kSetup) = 0x0003;
    sequence.modes.allDevices = true;
    HexEdit edit{"0000", 4, 4, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(3, edit, '7'));
    sequence.cbWrite_Click(3);
    for (int d = 1; d <= 3; ++d) {
        EXPECT_EQ(chip(d).balanceBanks[3], 7) << d;
        EXPECT_EQ(banks.value(d, 3), 7) << d;
    }
    EXPECT_EQ(chipReg(2, kSetup), 0x0202 + 3 * 32);
    EXPECT_EQ(chipReg(3, kSetup), 0x0003 + 3 * 32);
}

TEST_F(BalanceDialogsTest, BankEditorsStayInStep)
{
    HexEdit edit{"0FFF", 4, 4, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, edit, '1'));
    EXPECT_EQ(edit.text, "0FF1");
    EXPECT_EQ(edit.caret, 1);
    EXPECT_EQ(sequence.upDown[0], 4081);
    EXPECT_EQ(sequence.bits[0], 0x0FF1);
    EXPECT_FALSE(sequence.tbRegdata_KeyPress(0, edit, 'x'));

    HexEdit one{"0", 1, 1, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(1, one, kKeyBackspace));
    EXPECT_EQ(one.text, "0");

    sequence.cbRegToggleBit_Click(2 * 12 + 11);
    EXPECT_EQ(sequence.text[2], "0800");
    EXPECT_EQ(sequence.upDown[2], 0x800);
    sequence.updnRegData_Change(2, 5);
    EXPECT_EQ(sequence.text[2], "0005");
    EXPECT_EQ(sequence.bits[2], 5);
}

TEST_F(BalanceDialogsTest, AValueAboveTwelveBitsIsShownInFull)
{
    // As a chip with bits 12 and 13 set would answer.
    sequence.tbRegdata_Deleted(4, "3001");
    EXPECT_EQ(sequence.upDown[4], 1);
    EXPECT_EQ(sequence.bits[4], 1);
    EXPECT_EQ(sequence.text[4], "3001");
}

TEST_F(BalanceDialogsTest, SingleDeviceLinkWorksOnDeviceOne)
{
    ASSERT_TRUE(connect(false, 1));
    link.selectDevice(3);
    chip(1).balanceBanks[2] = 0x0123;
    sequence.cbRead_Click(2);
    EXPECT_EQ(sequence.text[2], "0123");
    EXPECT_EQ(banks.value(1, 2), 0x0123);
    values.updnRegData_Change(0, 16384);
    EXPECT_EQ(link.image.at(0, 1, 161), 1);
    EXPECT_EQ(link.image.at(0, 3, 161), 0);
}

TEST_F(BalanceDialogsTest, TheBroadcastAndIdentifyAddressesReachNoSetupRegister)
{
    // Every bank access first rewrites the addressed device's setup
    // register; through address 15 that would give all three the same one.
    ASSERT_TRUE(connect(true, 3));
    chipReg(1, kSetup) = 0x0201;
    chipReg(2, kSetup) = 0x0206;
    chipReg(3, kSetup) = 0x0003;
    for (int device : {15, 0}) {
        link.selectDevice(static_cast<int16_t>(device));
        const size_t before = chain.received.size();
        sequence.cbRead_Click(3);
        sequence.cbWrite_Click(3);
        EXPECT_EQ(chain.received.size(), before) << device;
    }
    EXPECT_EQ(chipReg(1, kSetup), 0x0201);
    EXPECT_EQ(chipReg(2, kSetup), 0x0206);
    EXPECT_EQ(chipReg(3, kSetup), 0x0003);
    EXPECT_TRUE(logHas("cbWrite_Click: device 0 is not a chain position, nothing sent."));
}

TEST_F(BalanceDialogsTest, WithoutABoardReadAllTellsOnce)
{
    sequence.cbReadAll_Click();
    values.cbWriteAll_Click();
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_TRUE(logHas("cbReadAll_Click: EVB not detected."));
    EXPECT_TRUE(logHas("cbWriteAll_Click: EVB not detected."));
}

TEST_F(BalanceDialogsTest, ARefusedDeviceIsToldOncePerReadAllOrWriteAll)
{
    // Device 15 and device 0 are no chain positions: each Read All and
    // Write All of both dialogs tells so in one box and one log line and
    // sends nothing, instead of once per bank or cell.
    ASSERT_TRUE(connect(true, 3));
    const std::string refusal =
        "Select one KVB71853 device (Device 1 to Device 3) to change its balance settings.";
    for (int device : {15, 0}) {
        link.selectDevice(static_cast<int16_t>(device));
        const std::string dev = std::to_string(device);
        const std::vector<std::pair<std::string, std::function<void()>>> clicks = {
            {"cbReadAll_Click", [&] { sequence.cbReadAll_Click(); }},
            {"cbWriteAll_Click", [&] { sequence.cbWriteAll_Click(); }},
            {"cbReadAll_Click", [&] { values.cbReadAll_Click(); }},
            {"cbWriteAll_Click", [&] { values.cbWriteAll_Click(); }},
        };
        for (const auto& [name, click] : clicks) {
            t.prompter.asked.clear();
            log.clear();
            const size_t before = chain.received.size();
            click();
            ASSERT_EQ(t.prompter.asked.size(), 1u) << name << " " << dev;
            EXPECT_EQ(t.prompter.asked[0].text, refusal);
            EXPECT_EQ(log, name + ": device " + dev + " is not a chain position, nothing sent.\r\n");
            EXPECT_EQ(chain.received.size(), before) << name << " " << dev;
        }
    }
}

TEST_F(BalanceDialogsTest, ReadAllGoesOnPastABankOrCellThatFailed)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    for (int bank = 0; bank < 13; ++bank)
        chip(2).balanceBanks[bank] = static_cast<int16_t>(0x0100 + bank);
    // The first answer of bank 0 (its setup read) fails its CRC: bank 0
    // shows nothing, banks 1 to 12 are read.
    chain.faults.corruptCrc = 1;
    sequence.cbReadAll_Click();
    EXPECT_EQ(sequence.text[0], "0000");
    EXPECT_FALSE(banks.known(2, 0));
    EXPECT_EQ(sequence.text[1], "0101");
    EXPECT_EQ(sequence.text[12], "010C");
    EXPECT_EQ(banks.value(2, 12), 0x010C);
    EXPECT_EQ(Occurrences(log, "device 2 did not answer"), 1);
    // The bank that failed wrote no pointer; the twelve others did.
    EXPECT_EQ(Occurrences(log, "wrt,KVB71853,dev0x02,cat0x0A,adr0x13,"), 12);

    // The values dialog likewise: cell 1's low half fails, cells 2 to 12
    // are read.
    chipReg(2, 160) = 0x0011;
    chipReg(2, 161) = 0x0001;
    chipReg(2, 162) = 0x0022;
    chipReg(2, 163) = 0x0000;
    chipReg(2, 182) = 0x0033;
    chipReg(2, 183) = 0x0003;
    chain.faults.corruptCrc = 1;
    log.clear();
    values.cbReadAll_Click();
    EXPECT_EQ(values.hexText[0], "0000000");
    EXPECT_EQ(values.hexText[1], "0000022");
    EXPECT_EQ(values.hexText[11], "000C033");
    EXPECT_EQ(Occurrences(log, "cbRead_Click: KVB71853 device 2 did not answer."), 1);
}

TEST_F(BalanceDialogsTest, ALostBoardEndsReadAllAndWriteAllWithOneBox)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    values.Form_Activate();
    board->faults.noAnswer = true;
    const std::string lost = "USB Communications lost, Disconnect and Reconnect, Polling Terminated";
    const std::vector<std::function<void()>> clicks = {
        [&] { sequence.cbReadAll_Click(); }, [&] { sequence.cbWriteAll_Click(); },
        [&] { values.cbReadAll_Click(); }, [&] { values.cbWriteAll_Click(); }};
    sequence.modes.allDevices = true;
    values.modes.allDevices = true;
    for (size_t i = 0; i < clicks.size(); ++i) {
        t.prompter.asked.clear();
        clicks[i]();
        ASSERT_EQ(t.prompter.asked.size(), 1u) << i;
        EXPECT_EQ(t.prompter.asked[0].text, lost) << i;
    }
}

TEST_F(BalanceDialogsTest, EscapeClearsTheBoxWithTheCaretAtTheStart)
{
    // The next digit overtypes the first zero. In a bank's box a "1" there
    // makes 0x1000, above 0x0FFF, which the limit turns back into "0000".
    HexEdit bank{"0A5A", 2, 2, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, bank, kKeyEscape));
    EXPECT_EQ(bank.text, "0000");
    EXPECT_EQ(bank.caret, 0);
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, bank, '1'));
    EXPECT_EQ(bank.text, "0000");
    EXPECT_EQ(sequence.text[0], "0000");
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, bank, '5'));
    EXPECT_EQ(bank.text, "0500");

    HexEdit hex{"00ABCDE", 3, 3, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(0, hex, kKeyEscape));
    EXPECT_EQ(hex.text, "0000000");
    EXPECT_EQ(hex.caret, 0);
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(0, hex, '1'));
    EXPECT_EQ(hex.text, "1000000");
    EXPECT_EQ(values.decText[0], "016777216");

    HexEdit dec{"000012345", 5, 5, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, dec, kKeyEscape));
    EXPECT_EQ(dec.text, "000000000");
    EXPECT_EQ(dec.caret, 0);
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, dec, '2'));
    EXPECT_EQ(dec.text, "200000000");
    EXPECT_EQ(values.hexText[1], "BEBC200");
}

TEST_F(BalanceDialogsTest, OvertypeLeavesTheCaretAtTheStart)
{
    // The overtyped text is rewritten whole, so the next digit overtypes
    // the first one; in a bank's box that takes "2512" above 0x0FFF.
    HexEdit bank{"0012", 1, 1, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, bank, '5'));
    EXPECT_EQ(bank.text, "0512");
    EXPECT_EQ(bank.caret, 0);
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, bank, '2'));
    EXPECT_EQ(bank.text, "0512");
    EXPECT_EQ(bank.caret, 1);
    EXPECT_EQ(sequence.upDown[0], 0x512);

    HexEdit hex{"0000123", 4, 4, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(0, hex, '5'));
    EXPECT_EQ(hex.text, "0000523");
    EXPECT_EQ(hex.caret, 0);
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(0, hex, '7'));
    EXPECT_EQ(hex.text, "7000523");
    EXPECT_EQ(hex.caret, 0);
    EXPECT_EQ(values.decText[0], "117441827");

    HexEdit dec{"000000123", 6, 6, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, dec, '5'));
    EXPECT_EQ(dec.text, "000000523");
    EXPECT_EQ(dec.caret, 0);
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, dec, '9'));
    EXPECT_EQ(dec.text, "268435455");  // 900000523 is above 28 bits
    EXPECT_EQ(dec.caret, 1);
    EXPECT_EQ(values.hexText[1], "FFFFFFF");
}

TEST_F(BalanceDialogsTest, PastedTextIsTypedOrRefusedWhole)
{
    HexEdit bank{"0000", 4, 4, 0};
    EXPECT_FALSE(sequence.tbRegdata_Paste(0, bank, "ZZ9"));
    EXPECT_EQ(bank.text, "0000");
    EXPECT_EQ(sequence.text[0], "0000");
    EXPECT_TRUE(sequence.tbRegdata_Paste(0, bank, "a5"));
    EXPECT_EQ(bank.text, "00A5");
    EXPECT_EQ(sequence.text[0], "00A5");
    EXPECT_EQ(sequence.bits[0], 0xA5);

    HexEdit hex{"0000000", 7, 7, 0};
    for (const char* bad : {"ZZ90000", "", "1 2", "0x12", "\x1b", "\b"}) {
        EXPECT_FALSE(values.tbRegdataHex_Paste(0, hex, bad)) << bad;
        EXPECT_EQ(hex.text, "0000000");
    }
    EXPECT_EQ(values.hexText[0], "0000000");
    EXPECT_TRUE(values.tbRegdataHex_Paste(0, hex, "1a"));
    EXPECT_EQ(values.hexText[0], "000001A");
    EXPECT_EQ(values.decText[0], "000000026");
    EXPECT_EQ(link.image.at(0, 1, 160), 0x1A);

    HexEdit dec{"000000000", 9, 9, 0};
    EXPECT_FALSE(values.tbRegdataDec_Paste(1, dec, "12a"));
    EXPECT_EQ(values.decText[1], "000000000");
    EXPECT_TRUE(values.tbRegdataDec_Paste(1, dec, "16384"));
    EXPECT_EQ(values.hexText[1], "0004000");
    EXPECT_EQ(link.image.at(0, 1, 162), 0);
    EXPECT_EQ(link.image.at(0, 1, 163), 1);
}

TEST_F(BalanceDialogsTest, ATextTheBoxCouldNotHoldIsNeverTaken)
{
    // A key typed into such a text works on the dialog's own text.
    HexEdit typed{"ZZ90000", 7, 7, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(2, typed, '1'));
    EXPECT_EQ(typed.text, "0000001");
    EXPECT_EQ(link.image.at(0, 1, 164), 1);
    HexEdit pasted{"12a", 9, 9, 0};
    ASSERT_TRUE(values.tbRegdataDec_Paste(3, pasted, "5"));
    EXPECT_EQ(values.decText[3], "000000005");

    // What the box left after Delete is taken; any other text is refused
    // and the dialog keeps the value it shows.
    values.tbRegdataHex_Deleted(0, "01A");
    EXPECT_EQ(values.hexText[0], "01A");
    EXPECT_EQ(values.decText[0], "000000026");
    EXPECT_EQ(link.image.at(0, 1, 160), 0x1A);
    for (const char* bad : {"ZZ90000", "00001a", "00000001", "1 2"}) {
        values.tbRegdataHex_Deleted(0, bad);
        EXPECT_EQ(values.hexText[0], "01A") << bad;
        EXPECT_EQ(link.image.at(0, 1, 160), 0x1A) << bad;
    }
    values.tbRegdataDec_Deleted(1, "12a");
    values.tbRegdataDec_Deleted(1, "999999999");
    values.tbRegdataDec_Deleted(1, "0000000001");
    EXPECT_EQ(values.decText[1], "000000000");
    EXPECT_EQ(values.hexText[1], "0000000");
    values.tbRegdataDec_Deleted(1, "");
    EXPECT_EQ(values.decText[1], "");
    EXPECT_EQ(values.hexText[1], "0000000");

    sequence.tbRegdata_Deleted(2, "ZZ9");
    sequence.tbRegdata_Deleted(2, "00000");
    EXPECT_EQ(sequence.text[2], "0000");
    EXPECT_FALSE(banks.known(1, 2));
    sequence.tbRegdata_Deleted(2, "A5");
    EXPECT_EQ(sequence.bits[2], 0xA5);
}

TEST_F(BalanceDialogsTest, AfterTheDeviceListMovesOnlyValuesShownTypedOrReadAreWritten)
{
    ASSERT_TRUE(connect(true, 2));
    for (int reg = 160; reg <= 183; ++reg) {
        chipReg(1, reg) = 0x0101;
        chipReg(2, reg) = 0x1234;
    }
    link.selectDevice(1);
    values.Form_Activate();
    values.cbReadAll_Click();
    EXPECT_EQ(values.hexText[3], "0404101");
    // The list moves to device 2; the boxes still show device 1's values,
    // and device 2's own were never read.
    values.cboDeviceNumber_Click(2, 16);
    ASSERT_EQ(link.SelectedDevice, 2);
    EXPECT_EQ(values.hexText[3], "0404101");
    takeWrites();
    t.prompter.asked.clear();
    const std::string note =
        "Balance values never read or loaded were not written to KVB71853 device 2.";
    values.cbWrite_Click(0);
    values.cbWriteAll_Click();
    EXPECT_TRUE(takeWrites().empty());
    for (int reg = 160; reg <= 183; ++reg)
        EXPECT_EQ(chipReg(2, reg), 0x1234) << reg;
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_EQ(t.prompter.asked[0].text, note);
    EXPECT_EQ(t.prompter.asked[1].text, note);

    // A value typed now is typed for device 2: that cell goes out.
    HexEdit edit{"0404101", 7, 7, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(3, edit, '7'));
    t.prompter.asked.clear();
    values.cbWriteAll_Click();
    EXPECT_EQ(takeWrites(),
              (std::vector<std::string>{"wrt,KVB71853,dev0x02,cat0x0A,adr0x26,dat0x1017",
                                        "wrt,KVB71853,dev0x02,cat0x0A,adr0x27,dat0x1010"}));
    EXPECT_EQ(chipReg(2, 160), 0x1234);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, note);

    // Once the dialog has shown device 2's image, its zeros were seen and
    // go out with the rest.
    values.Form_Activate();
    EXPECT_EQ(values.hexText[0], "0000000");
    t.prompter.asked.clear();
    values.cbWriteAll_Click();
    EXPECT_EQ(takeWrites().size(), 24u);
    EXPECT_EQ(chipReg(2, 160), 0);
    EXPECT_EQ(chipReg(2, 166), 0x1017);
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(BalanceDialogsTest, AllDevicesWriteLeavesOutDevicesWhoseValuesAreNotKnown)
{
    ASSERT_TRUE(connect(true, 3));
    // Device 1's values are read; device 3's never were, and its chip holds
    // values of its own that a write of the image's zeros would overwrite.
    for (int reg = 160; reg <= 183; ++reg) {
        chipReg(1, reg) = static_cast<int16_t>(reg - 150);
        chipReg(3, reg) = 0x1234;
    }
    link.selectDevice(1);
    values.cbReadAll_Click();
    EXPECT_EQ(values.hexText[0], "002C00A");
    // Device 2 is on screen: its edited values go out, known or not.
    link.selectDevice(2);
    values.Form_Activate();
    values.updnRegData_Change(0, 0x4005);
    values.modes.allDevices = true;
    takeWrites();
    t.prompter.asked.clear();
    size_t mark = log.size();
    values.cbWrite_Click(0);
    EXPECT_EQ(takeWrites(), (std::vector<std::string>{
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x20,dat0x000A",
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x21,dat0x000B",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x20,dat0x0005",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x21,dat0x0001"}));
    EXPECT_EQ(chipReg(3, 160), 0x1234);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    const std::string note =
        "Balance values never read or loaded were not written to KVB71853 device 3.";
    EXPECT_EQ(t.prompter.asked[0].text, note);
    EXPECT_EQ(Occurrences(log.substr(mark), "cbWrite_Click: " + note + "\r\n"), 1);

    // Write All: one note for the twelve cells; device 1 gets all of them.
    t.prompter.asked.clear();
    mark = log.size();
    values.cbWriteAll_Click();
    const std::vector<std::string> writes = takeWrites();
    EXPECT_EQ(writes.size(), 48u);

    EXPECT_EQ(writes.back(), "wrt,KVB71853,dev0x02,cat0x0A,adr0x37,dat0x0000");
    for (const std::string& w : writes)
        EXPECT_EQ(w.find("dev0x03"), std::string::npos) << w;
    for (int reg = 160; reg <= 183; ++reg)
        EXPECT_EQ(chipReg(3, reg), 0x1234) << reg;
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, note);
    EXPECT_EQ(Occurrences(log.substr(mark), "cbWriteAll_Click: " + note + "\r\n"), 1);

    // Two devices left out are named together; a device once read is
    // written again.
    t.prompter.asked.clear();
    ASSERT_TRUE(connect(true, 3));  // a new connection forgets what was known
    link.selectDevice(3);
    values.Form_Activate();
    // The connection emptied the link log: the writes are counted afresh.
    const auto writesAfter = [this](size_t from) {
        const std::vector<std::string> all = lines("wrt,");
        return std::vector<std::string>(all.begin() + static_cast<long>(from), all.end());
    };
    size_t from = lines("wrt,").size();
    values.cbWrite_Click(5);
    EXPECT_EQ(writesAfter(from), (std::vector<std::string>{
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x2A,dat0x0000",
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x2B,dat0x0000"}));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Balance values never read or loaded were not written "
                                        "to KVB71853 devices 1, 2.");

    // In the single-device mode nothing is left out and nothing is told.
    values.modes.allDevices = false;
    t.prompter.asked.clear();
    from = lines("wrt,").size();
    values.cbWrite_Click(5);
    EXPECT_EQ(writesAfter(from).size(), 2u);
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(BalanceDialogsTest, BalanceValuesSplitIntoFourteenBitHalves)
{
    HexEdit dec{"000000000", 9, 9, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(0, dec, '1'));
    EXPECT_EQ(values.hexText[0], "0000001");
    EXPECT_EQ(link.image.at(0, 1, 160), 1);
    EXPECT_EQ(link.image.at(0, 1, 161), 0);

    HexEdit big{"268435455", 9, 9, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, big, '9'));
    EXPECT_EQ(big.text, "268435455");
    EXPECT_EQ(values.hexText[1], "FFFFFFF");
    EXPECT_EQ(link.image.at(0, 1, 162), 0x3FFF);
    EXPECT_EQ(link.image.at(0, 1, 163), 0x3FFF);

    HexEdit hex{"0000000", 7, 7, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(2, hex, '4'));
    EXPECT_EQ(values.decText[2], "000000004");
    EXPECT_FALSE(values.tbRegdataDec_KeyPress(2, dec, 'A'));
}

TEST_F(BalanceDialogsTest, AllDevicesReceiveTheirOwnValuesLowHalfFirst)
{
    ASSERT_TRUE(connect(true, 3));
    // Cell 12's value differs per device, as a configuration file sets it.
    const std::string path = ::testing::TempDir() + "balance_values.txt";
    std::ofstream(path, std::ios::binary)
        << "wrt,KVB71853,dev0x01,cat0x0A,adr0x36,dat0x0011\r\n"
           "wrt,KVB71853,dev0x01,cat0x0A,adr0x37,dat0x0001\r\n"
           "wrt,KVB71853,dev0x02,cat0x0A,adr0x36,dat0x0022\r\n"
           "wrt,KVB71853,dev0x02,cat0x0A,adr0x37,dat0x0002\r\n"
           "wrt,KVB71853,dev0x03,cat0x0A,adr0x36,dat0x0033\r\n"
           "wrt,KVB71853,dev0x03,cat0x0A,adr0x37,dat0x0003\r\n";
    data::DocumentsFolder documents;
    data::DataLogging logging{t.services, documents};
    data::DeviceConfigFiles files{link, logging, t.services, documents};
    t.files.openAnswers = {path};
    ASSERT_EQ(files.LoadDeviceConfig(), path);
    for (int d = 1; d <= 3; ++d)
        chipReg(d, 182) = chipReg(d, 183) = 0;

    // Device 2 is on screen and edited; the others keep their loaded values.
    link.selectDevice(2);
    values.Form_Activate();
    EXPECT_EQ(values.hexText[11], "0008022");
    values.updnRegData_Change(11, 0x4005);
    values.modes.allDevices = true;
    takeWrites();
    values.cbWrite_Click(11);
    EXPECT_EQ(takeWrites(), (std::vector<std::string>{
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x36,dat0x0011",
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x37,dat0x0001",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x36,dat0x0005",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x37,dat0x0001",
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x36,dat0x0033",
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x37,dat0x0003"}));
    EXPECT_EQ(chipReg(1, 182), 0x11);
    EXPECT_EQ(chipReg(1, 183), 1);
    EXPECT_EQ(chipReg(2, 182), 5);
    EXPECT_EQ(chipReg(2, 183), 1);
    EXPECT_EQ(chipReg(3, 182), 0x33);
    EXPECT_EQ(chipReg(3, 183), 3);

    // Single mode sends the selected device only, from its image.
    values.modes.allDevices = false;
    link.selectDevice(3);
    chipReg(3, 182) = 0;
    values.cbWrite_Click(11);
    EXPECT_EQ(takeWrites().size(), 2u);
    EXPECT_EQ(chipReg(3, 182), 0x33);
    EXPECT_EQ(chipReg(2, 182), 5);

    chipReg(1, 160) = 0x0100;
    chipReg(1, 161) = 0x0002;
    link.selectDevice(1);
    values.cbRead_Click(0);
    EXPECT_EQ(values.hexText[0], "0008100");
    EXPECT_EQ(values.upDown[0], 0x8100);
}

}  // namespace
}  // namespace kvb::test
