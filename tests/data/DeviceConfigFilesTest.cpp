#include "data/DeviceConfigFiles.h"
#include "link/BalanceStatus.h"
#include "link/LinkFixture.h"
#include "link/RegisterDefinitionFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kvb::test {
namespace {

class DeviceConfigFilesTest : public LinkFixture, public ::testing::Test {
protected:
    std::string folder = ::testing::TempDir() + "config_files/";
    data::DocumentsFolder documents;
    data::DataLogging logging{t.services, documents};
    BalanceStatusTable& banks = link.image.banks;
    data::DeviceConfigFiles files{link, logging, t.services, documents};

    DeviceConfigFilesTest()
    {
        std::filesystem::create_directories(folder);
        documents.pointAt(folder);
    }

    // Loads the program's register definitions (both part names included).
    void realDefinitions()
    {
        ASSERT_TRUE(link::LoadRegisterDefinitionFile("tabdefs_KVB71853_RevB.csv",
                                                     link.definitions)
                        .ok());
    }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = folder + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    data::ConfigParse parse(const std::string& text)
    {
        return data::ParseConfigText(text, {"KVB71853", "KVB53961", 3, 2});
    }
};

TEST_F(DeviceConfigFilesTest, BlocksHaveTheirLineCounts)
{
    link.TakeChosenLink(link.DaisyChainMode, 1, link.DeviceCount2);
    for (int bank = 0; bank < kBalanceBanks; ++bank)
        banks.set(1, bank, static_cast<int16_t>(bank));
    for (int reg = 128; reg < 192; ++reg)
        link.image.store(0, 1, reg, 0);
    std::vector<std::string> lines = data::DeviceConfigLines(link);
    ASSERT_EQ(lines.size(), 72u);
    EXPECT_EQ(lines[1], "**** Parameters for 53960 at device address 1 ****");
    EXPECT_EQ(lines[3], "wrt,KVB71853,dev0x01,cat0x0A,adr0x03,dat0x0000");
    // Bank 12's pointer keeps mode, wait and enable and clears bits 10..13.
    link.image.at(0, 1, 147) = 0x3E1F;
    lines = data::DeviceConfigLines(link);
    EXPECT_EQ(lines[37], "wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x039F");
    EXPECT_EQ(lines[38], "wrt,KVB71853,dev0x01,cat0x0A,adr0x14,dat0x000C");
    EXPECT_EQ(lines[40], "wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x3E1F");

    link.TakeChosenLink(true, 3, 2);
    lines = data::DeviceConfigLines(link);
    // Devices 2 and 3 were never read: each register line and each bank
    // pair becomes one note.
    EXPECT_EQ(lines.size(), 72u + 2 * (72 - 13) + 2 * 10);
    EXPECT_EQ(lines[72 + 2 + 11], "53960 Balance Status bank 0 not read - not saved");
    EXPECT_EQ(lines[72 + 3], "53960 register adr0x03 not read or written - not saved");
    EXPECT_EQ(lines[lines.size() - 9], "**** Parameters for 53961 at device address 2 ****");

    EXPECT_EQ(data::EeTestLines(link).size(), 92u);
    EXPECT_EQ(data::EeTestLines(link)[1], "**** Parameters for 53960 at device address EEPROM1 ****");
    EXPECT_EQ(data::EeTestLines(link)[67], "53960 Test Value Registers");
}

TEST_F(DeviceConfigFilesTest, ParserAcceptsBothLineEndsAndSkipsOtherLines)
{
    const auto p = parse("title\r\n"
                         "wrt,kvb71853,DEV0x02,cat0x0A,adr0x10,dat0x1234\n"
                         "wrt,KVB71853,dev0x02,cat0x0A,adr0x10\r\n"          // five fields
                         "wrt,KVB71853, dev0x02,cat0x0A,adr0x10,dat0x1234\n"  // blank
                         "wrt,OTHER,dev0x02,cat0x0A,adr0x10,dat0x1234\n"
                         "WRT,KVB53961,ALL,cat0x0A,adr0x16,dat0x0001\r\n"
                         "cmd,KVB71853,dev0x01,cat0x03,adr0x01,dat0x00");
    ASSERT_TRUE(p.ok());
    ASSERT_EQ(p.writes.size(), 4u);
    EXPECT_EQ(p.writes[0].device, 2);
    EXPECT_EQ(p.writes[0].dat, 0x1234);
    EXPECT_EQ(p.writes[0].line, 2);
    EXPECT_EQ(p.writes[1].type, 1);
    EXPECT_EQ(p.writes[2].device, 2);
    EXPECT_EQ(p.writes[3].cat, 3);
}

TEST_F(DeviceConfigFilesTest, BadValuesNameTheirLineAndNothingIsWritten)
{
    const char* good = "wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x0100\r\n";
    struct Case {
        const char* line;
        const char* why;
    } cases[] = {
        {"wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x01G0", "not hexadecimal"},
        {"wrt,KVB71853,dev0x10,cat0x0A,adr0x10,dat0x0100", "device 16 is above 15"},
        {"wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x4000", "above 14 bits"},
        {"wrt,KVB71853,dev0x01,cat0x0A,adr0x40,dat0x0000", "above 0x3F"},
        // Would write page 2 with category 0x0A on the wire.
        {"wrt,KVB71853,dev0x01,cat0x1A,adr0x10,dat0x0100", "category 0x1A is above 0x0F"},
    };
    for (const Case& c : cases) {
        const auto p = parse(std::string(good) + c.line + "\r\n" + good);
        EXPECT_EQ(p.errorLine, 2) << c.line;
        EXPECT_NE(p.error.find(c.why), std::string::npos) << p.error;
        EXPECT_TRUE(p.writes.empty());
    }

    // Without a board the user is told once and no file is asked for.
    const std::string goodPath = write("good.txt", std::string(good) + good + good);
    t.files.openAnswers = {goodPath};
    EXPECT_EQ(files.LoadDeviceConfig(), "");
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "KVB71853 EVB not connected!");
    EXPECT_TRUE(logHas("LoadDeviceConfig: EVB not detected."));
    EXPECT_EQ(t.files.openAnswers.size(), 1u);
    t.files.openAnswers.clear();

