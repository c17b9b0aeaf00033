#pragma once
// Small file and folder routines of the log and export files.

#include <cstdio>
#include <string>
#include <utility>

namespace kvb::data {

// True when the path names an existing file or folder.
bool FileExists(const std::string& path);
// True when the path names an existing plain file.
bool IsRegularFile(const std::string& path);
// True when the path names an existing folder.
bool FolderExists(const std::string& path);
// True when the file exists and cannot be taken for exclusive use: it cannot
// be opened, someone holds a lock on it (another program, another copy of
// this one, or this program's own open `WrittenFile`), or it is a folder.
bool IsFileInUse(const std::string& path);

// A file this program writes, created empty and held under an exclusive
// lock for as long as it is open: `IsFileInUse` then finds it in use, here
// and in any other copy of the program, so nothing replaces it meanwhile.
class WrittenFile {
public:
    enum class Opened { Yes, InUse, Failed };

    WrittenFile() = default;
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;
    ~WrittenFile() { close(); }

    // Opens the path for writing, emptied. InUse when someone took its lock
    // first; Failed (with `error()`) when it cannot be opened.
    Opened open(const std::string& path);
    // Buffered; false after a failure, with `error()`.
    bool write(const std::string& bytes);
    bool flush();
    // Writes what is buffered and closes; false when that failed. Closing a
    // file that is not open succeeds.
    bool close();
    bool isOpen() const { return file_ != nullptr; }
    // The system's error number of the last failure.
    int error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

// The user's documents folder: "<home>/Documents" when it exists, else the
// home folder itself; "" when there is no home folder.
std::string GetMyDocumentsFolder();
std::string DocumentsFolderOf(const std::string& home);

// Where the log, the exports and the configuration files start when the
// folder they remember is gone: the user's documents folder, looked up at
// each use, unless pointed at another folder (a test's or a benchmark's).
// One object for the whole run, handed to each file module when it is built.
class DocumentsFolder {
public:
    std::string path() const { return pointedAt_.empty() ? GetMyDocumentsFolder() : pointedAt_; }
    void pointAt(std::string folder) { pointedAt_ = std::move(folder); }

private:
    std::string pointedAt_;
};

// Joins a folder and a file name with one separator; blanks around either
// are dropped, a trailing separator of the folder and a leading one of the
// name count once. An empty folder gives "/" + name.
std::string AppendToPath(std::string folder, std::string name);
// The folder part of a path ("" for a bare name).
std::string GetFolderOfPath(const std::string& path);
// The text before its first NUL character.
std::string TrimAtNul(const std::string& text);

// A file number in the pattern "0#": at least two digits.
std::string FileNumberText(int number);

}  // namespace kvb::data
