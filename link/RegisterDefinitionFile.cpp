#include "link/RegisterDefinitionFile.h"

#include "core/AppInfo.h"
#include "core/Hex.h"
#include "core/LeadingNumber.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace kvb::link {

namespace {

// A failure of one line, carried to the loop that knows the line number.
struct LineError {
    int number;
    std::string text;
};

[[noreturn]] void overflow() { throw LineError{6, "Overflow"}; }
[[noreturn]] void outOfRange() { throw LineError{9, "Subscript out of range"}; }
[[noreturn]] void notANumber(const char* what, std::string_view field)
{
    throw LineError{13, std::string("Type mismatch: ") + what + " \"" + std::string(field) +
                            "\" is not a number"};
}

std::string upper(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Splits text at every separator; the pieces between them, empty ones too.
std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

// Rounds half to even into the range of a signed integer of the given width.
template <typename Int>
Int roundInto(double value)
{
    double r = std::nearbyint(value);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max())))
        overflow();
    return static_cast<Int>(r);
}

// A leading number as read from a field.
struct NumberRead {
    double value = 0.0;
    bool found = false;        // digits were read; without them the value is 0
    bool letterAfter = false;  // a letter follows the number directly ("0x4F", "4F", "41h")
};

NumberRead readNumber(std::string_view text);

// A numeric field. A number followed directly by a letter is refused: what
// it reads ("0x4F" reads 0, "41h" reads 41) is not the number written.
NumberRead number(std::string_view field, const char* what)
{
    NumberRead read;
    try {
        read = readNumber(field);
    } catch (const std::overflow_error&) {
        overflow();
    }
    if (read.letterAfter)
        notANumber(what, field);
    return read;
}

// The state of one walk through the file.
struct Walk {
    RegisterDefinitions& defs;
    int type = 0;
    int tab = -1;
    int row = 0;
    int lastRegister = 0;
    bool titleBarSeen = false;
    // What each type got: tabs, and registers defined inside 0..511.
    std::array<bool, kDeviceTypes> tabSeen{};
    std::array<bool, kDeviceTypes> regSeen{};
    // Line of the TABNAME that last named each tab, for duplicate reports.
    std::array<std::array<int, kMaxTabs>, kDeviceTypes> tabLines{};

    void apply(const std::vector<std::string_view>& f, int lineNumber)
    {
        const std::string key = upper(f[0]);
        const size_t n = f.size();
        if (key == "BEGIN53960" || key == "BEGIN53961") {
            type = key == "BEGIN53960" ? 0 : 1;
            tab = -1;
        } else if (key == "TINT25") {
            if (n > 1)
                defs.tint25 = roundInto<int16_t>(number(f[1], "TINT25").value);
        } else if (key == "TABNAME") {
            if (tab + 1 >= kMaxTabs)
                outOfRange();
            ++tab;
            defs.tabCount[type] = static_cast<int16_t>(tab);
            row = 0;
            tabSeen[type] = true;
            if (n > 1)
                defs.tabNames[type][tab] = std::string(f[1]);
            tabLines[type][tab] = lineNumber;
        } else if (key == "REG") {
            if (n > 1)
                reg(f);
        } else if (key == "BITS") {
            if (n > kBits && lastRegister >= 0 && lastRegister < kRegisters)
                for (int i = 0; i < kBits; ++i)
                    defs.regs[type][lastRegister].bitNames[kBits - 1 - i] = std::string(f[1 + i]);
        } else if (key == "TITLEBAR") {
            if (n > 1 && !f[1].empty())
                titleBarSeen = true;
        }
        // TITLE, PART1, PART2 and unknown keywords change nothing.
    }

    void reg(const std::vector<std::string_view>& f)
    {
        const size_t n = f.size();
        // An index that is no number (empty, "&H") would silently define
        // register 0. What follows a complete number is not looked at.
        const NumberRead read = number(f[1], "register index");
        if (!read.found)
            notANumber("register index", f[1]);
        const int index = roundInto<int16_t>(read.value);
        lastRegister = index;
        if (index < 0 || index >= kRegisters)
            return;
        RegisterDefinition& d = defs.regs[type][index];
        d.name = n > 2 ? std::string(f[2]) : std::string();
        d.kind = n > 3 ? roundInto<int32_t>(number(f[3], "register kind").value) : KindAbsent;
        d.valueLabel = n > 4 ? std::string(f[4]) : std::string();
        d.units = n > 5 ? std::string(f[5]) : std::string();
        d.scale = n > 6 ? number(f[6], "scale").value : 1.0;
        if (!std::isfinite(d.scale))
            overflow();  // "1e999": a scale no value can be shown with
        regSeen[type] = true;
        if (tab < 0)
            outOfRange();  // a register before the first tab of its section
        defs.tabRegisters[type][tab][row] = static_cast<int16_t>(index);
        if (row < kTabRows - 1)
            ++row;
        for (int b = 0; b < kBits; ++b)
            d.bitNames[b] = "Bit" + std::to_string(b);
    }

