#include "data/FileSystem.h"

#include <cerrno>
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

WrittenFile::Opened WrittenFile::open(const std::string& path)
{
    close();
    error_ = 0;
    // Emptied only once the lock is ours: a file someone else holds keeps
    // every byte.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = errno ? errno : EIO;
        return Opened::Failed;
    }
    // A file system without flock leaves the file unlocked but writable.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return Opened::InUse;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
        error_ = errno ? errno : EIO;
        ::close(fd);
        return Opened::Failed;
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        error_ = errno ? errno : EIO;
        ::close(fd);
        return Opened::Failed;
    }
    return Opened::Yes;
}

bool WrittenFile::write(const std::string& bytes)
{
    if (!file_) {
        error_ = EBADF;
        return false;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        error_ = errno ? errno : EIO;
        return false;
    }
    return true;
}

bool WrittenFile::flush()
{
    if (!file_) {
        error_ = EBADF;
        return false;
    }
    errno = 0;
    if (std::fflush(file_) != 0) {
        error_ = errno ? errno : EIO;
        return false;
    }
    return true;
}

bool WrittenFile::close()
{
    if (!file_)
        return true;
    errno = 0;
    const bool closed = std::fclose(file_) == 0;  // the lock goes with the descriptor
    file_ = nullptr;
    if (!closed)
        error_ = errno ? errno : EIO;
    return closed;
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
