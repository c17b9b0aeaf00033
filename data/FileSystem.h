#pragma once
// Small file and folder routines of the log and export files.

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
// be opened, another program holds a lock on it, or it is a folder.
bool IsFileInUse(const std::string& path);

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
