#include "link/RegisterDefinitionFile.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace kvb;
using namespace kvb::link;

namespace {

std::string crlf(std::initializer_list<const char*> lines)
{
    std::string s;
    for (const char* l : lines)
        s += std::string(l) + "\r\n";
    return s;
}

class RegisterFileTest : public ::testing::Test {
protected:
    std::unique_ptr<RegisterDefinitions> defs = std::make_unique<RegisterDefinitions>();
    RegisterFileResult parse(std::initializer_list<const char*> lines)
    {
        return ParseRegisterDefinitions(crlf(lines), *defs);
    }
};

TEST_F(RegisterFileTest, RegLineFieldsDefaultsAndKeywordCase)
{
    ASSERT_TRUE(parse({"TABNAME,A", "reg,65,Cell 1,0", "REG,66,Cell 2", "REG,67,Cell 3,",
                       "REG,64,Pack,0,Voltage,V,0.0048828125", "REG,68,X,1,L,U,"})
                    .ok());
    const auto& c1 = defs->def(0, 65);
    EXPECT_EQ(c1.name, "Cell 1");
    EXPECT_EQ(c1.kind, KindReadOnly);
    EXPECT_EQ(c1.valueLabel, "");
    EXPECT_EQ(c1.units, "");
    EXPECT_EQ(c1.scale, 1.0);
    EXPECT_EQ(c1.bitNames[0], "Bit0");
    EXPECT_EQ(c1.bitNames[13], "Bit13");
    EXPECT_EQ(defs->kind(0, 66), KindAbsent);  // field 3 absent
    EXPECT_EQ(defs->kind(0, 67), 0);           // present but empty
    EXPECT_EQ(defs->def(0, 64).units, "V");
    EXPECT_DOUBLE_EQ(defs->def(0, 64).scale, 80.0 / 16384);
    EXPECT_EQ(defs->def(0, 68).scale, 0.0);  // present but empty scale
    EXPECT_EQ(defs->kind(1, 65), KindAbsent);
}

TEST_F(RegisterFileTest, OutOfRangeIndexIgnoredWithItsBits)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,65,Cell,0", "REG,700,Far,1",
                       "BITS,a,b,c,d,e,f,g,h,i,j,k,l,m,n"})
                    .ok());
    EXPECT_EQ(defs->def(0, 65).bitNames[13], "Bit13");
    EXPECT_EQ(defs->tabRegisters[0][0][1], -1);
}

TEST_F(RegisterFileTest, NinthRegisterOverwritesRowSeven)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,1,r1,0", "REG,2,r2,0", "REG,3,r3,0", "REG,4,r4,0",
                       "REG,5,r5,0", "REG,6,r6,0", "REG,7,r7,0", "REG,8,r8,0", "REG,9,r9,0"})
                    .ok());
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(defs->tabRegisters[0][0][r], r + 1);
    EXPECT_EQ(defs->tabRegisters[0][0][7], 9);
    EXPECT_EQ(defs->def(0, 8).name, "r8");
}

TEST_F(RegisterFileTest, BitsLineNeedsFourteenNamesHighBitFirst)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,128,F0,1", "BITS,a,b,c,d,e,f,g,h,i,j,k,l,m",
                       "REG,129,F1,1", "BITS,b13,b12,b11,b10,b9,b8,b7,b6,b5,b4,b3,b2,b1,b0"})
                    .ok());
    EXPECT_EQ(defs->def(0, 128).bitNames[13], "Bit13");
    EXPECT_EQ(defs->def(0, 129).bitNames[13], "b13");
    EXPECT_EQ(defs->def(0, 129).bitNames[0], "b0");
}

TEST_F(RegisterFileTest, NumbersReadAsLeadingNumbers)
{
    EXPECT_EQ(LeadingNumber("&H2401"), 9217);
    EXPECT_EQ(LeadingNumber(" 1 2x3"), 12);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("&HFFFF"), -1);
    EXPECT_EQ(LeadingNumber("&H10000"), 65536);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5E2V"), 150.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("-0.25"), -0.25);
    ASSERT_TRUE(parse({"TINT25,&H2401", "TABNAME,A", "REG,64.5,half,0", "REG,65.5,half,2.5"}).ok());
    EXPECT_EQ(defs->tint25, 9217);
    EXPECT_EQ(defs->tabRegisters[0][0][0], 64);  // halves to even
    EXPECT_EQ(defs->tabRegisters[0][0][1], 66);
    EXPECT_EQ(defs->kind(0, 66), 2);
}