    ASSERT_TRUE(connect(true, 1));
    const std::string path = write("bad.txt", std::string(good) + cases[1].line + "\r\n");
    t.files.openAnswers = {path};
    EXPECT_EQ(files.LoadDeviceConfig(), "");
    EXPECT_NE(t.prompter.asked.back().text.find("line 2: device 16 is above 15"), std::string::npos);
    EXPECT_TRUE(log.find("wrt,") == std::string::npos);
    // A category the wire cannot carry reaches no chip either.
    const int16_t ovLimit = chain.device(0, 1).regs[144];
    const std::string badCategory = write("category.txt", std::string(cases[4].line) + "\r\n");
    t.files.openAnswers = {badCategory};
    EXPECT_EQ(files.LoadDeviceConfig(), "");
    EXPECT_NE(t.prompter.asked.back().text.find("line 1: category 0x1A is above 0x0F"),
              std::string::npos);
    EXPECT_TRUE(log.find("wrt,") == std::string::npos);
    EXPECT_EQ(chain.device(0, 1).regs[144], ovLimit);

    t.files.openAnswers = {folder + "missing.txt"};
    EXPECT_EQ(files.LoadDeviceEE(), "");
    EXPECT_EQ(t.prompter.asked.back().text.rfind("LoadDeviceEE failed due to the following:\r\n"
                                                 "Error 53:",
                                                 0),
              0u);
}

