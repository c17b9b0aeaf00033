#include "data/DataLogging.h"
#include "data/FileSystem.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <csignal>
#include <sstream>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

using namespace kvb;
using namespace kvb::data;
namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class DataLoggingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(::testing::TempDir()) /
               ("logging_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "docs");
        documents.pointAt((root / "docs").string());
    }
    void TearDown() override { fs::remove_all(root); }
    void touch(const fs::path& p) { std::ofstream(p) << "old"; }

    fs::path root;
    test::TestServices t;
    DocumentsFolder documents;
    DataLogging logging{t.services, documents};
};

// Records the name the dialog proposes and chooses it.
class ProposingDialogs : public FileDialogs {
public:
    std::vector<std::string> proposals;
    std::vector<std::string> titles;
    std::string override_;
    std::string openFile(const FileDialogRequest&) override { return {}; }
    std::string saveFile(const FileDialogRequest& request) override
    {
        titles.push_back(request.title);
        proposals.push_back(request.start);
        return override_.empty() ? request.start : override_;
    }
};

class ProposalTest : public DataLoggingTest {
protected:
    ProposingDialogs dialogs;
    Services services{t.prompter, t.pump, t.clock, dialogs, t.programEnd};
    DataLogging log2{services, documents};
};

TEST_F(ProposalTest, NumbersTheFirstFreeNameWithAtLeastTwoDigits)
{
    for (int i = 1; i <= 9; ++i)
        touch(root / "docs" / ("EvalSw539_Log_0" + std::to_string(i) + ".txt"));
    std::string path = log2.LogStart();
    EXPECT_EQ(path, (root / "docs" / "EvalSw539_Log_10.txt").string());
    EXPECT_EQ(dialogs.titles.back(), "Create Log File");
    log2.LogStop();
    EXPECT_EQ(FileNumberText(100), "100");
    EXPECT_EQ(FileNumberText(7), "07");

    fs::create_directory(root / "docs" / "EvalSw539_Export_01.csv");  // a folder counts as taken
    EXPECT_EQ(log2.OpenFileForExportCsv(), (root / "docs" / "EvalSw539_Export_02.csv").string());
    EXPECT_TRUE(log2.CloseFileForExportCsv());
    EXPECT_EQ(dialogs.titles.back(), "Export CSV File");
}

TEST_F(ProposalTest, KindsRememberTheirFoldersAndFallBackWhenOneIsGone)
{
    fs::create_directory(root / "other");
    dialogs.override_ = (root / "other" / "mine.txt").string();
    ASSERT_FALSE(log2.OpenFileForExportTxt().empty());
    log2.CloseFileForExportTxt();
    dialogs.override_.clear();
    EXPECT_EQ(log2.TxtFolder(), (root / "other").string());

    // The CSV kind still starts in the documents folder.
    log2.OpenFileForExportCsv();
    log2.CloseFileForExportCsv();
    EXPECT_EQ(dialogs.proposals.back(), (root / "docs" / "EvalSw539_Export_01.csv").string());

    log2.OpenFileForExportTxt();
    log2.CloseFileForExportTxt();
    EXPECT_EQ(dialogs.proposals.back(), (root / "other" / "EvalSw539_Config_01.txt").string());

    fs::remove_all(root / "other");
    log2.OpenFileForExportTxt();
    log2.CloseFileForExportTxt();
    EXPECT_EQ(dialogs.proposals.back(), (root / "docs" / "EvalSw539_Config_01.txt").string());
}

TEST_F(DataLoggingTest, FileInUseIsRefusedButItsFolderRemembered)
{
    fs::create_directory(root / "held");
    const std::string held = (root / "held" / "x.csv").string();
    touch(held);
    int fd = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    t.files.saveAnswers = {held};
    // flock locks of one process on one file through separate opens conflict.
    EXPECT_EQ(logging.OpenFileForExportCsv(), "");
    ::close(fd);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "The file \"" + held + "\" is currently open or in use by another program.\r\n"
              "You must first close this file before you can create the index.");
    EXPECT_EQ(logging.CsvFolder(), (root / "held").string());
    EXPECT_EQ(slurp(held), "old");

    // Free again: the old file is replaced by an empty one.
    t.files.saveAnswers = {held};
    EXPECT_EQ(logging.OpenFileForExportCsv(), held);
    EXPECT_TRUE(logging.AddLineToExportCsv("a,b,"));
    EXPECT_TRUE(logging.CloseFileForExportCsv());
    EXPECT_EQ(slurp(held), "a,b,\r\n");
    EXPECT_EQ(t.pump.yields, 1);
}