TEST_F(RegisterFileTest, SectionsTabsAndRestartingAType)
{
    ASSERT_TRUE(parse({"TITLE,x", "PART1,y", "TABNAME,MAIN", "TABNAME,R", "REG,65,a,0",
                       "REG,66,b,0", "BEGIN53961", "TABNAME,T1", "REG,128,c,1", "BEGIN53960",
                       "TABNAME,S", "REG,70,d,0", " REG,71,e,0", "TITLEBAR,yes"})
                    .ok());
    EXPECT_EQ(defs->tabCount[0], 0);  // the restarted section has one tab
    EXPECT_EQ(defs->tabNames[0][0], "S");
    EXPECT_EQ(defs->tabNames[0][1], "R");  // not named again: kept
    EXPECT_EQ(defs->tabRegisters[0][0][0], 70);
    EXPECT_EQ(defs->tabRegisters[0][1][0], 65);
    EXPECT_EQ(defs->kind(0, 71), KindAbsent);  // keyword with a leading blank
    EXPECT_EQ(defs->tabCount[1], 0);
    EXPECT_EQ(defs->kind(1, 128), 1);
    EXPECT_EQ(TabCaptions(*defs, 0), (std::vector<std::string>{"S"}));
    EXPECT_EQ(PageOfTab("Main"), FixedPage::Main);
    EXPECT_EQ(PageOfTab("R"), FixedPage::None);
}

// Files that yield nothing to show fail and keep the tables; a file without
// a type-1 section is sound.
TEST_F(RegisterFileTest, AFileWithoutTypeZeroTabsOrRegistersFails)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,65,Cell,0"}).ok());
    struct Case {
        std::string text;
        std::string description;
    };
    const std::string junk("\x7f" "ELF\x02\x01\x00\x00\xff\xfe,\x01", 12);
    const Case cases[] = {
        {"", "No TABNAME line for device type 0 (0 lines read; lines must end in CR LF)"},
        {junk, "No TABNAME line for device type 0 (1 line read; lines must end in CR LF)"},
        // Every line ended by LF alone: the whole file is one line.
        {"TABNAME,A\nREG,65,a,0\nREG,66,b,0\n",
         "No REG line for device type 0 (1 line read; lines must end in CR LF)"},
        // Cut after the first tab name.
        {crlf({"TITLE,x", "TABNAME,MAIN"}),
         "No REG line for device type 0 (2 lines read; lines must end in CR LF)"},
        // Only a type-1 section.
        {crlf({"BEGIN53961", "TABNAME,T1", "REG,128,c,1"}),
         "No TABNAME line for device type 0 (3 lines read; lines must end in CR LF)"},
        // A type-0 register whose index lies outside 0..511 defines nothing.
        {crlf({"TABNAME,A", "REG,700,far,0"}),
         "No REG line for device type 0 (2 lines read; lines must end in CR LF)"},
    };
    for (const auto& c : cases) {
        auto r = ParseRegisterDefinitions(c.text, *defs);
        EXPECT_EQ(r.status, RegisterFileResult::Status::Invalid) << c.description;
        EXPECT_EQ(r.errorNumber, 5);
        EXPECT_EQ(r.description, c.description);
    }
    EXPECT_EQ(defs->tabNames[0][0], "A");
    EXPECT_EQ(defs->kind(0, 65), 0);

    // One tab and one register of type 0 are enough; type 1 may be absent.
    EXPECT_TRUE(parse({"TABNAME,A", "REG,511,last,0"}).ok());
    EXPECT_EQ(defs->kind(0, 511), 0);
    EXPECT_EQ(defs->tabCount[1], 0);
}