TEST_F(DeviceConfigFilesTest, SaveThenLoadRestoresImageAndChips)
{
    realDefinitions();
    link.SetFittedParts(link.SecondTypePresent, "KVB53960", link.PartName2);
    ASSERT_TRUE(connect(true, 2, 1));
    link.SetFittedParts(link.SecondTypePresent, link.PartName1, "KVB53961");
    // Give the chips distinct values and read every saved register back.
    for (int d = 1; d <= 2; ++d) {
        auto& chip = chain.device(0, d);
        for (int reg : {131, 133, 144, 145, 146, 149, 150, 151})
            chip.regs[reg] = static_cast<int16_t>(reg * 10 + d);
        for (int i = 0; i < 24; ++i)
            chip.regs[160 + i] = static_cast<int16_t>(0x1000 + 16 * d + i);
        for (int bank = 0; bank < kBalanceBanks; ++bank)
            chip.balanceBanks[bank] = static_cast<int16_t>(0x100 * d + bank);
        chip.regs[147] = static_cast<int16_t>(0x0206 + 7 * 32);
    }
    chain.device(1, 1).regs[150] = 0x0ABC;
    auto readReg = [&](int type, int d, int reg) {
        link::ChipMessage m(static_cast<uint8_t>(d), static_cast<uint8_t>(reg / 64),
                            static_cast<uint8_t>(reg % 64), 0, static_cast<int16_t>(type));
        link.ReadSingleReg(m);
    };
    for (int d = 1; d <= 2; ++d) {
        for (int reg = 128; reg < 184; ++reg)
            if (link.definitions.kind(0, reg) == link::KindReadWrite && reg != 148)
                readReg(0, d, reg);
        // Every bank through the pointer, ending on the saved pointer's bank.
        const int16_t setup = link.image.at(0, d, 147);
        for (int bank = 0; bank < kBalanceBanks; ++bank) {
            link::ChipMessage point(static_cast<uint8_t>(d), 2, 0x13, BankPointerValue(setup, bank));
            link.WriteSingleReg(point);
            readReg(0, d, 148);
            banks.set(d, bank, link.image.at(0, d, 148));
        }
        link::ChipMessage restore(static_cast<uint8_t>(d), 2, 0x13, setup);
        link.WriteSingleReg(restore);
        readReg(0, d, 148);
    }
    for (int reg : {131, 133, 150, 151})
        readReg(1, 1, reg);
    const auto savedImage = link.image;
    const auto chip1 = chain.device(0, 1);
    const auto chip2 = chain.device(0, 2);
    const auto other = chain.device(1, 1);

    const std::string path = folder + "saved.txt";
    std::filesystem::remove(path);
    t.files.saveAnswers = {path};
    files.SaveDeviceConfig();
    const std::string text = read(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * 72 + 10);

    // Scramble the chips and forget the image, then load.
    chain.setDevices(0, 2);
    chain.setDevices(1, 1);
    link.image.clear();
    t.files.openAnswers = {path};
    EXPECT_EQ(files.LoadDeviceConfig(), path);
    for (int reg = 0; reg < link::kRegisters; ++reg) {
        EXPECT_EQ(chain.device(0, 1).regs[reg], chip1.regs[reg]) << reg;
        EXPECT_EQ(chain.device(0, 2).regs[reg], chip2.regs[reg]) << reg;
        EXPECT_EQ(chain.device(1, 1).regs[reg], other.regs[reg]) << reg;
    }
    EXPECT_EQ(chain.device(0, 1).balanceBanks, chip1.balanceBanks);
    EXPECT_EQ(chain.device(0, 2).balanceBanks, chip2.balanceBanks);
    for (int type = 0; type < 2; ++type)
        for (int d = 0; d < link::kDevices; ++d)
            for (int reg = 0; reg < link::kRegisters; ++reg)
                ASSERT_EQ(link.image.at(type, d, reg), savedImage.at(type, d, reg))
                    << type << " " << d << " " << reg;
}

// Saving writes only what a chip gave or took in this connection; a note
// stands for each other register, the loader skips it, and the user is told
// how many were left out.
TEST_F(DeviceConfigFilesTest, SavesKeepOnlyKnownRegistersAndCountTheRest)
{
    // No board ever connected: nothing is known.
    t.files.saveAnswers = {folder + "ee_unknown.txt"};
    files.Save_EE_Test_Regs();
    const std::string ee = read(folder + "ee_unknown.txt");
    EXPECT_NE(ee.find("\r\n53960 EEPROM Value Registers\r\n"
                      "53960 EEPROM register adr0x00 not read or written - not saved\r\n"),
              std::string::npos);
    EXPECT_NE(ee.find("\r\n53960 Test register adr0x17 not read or written - not saved\r\n"),
              std::string::npos);
    EXPECT_EQ(ee.find("wrt,"), std::string::npos);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Saved to " + folder + "ee_unknown.txt.\n\n"
              "Registers not saved: 88 (no chip gave their values since connecting; the file "
              "notes each one).");

    realDefinitions();
    ASSERT_TRUE(connect(false, 1));
    chain.device(0, 1).regs[131] = 0x0123;
    link::ChipMessage faultSetup(1, 2, 0x03, 0, 0);
    link.ReadSingleReg(faultSetup);
    link.image.at(0, 1, 144) = 0x1F40;  // as the row's editors put it
    link::ChipMessage ovLimit(1, 2, 0x10, 0x1F40, 0);
    ASSERT_TRUE(link.WriteSingleReg(ovLimit));
    link.image.at(0, 1, 145) = 0x0AAA;  // typed in a row, never written

    t.prompter.asked.clear();
    t.files.saveAnswers = {folder + "known_only.txt"};
    files.SaveDeviceConfig();
    const std::string saved = read(folder + "known_only.txt");
    EXPECT_NE(saved.find("53960 Fault Setup Register\r\n"
                         "wrt,KVB71853,dev0x01,cat0x0A,adr0x03,dat0x0123\r\n"
                         "53960 Cell Setup Register\r\n"
                         "53960 register adr0x05 not read or written - not saved\r\n"
                         "53960 OV Limit Register\r\n"
                         "wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x1F40\r\n"
                         "53960 UV Limit Register\r\n"
                         "53960 register adr0x11 not read or written - not saved\r\n"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("53960 Balance Value Registers\r\n"
                         "53960 register adr0x20 not read or written - not saved\r\n"),
              std::string::npos);
    // 7 single registers, 13 balance status banks and 24 balance values.
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Saved to " + folder + "known_only.txt.\n\n"
              "Registers not saved: 44 (no chip gave their values since connecting; the file "
              "notes each one).");

    // Loading the file writes the two known registers and nothing else.
    const auto p = data::ParseConfigText(saved, {"KVB71853", "", 1, 0});
    ASSERT_TRUE(p.ok());
    ASSERT_EQ(p.writes.size(), 2u);
    EXPECT_EQ(p.writes[0].adr, 0x03);
    EXPECT_EQ(p.writes[1].dat, 0x1F40);

    // With every saved register known there is nothing to tell.
    for (int reg = 256; reg < 344; ++reg)
        link.image.store(0, 1, reg, 0x0101);
    t.prompter.asked.clear();
    t.files.saveAnswers = {folder + "ee_known.txt"};
    files.Save_EE_Test_Regs();
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_NE(read(folder + "ee_known.txt").find("wrt,KVB71853,dev0x01,cat0x0D,adr0x17,dat0x0101\r\n"),
              std::string::npos);
}