    // The type-0 tab names are the keys of the tab strip: they must be
    // unique (compared without regard to case, as the strip compares keys).
    // Type-1 tabs are never keys, so their names may repeat.
    void checkUniqueTabNames() const
    {
        for (int i = 1; i <= defs.tabCount[0]; ++i)
            for (int j = 0; j < i; ++j)
                if (upper(defs.tabNames[0][i]) == upper(defs.tabNames[0][j]))
                    throw std::pair<int, LineError>(
                        tabLines[0][i], LineError{35602, "Key is not unique in collection"});
    }
};

RegisterFileResult invalid(int line, const LineError& e)
{
    RegisterFileResult r;
    r.status = RegisterFileResult::Status::Invalid;
    r.line = line;
    r.errorNumber = e.number;
    r.description = e.text + " (line " + std::to_string(line) + ")";
    return r;
}

RegisterFileResult invalid(int number, const std::string& description)
{
    RegisterFileResult r;
    r.status = RegisterFileResult::Status::Invalid;
    r.errorNumber = number;
    r.description = description;
    return r;
}

// A text without its blanks, and where each of its characters stood.
struct Compacted {
    std::string_view text;
    std::string s;
    std::vector<size_t> at;
};

Compacted withoutBlanks(std::string_view text)
{
    Compacted c{text, {}, {}};
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] != ' ' && text[k] != '\t' && text[k] != '\n') {
            c.s += text[k];
            c.at.push_back(k);
        }
    }
    return c;
}

// The first `end` characters of the compacted text make the number: marks
// it found and notes whether the next character in the text is a letter.
void finishRead(NumberRead& read, const Compacted& c, size_t end)
{
    read.found = true;
    const size_t next = c.at[end - 1] + 1;
    read.letterAfter =
        next < c.text.size() && std::isalpha(static_cast<unsigned char>(c.text[next]));
}

bool isDecimalDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "&H" (hexadecimal) or "&O" (octal) and its digits.
NumberRead readBasedNumber(const Compacted& c)
{
    NumberRead read;
    const std::string& s = c.s;
    const unsigned base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    const std::string_view digits = std::string_view(s).substr(2);
    const DigitsRead digitsRead = ReadDigits(digits, {.base = base, .leadingOnly = true});
    if (digitsRead.tooLarge)
        throw std::overflow_error("hexadecimal number wider than 32 bits");
    if (digitsRead.digits == 0)
        return read;
    finishRead(read, c, 2 + digitsRead.digits);
    const uint64_t value = digitsRead.value.value_or(0);
    // Up to 16 bits the number is a 16-bit integer, else a 32-bit one.
    read.value = value <= 0xFFFF ? static_cast<int16_t>(value)
                                 : static_cast<int32_t>(static_cast<uint32_t>(value));
    return read;
}

// Copies the digits at `i` onto `num`; returns the index past them and
// whether there were any.
size_t copyDigits(const std::string& s, size_t i, std::string& num, bool& digits)
{
    while (i < s.size() && isDecimalDigit(s[i])) {
        num += s[i++];
        digits = true;
    }
    return i;
}

// An exponent (E or D, a sign, digits) at `i`, added to `num` as "e...";
// returns the index past it, or `i` when no digit follows the letter.
size_t copyExponent(const std::string& s, size_t i, std::string& num)
{
    if (i >= s.size() || (s[i] != 'E' && s[i] != 'e' && s[i] != 'D' && s[i] != 'd'))
        return i;
    std::string exp = "e";
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        exp += s[j++];
    bool expDigits = false;
    j = copyDigits(s, j, exp, expDigits);
    if (!expDigits)
        return i;
    num += exp;
    return j;
}

// Decimal: sign, digits, point, digits, exponent (E or D).
NumberRead readDecimalNumber(const Compacted& c)
{
    NumberRead read;
    const std::string& s = c.s;
    size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        num += s[i++];
    bool digits = false;
    i = copyDigits(s, i, num, digits);
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        i = copyDigits(s, i, num, digits);
    }
    if (!digits)
        return read;
    finishRead(read, c, copyExponent(s, i, num));
    // Read with a decimal point whatever the locale the program runs in.
    read.value = ReadLeadingNumber(num).value_or(0.0);
    return read;
}

// Reads a leading number: blanks are skipped anywhere, digits are taken up
// to the first character that cannot continue the number.
NumberRead readNumber(std::string_view text)
{
    const Compacted c = withoutBlanks(text);
    const std::string& s = c.s;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o'))
        return readBasedNumber(c);
    return readDecimalNumber(c);
}

}  // namespace