// A register index needs a number; digits followed directly by a letter
// would read as another number than the one written, in any numeric field;
// a scale must be finite.
TEST_F(RegisterFileTest, ANonNumberIndexOrAnEndlessScaleFailsAtItsLine)
{
    ASSERT_TRUE(parse({"TINT25,&H2401", "TABNAME,A", "REG,65,Cell,0"}).ok());
    struct Case {
        std::initializer_list<const char*> lines;
        int line;
        int error;
        const char* description;
    };
    const Case cases[] = {
        {{"TABNAME,A", "REG,0x4F,name,0"}, 2, 13,
         "Type mismatch: register index \"0x4F\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,4F,name,0"}, 2, 13,
         "Type mismatch: register index \"4F\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,41h,name,0"}, 2, 13,
         "Type mismatch: register index \"41h\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,65,a,0", "REG,,name,0"}, 3, 13,
         "Type mismatch: register index \"\" is not a number (line 3)"},
        {{"TABNAME,A", "REG,65x,name,0"}, 2, 13,
         "Type mismatch: register index \"65x\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,&H,name,0"}, 2, 13,
         "Type mismatch: register index \"&H\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,&H4G,name,0"}, 2, 13,
         "Type mismatch: register index \"&H4G\" is not a number (line 2)"},
        {{"TABNAME,A", "TINT25,0x2401", "REG,65,a,0"}, 2, 13,
         "Type mismatch: TINT25 \"0x2401\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,65,a,0x1"}, 2, 13,
         "Type mismatch: register kind \"0x1\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,80,Temp,0,T,C,0x3F80"}, 2, 13,
         "Type mismatch: scale \"0x3F80\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,65,a,0,V,V,1E"}, 2, 13,
         "Type mismatch: scale \"1E\" is not a number (line 2)"},
        {{"TABNAME,A", "REG,65,Cell,0,V,V,1e999"}, 2, 6, "Overflow (line 2)"},
        {{"TABNAME,A", "REG,65,Cell,0,V,V,-1e999"}, 2, 6, "Overflow (line 2)"},
    };
    for (const auto& c : cases) {
        auto r = parse(c.lines);
        EXPECT_EQ(r.status, RegisterFileResult::Status::Invalid) << c.description;
        EXPECT_EQ(r.line, c.line) << c.description;
        EXPECT_EQ(r.errorNumber, c.error) << c.description;
        EXPECT_EQ(r.description, c.description);
    }
    EXPECT_EQ(defs->kind(0, 0), KindAbsent);  // register 0 was never defined
    EXPECT_EQ(defs->def(0, 65).scale, 1.0);
    EXPECT_EQ(defs->tint25, 9217);

    // Numbers the format allows: blanks anywhere, "&H" hexadecimal, a point,
    // an exponent, the largest finite scale, and a complete number followed
    // by other text than a letter.
    ASSERT_TRUE(parse({"TABNAME,A", "REG, 65,a,0", "REG,&H41 ,b,1", "REG,6 7,c,0",
                       "REG,68.0,d,0,V,V,1e308", "REG,1E2,e,0", "REG,69;x,f,1;r,V,V,0.5;s",
                       "TINT25,&H2401;t"})
                    .ok());
    EXPECT_EQ(defs->tabRegisters[0][0][0], 65);
    EXPECT_EQ(defs->kind(0, 65), 1);  // "&H41" is 65 again
    EXPECT_EQ(defs->def(0, 65).name, "b");
    EXPECT_EQ(defs->tabRegisters[0][0][2], 67);
    EXPECT_EQ(defs->def(0, 68).scale, 1e308);
    EXPECT_EQ(defs->kind(0, 100), 0);
    EXPECT_EQ(defs->def(0, 69).name, "f");
    EXPECT_EQ(defs->kind(0, 69), 1);
    EXPECT_EQ(defs->def(0, 69).scale, 0.5);
    EXPECT_EQ(defs->tint25, 9217);
}

