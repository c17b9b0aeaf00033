#pragma once
// The text files the program writes for the user: the traffic log, the CSV
// export and the text export. Each kind proposes a numbered file name that
// is free in the folder it remembers (the documents folder at first), lets
// the user confirm it in a save dialog, refuses a file that is held (by
// another program, or open here as another kind's file), replaces an
// existing file and keeps the file open, and held, for writing line by line
// (each line ended by CR LF) until it is closed.

#include "core/Services.h"
#include "data/FileSystem.h"

#include <functional>
#include <string>

namespace kvb::data {

// The file modules' failure box: "<operation> failed due to the following:",
// then "Error <number>:" and the text on lines of their own.
void TellFileFailure(Prompter& prompter, const std::string& operation, int number,
                     const std::string& text);
// The failure box for a folder chosen where a file was wanted.
void TellFolderNotFile(Prompter& prompter, const std::string& operation,
                       const std::string& path);

class DataLogging {
public:
    DataLogging(Services& services, const DocumentsFolder& documents);
    DataLogging(const DataLogging&) = delete;
    DataLogging& operator=(const DataLogging&) = delete;

    // Traffic log.
    std::string LogStart();
    bool LogEvent(const std::string& line);
    bool LogStop();
    bool LoggingActive() const { return loggingActive_; }
    // Told every time the log opens or closes, also when a failed write
    // closes it, so a view can follow the state. A window hook: the main
    // window, which lives shorter than the log, sets it and clears it when it
    // goes.
    std::function<void(bool active)> loggingChanged;

    // CSV export. An empty path means cancelled, unless the open failed
    // (then the failure has been told).
    std::string OpenFileForExportCsv();
    bool ExportCsvOpenFailed() const { return csv_.openFailed; }
    bool AddLineToExportCsv(const std::string& line);
    bool CloseFileForExportCsv();

    // Text export.
    std::string OpenFileForExportTxt();
    bool ExportTxtOpenFailed() const { return txt_.openFailed; }
    bool AddLineToExportTxt(const std::string& line);
    bool CloseFileForExportTxt();

    // The folders the exports remember (empty until first used).
    const std::string& CsvFolder() const { return csv_.folder; }
    const std::string& TxtFolder() const { return txt_.folder; }

private:
    struct Kind {
        const char* prefix;
        const char* extension;
        const char* title;
        const char* filter;
        std::string folder;
        WrittenFile file;
        bool openFailed = false;  // the last open failed (rather than being cancelled)
    };

    std::string open(Kind& kind, const char* operation);
    bool write(Kind& kind, const std::string& line, const char* operation);
    bool close(Kind& kind, const char* operation);
    std::string now();
    void tellInUse(const std::string& path);
    void setLoggingActive(bool active);

    const DocumentsFolder& documents_;  // where a kind starts when its folder is gone
    Services& services_;
    Kind log_{"EvalSw539_Log_", ".txt", "Create Log File", "Text Files (*.txt)", {}, {}, false};
    Kind csv_{"EvalSw539_Export_", ".csv", "Export CSV File", "CSV Files (*.csv)", {}, {}, false};
    Kind txt_{"EvalSw539_Config_", ".txt", "Export Text File", "Text Files (*.txt)", {}, {}, false};
    bool loggingActive_ = false;
};

}  // namespace kvb::data
