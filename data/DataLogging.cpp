#include "data/DataLogging.h"

#include "core/AppInfo.h"
#include "data/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kvb::data {

void TellFileFailure(Prompter& prompter, const std::string& operation, int number,
                     const std::string& text)
{
    prompter.tell(operation + " failed due to the following:\r\nError " + std::to_string(number) +
                      ":\r\n" + text,
                  kProgramTitle, Icon::Warning);
}

void TellFolderNotFile(Prompter& prompter, const std::string& operation,
                       const std::string& path)
{
    TellFileFailure(prompter, operation, EISDIR, "\"" + path + "\" is a folder, not a file.");
}

DataLogging::DataLogging(Services& services, const DocumentsFolder& documents)
    : documents_(documents), services_(services)
{
}

std::string DataLogging::open(Kind& kind, const char* operation)
{
    kind.openFailed = false;
    if (!FolderExists(kind.folder))
        kind.folder = documents_.path();
    int number = 1;
    std::string candidate;
    do {
        candidate = AppendToPath(kind.folder, kind.prefix + FileNumberText(number) + kind.extension);
        ++number;
    } while (FileExists(candidate));

    const std::string chosen = TrimAtNul(services_.files.saveFile(
        {DialogOwner::MainWindow, kind.title, candidate, {kind.filter}, 0}));
    if (chosen.empty())
        return {};
    kind.folder = GetFolderOfPath(chosen);
    if (FolderExists(chosen)) {
        kind.openFailed = true;
        TellFolderNotFile(services_.prompter, operation, chosen);
        return {};
    }
    if (IsFileInUse(chosen)) {
        kind.openFailed = true;
        tellInUse(chosen);
        return {};
    }
    if (IsRegularFile(chosen)) {
        // Only a plain file is replaced; anything else (a device, a pipe) is
        // opened as it is and never deleted.
        std::remove(chosen.c_str());
        services_.pump.yield();
    }
    kind.file.close();
    switch (kind.file.open(chosen)) {
    case WrittenFile::Opened::Yes:
        return chosen;
    case WrittenFile::Opened::InUse:
        tellInUse(chosen);
        break;
    case WrittenFile::Opened::Failed:
        TellFileFailure(services_.prompter, operation, kind.file.error(),
                        std::strerror(kind.file.error()));
        break;
    }
    kind.openFailed = true;
    return {};
}

void DataLogging::tellInUse(const std::string& path)
{
    services_.prompter.tell("The file \"" + path +
                                "\" is currently open or in use by another program.\r\n"
                                "You must first close this file before you can create the index.",
                            kProgramTitle, Icon::Warning);
}

bool DataLogging::write(Kind& kind, const std::string& line, const char* operation)
{
    if (!kind.file.isOpen()) {
        TellFileFailure(services_.prompter, operation, 52, "Bad file name or number");
        return false;
    }
    bool written = kind.file.write(line + "\r\n");
    if (written && &kind == &log_)
        written = kind.file.flush();  // the traffic log is kept complete line by line
    if (!written) {
        TellFileFailure(services_.prompter, operation, kind.file.error(),
                        std::strerror(kind.file.error()));
        // The file is given up at once, so that its closing does not report
        // the same failure again.
        (void)kind.file.close();
        return false;
    }
    return true;
}

bool DataLogging::close(Kind& kind, const char* operation)
{
    if (kind.file.close())
        return true;
    TellFileFailure(services_.prompter, operation, kind.file.error(),
                    std::strerror(kind.file.error()));
    return false;
}

std::string DataLogging::now()
{
    std::time_t t = std::chrono::system_clock::to_time_t(services_.clock.wallNow());
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void DataLogging::setLoggingActive(bool active)
{
    if (loggingActive_ == active)
        return;
    loggingActive_ = active;
    if (loggingChanged)
        loggingChanged(active);
}

std::string DataLogging::LogStart()
{
    std::string path = open(log_, "LogStart");
    if (path.empty())
        return {};
    setLoggingActive(true);
    if (!write(log_, "[Logging Started: " + now() + "]", "LogStart")) {
        setLoggingActive(false);
        return {};
    }
    return path;
}

bool DataLogging::LogEvent(const std::string& line)
{
    if (write(log_, line, "LogEvent"))
        return true;
    // A log that cannot be written is closed once, rather than raising a
    // box for every line of traffic that follows.
    setLoggingActive(false);
    return false;
}

bool DataLogging::LogStop()
{
    if (!loggingActive_)
        return false;
    // A stop line that could not be written has been told, and the log
    // given up with it: that is a failure, not a stop.
    const bool stopped = write(log_, "[Logging Stopped: " + now() + "]", "LogStop");
    setLoggingActive(false);
    const bool closed = close(log_, "LogStop");
    return stopped && closed;
}

std::string DataLogging::OpenFileForExportCsv() { return open(csv_, "OpenFileForExportCsv"); }
bool DataLogging::AddLineToExportCsv(const std::string& line)
{
    return write(csv_, line, "AddLineToExportCsv");
}
bool DataLogging::CloseFileForExportCsv() { return close(csv_, "CloseFileForExportCsv"); }

std::string DataLogging::OpenFileForExportTxt() { return open(txt_, "OpenFileForExportTxt"); }
bool DataLogging::AddLineToExportTxt(const std::string& line)
{
    return write(txt_, line, "AddLineToExportTxt");
}
bool DataLogging::CloseFileForExportTxt() { return close(txt_, "CloseFileForExportTxt"); }

}  // namespace kvb::data