// The application takes its locale from the environment before the file is
// read; a locale that writes numbers with a decimal comma must not change
// how the file's numbers read.
TEST_F(RegisterFileTest, NumbersReadTheSameUnderADecimalCommaLocale)
{
    // Switches the numeric locale to one with a decimal comma: an installed
    // one, or else one compiled for this test from the system's locale
    // sources. Everything is put back at the end.
    struct DecimalCommaLocale {
        std::string before = std::setlocale(LC_NUMERIC, nullptr);
        std::filesystem::path compiled;
        bool switched = false;

        DecimalCommaLocale()
        {
            for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
                if (use(name))
                    return;
            compiled = std::filesystem::temp_directory_path() /
                       ("kvb-locale-" + std::to_string(::getpid()));
            std::filesystem::create_directories(compiled);
            const std::string build = "localedef -i de_DE -f UTF-8 '" +
                                      (compiled / "de_DE.UTF-8").string() +
                                      "' >/dev/null 2>&1";
            if (std::system(build.c_str()) != 0)
                return;
            ::setenv("LOCPATH", compiled.c_str(), 1);
            use("de_DE.UTF-8");
        }
        bool use(const char* name)
        {
            switched = std::setlocale(LC_NUMERIC, name) &&
                       *std::localeconv()->decimal_point == ',';
            return switched;
        }
        ~DecimalCommaLocale()
        {
            std::setlocale(LC_NUMERIC, before.c_str());
            if (compiled.empty())
                return;
            ::unsetenv("LOCPATH");
            std::error_code ignored;
            std::filesystem::remove_all(compiled, ignored);
        }
    } locale;
    if (!locale.switched)
        GTEST_SKIP() << "no locale with a decimal comma is installed or can be built";

    ASSERT_TRUE(parse({"TINT25,9217.4", "TABNAME,A", "REG,64,Pack,0,Voltage,V,0.015625",
                       "REG,65.5,Cell,0,V,V,-2.5E-1", "REG,67,Temp,0,T,C,1D1"})
                    .ok());
    EXPECT_EQ(defs->def(0, 64).scale, 0.015625);
    EXPECT_EQ(defs->def(0, 66).scale, -0.25);
    EXPECT_EQ(defs->def(0, 67).scale, 10.0);
    EXPECT_EQ(defs->tint25, 9217);
    EXPECT_EQ(LeadingNumber("0.5"), 0.5);
}

// Only the type-0 tabs make the tab strip, whose keys must be unique; a
// type-1 tab name may repeat.
TEST_F(RegisterFileTest, OnlyATypeZeroTabNameMustNotRepeat)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,65,a,0", "BEGIN53961", "TABNAME,T", "TABNAME,t",
                       "REG,128,c,1"})
                    .ok());
    EXPECT_EQ(TabCaptions(*defs, 1), (std::vector<std::string>{"T", "t"}));
    auto r = parse({"TABNAME,A", "REG,65,a,0", "TABNAME,a", "BEGIN53961", "TABNAME,T"});
    EXPECT_EQ(r.errorNumber, 35602);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.description, "Key is not unique in collection (line 3)");
}

TEST_F(RegisterFileTest, InvalidFileKeepsTheOldTablesAndNamesTheLine)
{
    ASSERT_TRUE(parse({"TABNAME,A", "REG,65,Cell,0"}).ok());
    struct Case {
        std::initializer_list<const char*> lines;
        int line;
        int error;
    };
    std::string many;
    for (int i = 0; i < 52; ++i)
        many += "TABNAME,T" + std::to_string(i) + "\r\n";
    const Case cases[] = {
        {{"REG,65,x,1"}, 1, 9},                             // no tab yet
        {{"TABNAME,A", "", "REG,40000,x,1"}, 3, 6},          // index overflows 16 bits
        {{"TINT25,99999"}, 1, 6},
        {{"TABNAME,A", "REG,65,x,3000000000"}, 2, 6},       // kind overflows 32 bits
        {{"TABNAME,A", "TABNAME,B", "TABNAME,a"}, 3, 35602},  // duplicate key
        {{"TABNAME,A", "REG,&H123456789,x,0"}, 2, 6},
    };
    for (const auto& c : cases) {
        auto r = parse(c.lines);
        EXPECT_EQ(r.status, RegisterFileResult::Status::Invalid);
        EXPECT_EQ(r.line, c.line);
        EXPECT_EQ(r.errorNumber, c.error);
    }
    auto r = ParseRegisterDefinitions(many, *defs);
    EXPECT_EQ(r.line, 52);
    EXPECT_EQ(r.errorNumber, 9);
    EXPECT_EQ(defs->kind(0, 65), 0);
    EXPECT_EQ(defs->tabNames[0][0], "A");
    EXPECT_EQ(defs->tabCount[0], 0);
}

TEST(TypeControls, PartNameTwoDecidesTypeOneControls)
{
    EXPECT_TRUE(PlanTypeControls("None").hideTypeOne);
    auto empty = PlanTypeControls("");
    EXPECT_FALSE(empty.hideTypeOne);
    EXPECT_EQ(empty.typeOneCaption, "");
    EXPECT_FALSE(empty.showTypeOneHexLog);
    auto named = PlanTypeControls("KVB53961");
    EXPECT_EQ(named.typeOneCaption, "KVB53961");
    EXPECT_TRUE(named.showTypeOneHexLog);
    EXPECT_EQ(named.typeZeroOption, "Status");
}

