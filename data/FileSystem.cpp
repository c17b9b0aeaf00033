#include "data/FileSystem.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvb::data {

namespace {

std::string trimBlanks(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

}  // namespace

bool FileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFileInUse(const std::string& path)
{
    if (!FileExists(path))
        return false;
    if (FolderExists(path))
        return true;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

std::string DocumentsFolderOf(const std::string& home)
{
    if (home.empty() || !FolderExists(home))
        return {};
    std::string docs = AppendToPath(home, "Documents");
    return FolderExists(docs) ? docs : home;
}

std::string GetMyDocumentsFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return DocumentsFolderOf(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return DocumentsFolderOf(pw->pw_dir);
    return {};
}

std::string AppendToPath(std::string folder, std::string name)
{
    folder = trimBlanks(folder);
    name = trimBlanks(name);
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return name.rfind('/', 0) == 0 ? folder + name : folder + "/" + name;
}

std::string GetFolderOfPath(const std::string& path)
{
    std::string p = TrimAtNul(path);
    size_t slash = p.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return p.substr(0, slash);
}

std::string TrimAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

std::string FileNumberText(int number)
{
    return number >= 0 && number < 10 ? "0" + std::to_string(number) : std::to_string(number);
}

}  // namespace kvb::data