// The program's own open files count as held: choosing the running log for
// an export (or the log over an export being written, here or in a second
// copy of the program) gives the in-use box and leaves the file as it was.
TEST_F(DataLoggingTest, OwnOpenFilesAreInUse)
{
    const std::string p = (root / "p.txt").string();
    const std::string inUse = "The file \"" + p +
                              "\" is currently open or in use by another program.\r\n"
                              "You must first close this file before you can create the index.";
    t.files.saveAnswers = {p};
    ASSERT_EQ(logging.LogStart(), p);
    ASSERT_TRUE(logging.LogEvent("wrt,KVB71853,dev0x01,cat0x0A,adr0x03,dat0x0123"));

    t.files.saveAnswers = {p, p};
    EXPECT_EQ(logging.OpenFileForExportCsv(), "");
    EXPECT_TRUE(logging.ExportCsvOpenFailed());
    EXPECT_EQ(logging.OpenFileForExportTxt(), "");
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_EQ(t.prompter.asked[0].text, inUse);
    EXPECT_EQ(t.prompter.asked[1].text, inUse);
    EXPECT_EQ(t.pump.yields, 0);  // nothing deleted

    // Later lines still land in the same file, after the earlier ones.
    EXPECT_TRUE(logging.LogEvent("Sent: 01 02"));
    EXPECT_TRUE(logging.LogStop());
    const std::string text = slurp(p);
    EXPECT_NE(text.find("]\r\nwrt,KVB71853,dev0x01,cat0x0A,adr0x03,dat0x0123\r\nSent: 01 02\r\n"
                        "[Logging Stopped: "),
              std::string::npos);

    // An export being written is held too, until it is closed; a second copy
    // of the program sees the same.
    const std::string q = (root / "q.csv").string();
    t.files.saveAnswers = {q};
    ASSERT_EQ(logging.OpenFileForExportCsv(), q);
    ASSERT_TRUE(logging.AddLineToExportCsv("TimeStamp,"));
    DataLogging secondCopy{t.services, documents};
    t.files.saveAnswers = {q, q};
    EXPECT_EQ(secondCopy.LogStart(), "");
    EXPECT_FALSE(secondCopy.LoggingActive());
    EXPECT_EQ(logging.OpenFileForExportTxt(), "");
    EXPECT_TRUE(logging.CloseFileForExportCsv());
    EXPECT_EQ(slurp(q), "TimeStamp,\r\n");
    t.files.saveAnswers = {q};
    EXPECT_EQ(logging.OpenFileForExportTxt(), q);
    EXPECT_TRUE(logging.CloseFileForExportTxt());
    EXPECT_EQ(slurp(q), "");
}

TEST_F(DataLoggingTest, StopLineThatCannotBeWrittenIsAFailure)
{
    // A pipe whose reader goes away once the log has started.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    auto* oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    t.files.saveAnswers = {"/proc/self/fd/" + std::to_string(fds[1])};
    ASSERT_FALSE(logging.LogStart().empty());
    ::close(fds[0]);
    ::close(fds[1]);
    EXPECT_FALSE(logging.LogStop());
    std::signal(SIGPIPE, oldPipeHandler);
    EXPECT_FALSE(logging.LoggingActive());
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text.rfind("LogStop failed due to the following:\r\nError ", 0),
              0u);
    EXPECT_FALSE(logging.LogStop());  // given up: nothing left to stop
    EXPECT_EQ(t.prompter.asked.size(), 1u);
}

TEST_F(DataLoggingTest, LogHasStartAndStopLinesAroundTheLoggedLines)
{
    EXPECT_FALSE(logging.LogStop());
    t.files.saveAnswers = {""};
    EXPECT_EQ(logging.LogStart(), "");  // cancelled
    EXPECT_FALSE(logging.LoggingActive());
    EXPECT_TRUE(t.prompter.asked.empty());

    const std::string path = (root / "log.txt").string();
    t.files.saveAnswers = {path};
    ASSERT_EQ(logging.LogStart(), path);
    EXPECT_TRUE(logging.LoggingActive());
    EXPECT_TRUE(logging.LogEvent("cmd,KVB71853,cat0x01,adr0x00,dat0x00"));
    EXPECT_TRUE(logging.LogEvent("Sent: 01 02"));
    EXPECT_TRUE(logging.LogStop());
    EXPECT_FALSE(logging.LoggingActive());
    const std::string text = slurp(path);
    EXPECT_EQ(text.rfind("[Logging Started: ", 0), 0u);
    EXPECT_NE(text.find("]\r\ncmd,KVB71853,cat0x01,adr0x00,dat0x00\r\nSent: 01 02\r\n[Logging Stopped: "),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 3), "]\r\n");
}

TEST_F(DataLoggingTest, UnwritableLogIsReportedOnceAndClosed)
{
    // A device that refuses every write; it must never be replaced.
    if (!fs::is_character_file("/dev/full"))
        GTEST_SKIP();
    t.files.saveAnswers = {"/dev/full"};
    EXPECT_EQ(logging.LogStart(), "");
    EXPECT_FALSE(logging.LoggingActive());
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text.rfind("LogStart failed due to the following:\r\nError ", 0), 0u);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(FilePaths, JoinAndSplit)
{
    EXPECT_EQ(AppendToPath("/a/b", "f.txt"), "/a/b/f.txt");
    EXPECT_EQ(AppendToPath(" /a/b/ ", " /f.txt "), "/a/b/f.txt");
    EXPECT_EQ(AppendToPath("/a/b/", "f.txt"), "/a/b/f.txt");
    EXPECT_EQ(AppendToPath("", "f.txt"), "/f.txt");
    EXPECT_EQ(GetFolderOfPath("/a/b/f.txt"), "/a/b");
    EXPECT_EQ(GetFolderOfPath(std::string("/a/f\0x", 6)), "/a");
    EXPECT_EQ(TrimAtNul(std::string("ab\0c", 4)), "ab");
}

TEST(FilePaths, DocumentsFolderFallsBackToHome)
{
    fs::path home = fs::path(::testing::TempDir()) / ("home_" + std::to_string(::getpid()));
    fs::remove_all(home);
    fs::create_directories(home);
    EXPECT_EQ(DocumentsFolderOf(home.string()), home.string());
    fs::create_directory(home / "Documents");
    EXPECT_EQ(DocumentsFolderOf(home.string()), (home / "Documents").string());
    EXPECT_EQ(DocumentsFolderOf((home / "missing").string()), "");
    fs::remove_all(home);
}

}  // namespace