// A load that writes no register says so once, naming the file; lines the
// loader skips in a file that writes something stay silent.
TEST_F(DeviceConfigFilesTest, ALoadThatWritesNothingSaysSoNamingTheFile)
{
    realDefinitions();
    ASSERT_TRUE(connect(true, 2));
    const std::string saved = "\r\n**** Parameters for 53960 at device address 1 ****\r\n"
                              "53960 OV Limit Register\r\n"
                              "wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x1F40\r\n"
                              "53960 UV Limit Register\r\n"
                              "wrt,KVB71853,dev0x01,cat0x0A,adr0x11,dat0x0AAA\r\n";
    std::string crOnly = saved;
    std::erase(crOnly, '\n');
    std::string otherPart = saved;
    otherPart.replace(otherPart.find("KVB71853"), 8, "KVB53960");
    otherPart.replace(otherPart.find("KVB71853"), 8, "KVB53960");
    const std::pair<const char*, std::string> cases[] = {
        {"empty.txt", ""},
        {"junk.bin", std::string("\x7F" "ELF\x02\x01\x01\x00,,,\xFF\xFE\r\n\x00wrt,\x01,,,,,,", 26)},
        {"cr_only.txt", crOnly},
        {"other_part.txt", otherPart},
    };
    for (const auto& [name, text] : cases) {
        chain.device(0, 1).regs[144] = 0x0100;
        chain.device(0, 1).regs[145] = 0x0200;
        log.clear();
        t.prompter.asked.clear();
        const std::string path = write(name, text);
        t.files.openAnswers = {path};
        EXPECT_EQ(files.LoadDeviceConfig(), "") << name;
        EXPECT_EQ(chain.device(0, 1).regs[144], 0x0100) << name;
        EXPECT_EQ(chain.device(0, 1).regs[145], 0x0200) << name;
        EXPECT_FALSE(logHas("wrt,")) << name;
        EXPECT_EQ(t.prompter.texts(),
                  (std::vector<std::string>{
                      "ParseConfigFile: no line is a register write for KVB71853.\r\n"
                      "Nothing was loaded from " +
                      path + "."}))
            << name;
    }

    // Register lines that the loader skips, for registers that are not
    // read/write.
    t.prompter.asked.clear();
    const std::string readOnly = write("read_only.txt",
                                       "wrt,KVB71853,dev0x01,cat0x01,adr0x01,dat0x0000\r\n"
                                       "wrt,KVB71853,dev0x02,cat0x01,adr0x00,dat0x0000\r\n");
    t.files.openAnswers = {readOnly};
    EXPECT_EQ(files.LoadDeviceEE(), "");
    EXPECT_EQ(
        t.prompter.texts(),
        (std::vector<std::string>{"ParseConfigFile: no device took any of the file's 2 register "
                                  "writes (registers that are not read/write are skipped).\r\n"
                                  "Nothing was loaded from " +
                                  readOnly + "."}));

    // One line written: the titles, the read-only line and the other part's
    // line are skipped without a word.
    t.prompter.asked.clear();
    const std::string mixed = write("mixed.txt", saved.substr(0, saved.find("53960 UV")) +
                                                     "wrt,KVB71853,dev0x01,cat0x01,adr0x01,"
                                                     "dat0x0000\r\n" +
                                                     otherPart);
    t.files.openAnswers = {mixed};
    EXPECT_EQ(files.LoadDeviceConfig(), mixed);
    EXPECT_EQ(chain.device(0, 1).regs[144], 0x1F40);
    EXPECT_EQ(chain.device(0, 1).regs[145], 0x0200);
    EXPECT_TRUE(t.prompter.asked.empty());

    // With a second type fitted, the box names both parts.
    ASSERT_TRUE(connect(true, 1, 1));
    t.files.openAnswers = {write("empty.txt", "")};
    files.LoadDeviceConfig();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text.rfind(
                  "ParseConfigFile: no line is a register write for KVB71853 or KVB53961.\r\n", 0),
              0u);
}