TEST(TabdefsLoad, MissingFileEndsTheProgramAndBadFileKeepsTheImage)
{
    test::TestServices t;
    auto defs = std::make_unique<RegisterDefinitions>();
    auto image = std::make_unique<RegisterImage>();
    std::vector<std::string> log;
    auto r = LoadTabdefs(t.services, "/nonexistent/x.csv", *defs, *image,
                         [&](const std::string& s) { log.push_back(s); });
    EXPECT_EQ(r.status, RegisterFileResult::Status::NotFound);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Configuration file /nonexistent/x.csv   not found.");
    EXPECT_EQ(log.at(0), "ParseTabsefsCreateTabs: Configuration file /nonexistent/x.csv  not found.");
    EXPECT_EQ(t.programEnd.quits, 1);

    const std::string path = ::testing::TempDir() + "bad_tabdefs.csv";
    std::ofstream(path, std::ios::binary) << crlf({"TABNAME,A", "REG,65,a,0", "REG,40000"});
    image->at(0, 1, 65) = 7;
    test::TestServices t2;
    r = LoadTabdefs(t2.services, path, *defs, *image, nullptr);
    EXPECT_EQ(r.status, RegisterFileResult::Status::Invalid);
    EXPECT_EQ(t2.prompter.asked.at(0).text,
              "Error in ParseTabsefsCreateTabs Err.Number = 6, Err.Description = Overflow (line 3)");
    EXPECT_EQ(image->at(0, 1, 65), 7);
    EXPECT_EQ(t2.programEnd.quits, 0);
}

// Something at the file's path that cannot be read is a failure of the
// load, never a missing file or an escaping exception.
TEST(TabdefsLoad, ReadFailuresKeepTheTablesAndGoThroughTheErrorBox)
{
    auto defs = std::make_unique<RegisterDefinitions>();
    const std::string good = ::testing::TempDir() + "good_tabdefs.csv";
    std::ofstream(good, std::ios::binary) << crlf({"TABNAME,A", "REG,65,Cell,0"});
    ASSERT_TRUE(LoadRegisterDefinitionFile(good, *defs).ok());
    auto image = std::make_unique<RegisterImage>();
    image->at(0, 1, 65) = 7;

    const std::string folder = ::testing::TempDir() + "folder_tabdefs.csv";
    std::filesystem::create_directories(folder);
    struct Case {
        std::string path;
        std::string box;
    };
    std::vector<Case> cases = {
        {folder, "Error in ParseTabsefsCreateTabs Err.Number = 75, Err.Description = "
                 "Path/File access error (" + folder + " is a folder)"},
        // Opens, but every read fails.
        {"/proc/self/mem", "Error in ParseTabsefsCreateTabs Err.Number = 75, Err.Description = "
                           "Path/File access error (Input/output error)"},
    };
    const std::string locked = ::testing::TempDir() + "locked_tabdefs.csv";
    std::ofstream(locked, std::ios::binary) << crlf({"TABNAME,B", "REG,66,x,0"});
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    if (!std::ifstream(locked))  // not when the tests run as root
        cases.push_back({locked, "Error in ParseTabsefsCreateTabs Err.Number = 75, "
                                 "Err.Description = Path/File access error (Permission denied)"});
    for (const auto& c : cases) {
        test::TestServices t;
        auto r = LoadTabdefs(t.services, c.path, *defs, *image, nullptr);
        EXPECT_EQ(r.status, RegisterFileResult::Status::Invalid) << c.path;
        ASSERT_EQ(t.prompter.asked.size(), 1u) << c.path;
        EXPECT_EQ(t.prompter.asked[0].text, c.box);
        EXPECT_EQ(t.programEnd.quits, 0);
    }
    EXPECT_EQ(defs->tabNames[0][0], "A");
    EXPECT_EQ(defs->kind(0, 65), 0);
    EXPECT_EQ(image->at(0, 1, 65), 7);

    // A file that yields nothing takes the same path and names what is missing.
    const std::string empty = ::testing::TempDir() + "empty_tabdefs.csv";
    std::ofstream(empty, std::ios::binary).flush();
    test::TestServices t;
    EXPECT_FALSE(LoadTabdefs(t.services, empty, *defs, *image, nullptr).ok());
    EXPECT_EQ(t.prompter.asked.at(0).text,
              "Error in ParseTabsefsCreateTabs Err.Number = 5, Err.Description = No TABNAME line "
              "for device type 0 (0 lines read; lines must end in CR LF)");
    EXPECT_EQ(defs->kind(0, 65), 0);
    EXPECT_EQ(image->at(0, 1, 65), 7);
}

}  // namespace

