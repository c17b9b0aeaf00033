#pragma once
// The register-definition file: a text file of keyword lines (BEGIN53960,
// BEGIN53961, TINT25, TABNAME, REG, BITS, TITLEBAR, ...) that gives both
// device types their register names, kinds, units, scales, bit names and
// register tabs. A load works on a copy of the current tables and replaces
// them only when the whole file is valid; a bad file leaves the old tables
// in place and names the failing line.

#include "core/Services.h"
#include "link/RegisterModel.h"

#include <functional>

#include <string>
#include <string_view>
#include <vector>

namespace kvb::link {

inline constexpr const char* kTabdefsFileName = "tabdefs_KVB71853_RevB.csv";

struct RegisterFileResult {
    enum class Status { Loaded, NotFound, Invalid };
    Status status = Status::Loaded;
    int line = 0;             // 1-based line of the failure (Invalid)
    // 5 nothing usable (no tab or no register of type 0), 6 overflow (also a
    // scale that is not finite), 9 subscript out of range, 13 a number that
    // is none (a register index without one; digits followed directly by a
    // letter in any numeric field, such as "0x4F", "4F" or "41h"), 35602 a
    // type-0 tab name repeated, 75 unreadable.
    int errorNumber = 0;
    std::string description;  // the error text, with the failing line
    bool titleBarSeen = false;  // a TITLEBAR line with text asks for the program's own caption

    bool ok() const { return status == Status::Loaded; }
};

// Parses the text of a register-definition file and, when it is valid,
// replaces `defs` with the new tables. A file is valid only when it gives
// device type 0 at least one tab and one register; type 1 may be absent. Names, labels, units, scales, bit
// names and tab names that the file does not set keep their old values;
// kinds, tab rows and tab counts start from scratch.
RegisterFileResult ParseRegisterDefinitions(std::string_view text, RegisterDefinitions& defs);

// Reads the file at `path` and parses it as above. NotFound only when
// nothing of that name exists; a folder or a file that cannot be read is
// Invalid (75) and leaves the tables alone.
RegisterFileResult LoadRegisterDefinitionFile(const std::string& path, RegisterDefinitions& defs);

// The start-up load of the main window. A missing file is told to the user
// ("Configuration file <path>   not found."), logged through `log` and ends
// the program; a file with an error is told with its line and leaves the
// tables and the register image as they were; a valid file replaces the
// tables and clears the register image.
RegisterFileResult LoadTabdefs(Services& services, const std::string& path,
                               RegisterDefinitions& defs, RegisterImage& image,
                               const std::function<void(const std::string&)>& log);

// A number read the way a leading-number parse reads it: blanks skipped
// anywhere, digits up to the first character that cannot continue the
// number, "&H" hexadecimal and "&O" octal; no number reads 0. Throws
// std::overflow_error for a hexadecimal number wider than 32 bits.
double LeadingNumber(std::string_view text);

// The main window's caption that a TITLEBAR line asks for.
std::string TitleBarCaption();

// The fixed pages that a tab's name selects (compared in upper case).
enum class FixedPage { None, Main, Commands, Monitor, Chart };
FixedPage PageOfTab(std::string_view tabName);

// The captions of the tab strip for one device type: tabs 0 to TabCount.
std::vector<std::string> TabCaptions(const RegisterDefinitions& defs, int type);

// What a load decides for the window's device-type controls.
struct TypeControlsPlan {
    std::string typeZeroOption = "Status";  // caption of the type-0 option button
    std::string typeZeroLabel = "Device";   // type-0 part-name labels and device menu
    bool hideTypeOne = false;               // no type-1 device: every type-1 control hidden
    std::string typeOneCaption;             // type-1 option, labels and menu (when shown)
    bool showTypeOneHexLog = false;         // type-1 hex log, its clear button and caption
};
TypeControlsPlan PlanTypeControls(std::string_view partName2);

}  // namespace kvb::link