// A bank is saved as the pair that selects it and gives its value; without
// the setup register's value the selecting line cannot be built, and a bank
// known on an earlier connection is not this connection's.
TEST_F(DeviceConfigFilesTest, ABankIsSavedOnlyWithTheSetupRegisterOfThisConnection)
{
    auto saved = [&](const std::string& line) {
        const std::vector<std::string> lines = data::DeviceConfigLines(link);
        return std::count(lines.begin(), lines.end(), line);
    };
    const std::string note = "53960 Balance Status bank 3 not read - not saved";
    ASSERT_TRUE(connect(true, 1));
    banks.set(1, 3, 0x0055);  // typed into the balance sequence dialog
    EXPECT_EQ(saved("wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x0060"), 0);
    EXPECT_EQ(saved(note), 1);

    chain.device(0, 1).regs[147] = 0x0001;
    ASSERT_TRUE(readReg(1, 2, 0x13));
    EXPECT_EQ(saved("wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x0061"), 1);
    EXPECT_EQ(saved("wrt,KVB71853,dev0x01,cat0x0A,adr0x14,dat0x0055"), 1);

    ASSERT_TRUE(connect(true, 1));
    ASSERT_TRUE(readReg(1, 2, 0x13));
    EXPECT_EQ(saved(note), 1);
}

// A loaded line's value goes into the image before the write; on the daisy
// chain the chip's echo then replaces it, and a refused write puts the
// image back as it was.
TEST_F(DeviceConfigFilesTest, ALoadLeavesTheChipsEchoInImageAndBank)
{
    ASSERT_TRUE(connect(true, 1));
    chain.device(0, 1).regs[147] = 0x0001 | 2 * 32;
    ASSERT_TRUE(readReg(1, 2, 0x13));
    const std::string path =
        write("echo.txt", "wrt,KVB71853,dev0x01,cat0x0A,adr0x14,dat0x3FFF\r\n");
    t.files.openAnswers = {path};
    EXPECT_EQ(files.LoadDeviceConfig(), path);
    ASSERT_EQ(chain.device(0, 1).balanceBanks[2], 0x0FFF);
    EXPECT_EQ(link.image.at(0, 1, 148), 0x0FFF);
    EXPECT_EQ(banks.value(1, 2), 0x0FFF);

    link.image.at(0, 1, 144) = 0x0AAA;
    chain.faults.nack = true;
    t.files.openAnswers = {
        write("refused.txt", "wrt,KVB71853,dev0x01,cat0x0A,adr0x10,dat0x1F40\r\n")};
    files.LoadDeviceConfig();
    chain.faults.nack = false;
    EXPECT_EQ(link.image.at(0, 1, 144), 0x0AAA);
}

TEST_F(DeviceConfigFilesTest, AFolderChosenAsTheFileIsNamedAsAFolder)
{
    ASSERT_TRUE(connect(true, 1));
    const std::string chosen = folder + "a_folder.txt";
    std::filesystem::create_directories(chosen);
    t.files.openAnswers = {chosen};
    EXPECT_EQ(files.LoadDeviceConfig(), "");
    EXPECT_EQ(t.prompter.texts(),
              (std::vector<std::string>{
                  "LoadDeviceConfig failed due to the following:\r\nError 21:\r\n\"" + chosen +
                  "\" is a folder, not a file."}));
}

}  // namespace
}  // namespace kvb::test