namespace {

// The file that ships beside the program (copied into the build folder).
TEST(ShippedRegisterFile, ParsesWithTheKindsTheProgramReliesOn)
{
    auto defs = std::make_unique<RegisterDefinitions>();
    std::ifstream probe(kTabdefsFileName, std::ios::binary);
    ASSERT_TRUE(probe) << "run from the build folder";
    std::string text((std::istreambuf_iterator<char>(probe)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "lines end in CR LF";
    auto r = LoadRegisterDefinitionFile(kTabdefsFileName, *defs);
    ASSERT_TRUE(r.ok()) << r.description;
    EXPECT_TRUE(r.titleBarSeen);
    EXPECT_EQ(defs->tint25, 9217);

    auto kinds = [&](int type, int first, int last) {
        std::vector<int> k;
        for (int i = first; i <= last; ++i)
            k.push_back(defs->kind(type, i));
        return k;
    };
    auto all = [](int n, int kind) { return std::vector<int>(n, kind); };
    EXPECT_EQ(kinds(0, 64, 76), all(13, KindReadOnly));
    EXPECT_EQ(kinds(0, 80, 86), all(7, KindReadOnly));
    EXPECT_EQ(kinds(0, 128, 134), all(7, KindReadWrite));  // cleared by writing 0
    EXPECT_EQ(kinds(0, 144, 154), all(11, KindReadWrite));
    EXPECT_EQ(kinds(0, 155, 156), all(2, KindReadOnly));
    EXPECT_EQ(kinds(0, 160, 183), all(24, KindReadWrite));
    EXPECT_EQ(kinds(0, 256, 343), all(88, KindReadWrite));
    for (int readAll : {79, 95, 143, 159})
        EXPECT_EQ(defs->kind(0, readAll), KindReadAll) << readAll;
    EXPECT_EQ(defs->kind(1, 79), KindAbsent);
    EXPECT_EQ(defs->kind(1, 95), KindAbsent);
    EXPECT_EQ(defs->kind(1, 143), KindReadAll);
    EXPECT_EQ(defs->kind(1, 159), KindReadAll);
    for (int c = 193; c <= 210; ++c)
        EXPECT_NE(defs->kind(0, c), KindAbsent) << c;
    EXPECT_EQ(defs->kind(0, 200), KindCommandData);

    // Read-all blocks: the registers of kind 0 or 1 in each block's range
    // match the frame counts of the read-all answers.
    auto stored = [&](int type, int first, int last) {
        int n = 0;
        for (int i = first; i <= last; ++i)
            n += defs->kind(type, i) == KindReadOnly || defs->kind(type, i) == KindReadWrite;
        return n;
    };
    EXPECT_EQ(stored(0, 64, 78), 13);
    EXPECT_EQ(stored(0, 80, 94), 7);
    EXPECT_EQ(stored(0, 128, 142), 7);
    EXPECT_EQ(stored(0, 144, 158), 14);
    EXPECT_EQ(stored(1, 128, 142), 5);
    EXPECT_EQ(stored(1, 144, 158), 7);
    for (int reg : {128, 129, 131, 132, 133, 150, 151})
        EXPECT_EQ(defs->kind(1, reg), KindReadWrite) << reg;

    EXPECT_EQ(defs->def(0, 65).units, "V");
    EXPECT_DOUBLE_EQ(defs->def(0, 65).scale, 5.0 / 8192);
    EXPECT_DOUBLE_EQ(defs->def(0, 64).scale, 80.0 / 16384);
    EXPECT_EQ(defs->def(0, 132).bitNames[8], "VBAT Open");
    EXPECT_EQ(defs->def(0, 148).bitNames[0], "BAL0");

    for (int type = 0; type < kDeviceTypes; ++type) {
        auto tabs = TabCaptions(*defs, type);
        ASSERT_GE(tabs.size(), 5u);
        EXPECT_EQ(tabs[1], "MAIN");
        EXPECT_EQ(PageOfTab(tabs[0]), FixedPage::Commands);
        EXPECT_EQ(PageOfTab(tabs[2]), FixedPage::Monitor);
        EXPECT_EQ(PageOfTab(tabs[3]), FixedPage::Chart);
    }
}

}  // namespace