double LeadingNumber(std::string_view text)
{
    return readNumber(text).value;
}

RegisterFileResult ParseRegisterDefinitions(std::string_view text, RegisterDefinitions& defs)
{
    // The new table set starts as a copy of the current one, reset where a
    // load starts from scratch.
    auto next = std::make_unique<RegisterDefinitions>(defs);
    for (auto& type : next->tabRegisters)
        for (auto& tab : type)
            tab.fill(-1);
    next->tabCount = {0, 0};
    for (auto& type : next->regs)
        for (auto& r : type)
            r.kind = KindAbsent;

    Walk walk{*next};
    const auto lines = split(text, "\r\n");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        const int lineNumber = static_cast<int>(i) + 1;
        try {
            walk.apply(split(lines[i], ","), lineNumber);
        } catch (const LineError& e) {
            return invalid(lineNumber, e);
        }
    }
    try {
        walk.checkUniqueTabNames();
    } catch (const std::pair<int, LineError>& e) {
        return invalid(e.first, e.second);
    }
    // A file without a tab or a register of device type 0 gives nothing to
    // show (an empty or foreign file, or one whose lines end in LF alone and
    // so read as one line). A file without a type-1 section is sound.
    const char* missing = !walk.tabSeen[0] ? "TABNAME" : !walk.regSeen[0] ? "REG" : nullptr;
    if (missing) {
        const auto lineCount = std::count_if(lines.begin(), lines.end(),
                                             [](std::string_view l) { return !l.empty(); });
        return invalid(5, std::string("No ") + missing + " line for device type 0 (" +
                              std::to_string(lineCount) +
                              (lineCount == 1 ? " line" : " lines") +
                              " read; lines must end in CR LF)");
    }

    defs = *next;
    RegisterFileResult result;
    result.titleBarSeen = walk.titleBarSeen;
    return result;
}

RegisterFileResult LoadRegisterDefinitionFile(const std::string& path, RegisterDefinitions& defs)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        RegisterFileResult r;
        r.status = RegisterFileResult::Status::NotFound;
        r.errorNumber = 53;
        r.description = "File not found";
        return r;
    }
    // Something of that name that cannot be read is a failure of the load,
    // which keeps the tables, not a missing file.
    auto unreadable = [](const std::string& why) {
        return invalid(75, "Path/File access error (" + why + ")");
    };
    if (fs::is_directory(status))
        return unreadable(path + " is a folder");
    std::string text;
    try {
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return unreadable(std::strerror(errno ? errno : EACCES));
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            return unreadable(std::strerror(errno ? errno : EIO));
    } catch (const std::exception& e) {
        return unreadable(errno ? std::strerror(errno) : e.what());
    }
    return ParseRegisterDefinitions(text, defs);
}

RegisterFileResult LoadTabdefs(Services& services, const std::string& path,
                               RegisterDefinitions& defs, RegisterImage& image,
                               const std::function<void(const std::string&)>& log)
{
    RegisterFileResult r = LoadRegisterDefinitionFile(path, defs);
    const std::string title = kProgramTitle;
    switch (r.status) {
    case RegisterFileResult::Status::NotFound:
        services.prompter.tell("Configuration file " + path + "   not found.", title);
        if (log)
            log("ParseTabsefsCreateTabs: Configuration file " + path + "  not found.");
        services.programEnd.end();
        break;
    case RegisterFileResult::Status::Invalid:
        services.prompter.tell("Error in ParseTabsefsCreateTabs Err.Number = " +
                                   std::to_string(r.errorNumber) +
                                   ", Err.Description = " + r.description,
                               title);
        break;
    case RegisterFileResult::Status::Loaded:
        image.clear();
        break;
    }
    return r;
}

std::string TitleBarCaption()
{
    return "Morvane KVB71853 Evaluation Software  Version " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

FixedPage PageOfTab(std::string_view tabName)
{
    const std::string name = upper(tabName);
    if (name == "MAIN")
        return FixedPage::Main;
    if (name == "COMMANDS")
        return FixedPage::Commands;
    if (name == "MONITOR")
        return FixedPage::Monitor;
    if (name == "CHART")
        return FixedPage::Chart;
    return FixedPage::None;
}

std::vector<std::string> TabCaptions(const RegisterDefinitions& defs, int type)
{
    std::vector<std::string> captions;
    for (int i = 0; i <= defs.tabCount[type]; ++i)
        captions.push_back(defs.tabNames[type][i]);
    return captions;
}

TypeControlsPlan PlanTypeControls(std::string_view partName2)
{
    TypeControlsPlan plan;
    if (upper(partName2) == "NONE") {
        plan.hideTypeOne = true;
        return plan;
    }
    plan.typeOneCaption = std::string(partName2);
    plan.showTypeOneHexLog = !partName2.empty();
    return plan;
}

}  // namespace kvb::link
