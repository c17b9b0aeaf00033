#include "data/DeviceConfigFiles.h"

#include "core/AppInfo.h"
#include "core/Hex.h"
#include "core/UnexpectedError.h"
#include "data/FileSystem.h"
#include "link/BalanceStatus.h"
#include "link/BoardCheck.h"
#include "link/LinkText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace kvb::data {

namespace {

using link::HexPrefixed;

constexpr int kMaxDevice = 15;
constexpr unsigned kMaxValue = 0x3FFF;
constexpr unsigned kMaxAddress = 0x3F;
constexpr unsigned kMaxCategory = 0x0F;

std::string upper(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string registerLine(const std::string& part, int device, const char* cat, int adr,
                         int value)
{
    return "wrt," + part + ",dev" + HexPrefixed(device, 2) + ",cat" + cat + ",adr" +
           HexPrefixed(adr, 2) + ",dat" + HexPrefixed(value & static_cast<int>(kMaxValue), 4);
}

// Every line in place of something not saved ends so.
constexpr std::string_view kNotSaved = " - not saved";

// The register line of a register whose value a chip gave, else a note
// line (no commas: the loader skips it like a title).
std::string savedLine(const link::ChipLink& link, int type, const std::string& part, int device,
                      const char* cat, int adr, int reg, const char* note)
{
    if (!link.image.known(type, device, reg))
        return std::string(note) + " register adr" + HexPrefixed(adr, 2) +
               " not read or written" + std::string(kNotSaved);
    return registerLine(part, device, cat, adr, link.image.at(type, device, reg));
}

int lastDevice(const link::ChipLink& link, int count)
{
    if (count <= 0)
        return 0;
    return link.DaisyChainMode ? std::min(count, kMaxDevice) : 1;
}

void typeZeroBlock(std::vector<std::string>& out, const link::ChipLink& link, int d)
{
    const BalanceStatusTable& banks = link.image.banks;
    const std::string& part = link.PartName1;
    auto reg = [&](int index) { return static_cast<int>(link.image.at(0, d, index)); };
    auto line = [&](int adr, int index) {
        return savedLine(link, 0, part, d, "0x0A", adr, index, "53960");
    };
    auto single = [&](const char* title, int adr) {
        out.push_back(std::string("53960 ") + title);
        out.push_back(line(adr, 128 + adr));
    };
    out.push_back("");
    out.push_back("**** Parameters for 53960 at device address " + std::to_string(d) + " ****");
    single("Fault Setup Register", 0x03);
    single("Cell Setup Register", 0x05);
    single("OV Limit Register", 0x10);
    single("UV Limit Register", 0x11);
    single("ET Limit Register", 0x12);
    out.push_back("53960 Balance Status Registers");
    const auto setup = static_cast<int16_t>(reg(balance_reg::Setup));
    // The line selecting a bank keeps the setup register's mode, wait and
    // enable bits: a guess in their place would change the chip's balancing
    // when the file is loaded.
    const bool setupKnown = link.image.known(0, d, balance_reg::Setup);
    for (int bank = 0; bank < kBalanceBanks; ++bank) {
        if (!setupKnown || !banks.known(d, bank)) {
            out.push_back("53960 Balance Status bank " + std::to_string(bank) + " not read" +
                          std::string(kNotSaved));
            continue;
        }
        out.push_back(registerLine(part, d, "0x0A", balance_reg::SetupAddress,
                                   BankPointerValue(setup, bank)));
        out.push_back(
            registerLine(part, d, "0x0A", balance_reg::StatusAddress, banks.value(d, bank)));
    }
    single("Balance Setup Register", 0x13);
    single("Watchdog and Balance Time Register", 0x15);
    single("User Register 01", 0x16);
    single("User Register 23", 0x17);
    out.push_back("53960 Balance Value Registers");
    for (int i = 0; i < 24; ++i)
        out.push_back(line(0x20 + i, balance_reg::FirstValue + i));
}

void typeOneBlock(std::vector<std::string>& out, const link::ChipLink& link, int d)
{
    auto single = [&](const char* title, int adr) {
        out.push_back(std::string("53961 ") + title);
        out.push_back(savedLine(link, 1, link.PartName2, d, "0x0A", adr, 128 + adr, "53961"));
    };
    out.push_back("");
    out.push_back("**** Parameters for 53961 at device address " + std::to_string(d) + " ****");
    single("Scan Setup Register", 0x03);
    single("Cell Setup Register", 0x05);
    single("User Register 01", 0x16);
    single("User Register 23", 0x17);
}

std::vector<std::string_view> split(std::string_view text, char at)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(at, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A field "<PREFIX>0X<digits>" of exactly `digits` digits; nothing when its
// length or prefix is not that.
std::optional<std::string_view> digitsOf(std::string_view field, std::string_view prefix,
                                         size_t digits)
{
    if (field.size() != prefix.size() + 2 + digits || upper(field.substr(0, prefix.size() + 2)) !=
                                                          std::string(prefix) + "0X")
        return std::nullopt;
    return field.substr(prefix.size() + 2);
}

std::optional<unsigned> hexDigits(std::string_view digits)
{
    const std::optional<unsigned long long> value = ReadDigits(digits).value;
    if (!value)
        return std::nullopt;
    return static_cast<unsigned>(*value);
}

// A line of the form of a register write to a known part: its fields and
// their values (a value is nothing where its digits are not hexadecimal).
struct WriteLine {
    int type = -1;
    bool all = false;  // every device of the part
    std::vector<std::string_view> fields;
    std::optional<unsigned> device, category, address, value;
};

// The write a line stands for; nothing for a line that is no write (a
// title, a note, another part's or a malformed one), which is skipped.
std::optional<WriteLine> writeLine(std::string_view line, const ConfigParts& parts)
{
    WriteLine w;
    w.fields = split(line, ',');
    const std::vector<std::string_view>& f = w.fields;
    if (f.size() < 6)
        return std::nullopt;
    const std::string op = upper(f[0]);
    if (op != "WRT" && op != "CMD")
        return std::nullopt;
    const std::string part = upper(f[1]);
    if (part == upper(parts.partName1))
        w.type = 0;
    else if (part == upper(parts.partName2))
        w.type = 1;
    w.all = upper(f[2]) == "ALL";
    const auto dev = digitsOf(f[2], "DEV", 2);
    const auto cat = digitsOf(f[3], "CAT", 2);
    const auto adr = digitsOf(f[4], "ADR", 2);
    const auto dat = digitsOf(f[5], "DAT", op == "WRT" ? 4 : 2);
    if (w.type < 0 || !(w.all || dev) || !cat || !adr || !dat)
        return std::nullopt;
    w.device = w.all ? std::optional<unsigned>(0) : hexDigits(*dev);
    w.category = hexDigits(*cat);
    w.address = hexDigits(*adr);
    w.value = hexDigits(*dat);
    return w;
}

// Why a write's values cannot be sent; nothing when they all can.
std::optional<std::string> checkValues(const WriteLine& w)
{
    const std::vector<std::string_view>& f = w.fields;
    for (auto [field, parsed] : {std::pair{f[2], w.device}, std::pair{f[3], w.category},
                                 std::pair{f[4], w.address}, std::pair{f[5], w.value}}) {
        if (!parsed)
            return "\"" + std::string(field) + "\" holds a digit that is not hexadecimal";
    }
    if (*w.device > kMaxDevice)
        return "device " + std::to_string(*w.device) + " is above 15";
    // A category is four bits on the wire: the page and the write flag.
    if (*w.category > kMaxCategory)
        return "category " + HexPrefixed(*w.category, 2) + " is above 0x0F";
    if (*w.address > kMaxAddress)
        return "address " + HexPrefixed(*w.address, 2) + " is above 0x3F";
    if (*w.value > kMaxValue)
        return "value " + HexPrefixed(*w.value, 4) + " is above 14 bits (0x3FFF)";
    return std::nullopt;
}

}  // namespace

std::vector<std::string> DeviceConfigLines(const link::ChipLink& link)
{
    std::vector<std::string> out;
    for (int d = 1; d <= lastDevice(link, link.DeviceCount1); ++d)
        typeZeroBlock(out, link, d);
    for (int d = 1; d <= lastDevice(link, link.DeviceCount2); ++d)
        typeOneBlock(out, link, d);
    return out;
}

std::vector<std::string> EeTestLines(const link::ChipLink& link)
{
    const int d = 1;
    std::vector<std::string> out{"",
                                 "**** Parameters for 53960 at device address EEPROM" +
                                     std::to_string(d) + " ****",
                                 "53960 EEPROM Value Registers"};
    for (int a = 0; a < 64; ++a)
        out.push_back(savedLine(link, 0, link.PartName1, d, "0x0C", a, 256 + a, "53960 EEPROM"));
    out.push_back("53960 Test Value Registers");
    for (int a = 0; a < 24; ++a)
        out.push_back(savedLine(link, 0, link.PartName1, d, "0x0D", a, 320 + a, "53960 Test"));
    return out;
}

ConfigParse ParseConfigText(std::string_view text, const ConfigParts& parts)
{
    ConfigParse result;
    const std::vector<std::string_view> lines = split(text, '\n');
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string_view line = lines[n];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::optional<WriteLine> w = writeLine(line, parts);
        if (!w)
            continue;
        const int lineNumber = static_cast<int>(n) + 1;
        if (const std::optional<std::string> why = checkValues(*w)) {
            result.errorLine = lineNumber;
            result.error = *why;
            result.errorText = std::string(line);
            result.writes.clear();
            return result;
        }
        int first = static_cast<int>(*w->device), last = first;
        if (w->all) {
            first = 1;
            last = std::min(w->type == 0 ? parts.deviceCount1 : parts.deviceCount2, kMaxDevice);
        }
        for (int d = first; d <= last; ++d)
            result.writes.push_back({lineNumber, w->type, d, static_cast<uint8_t>(*w->category),
                                     static_cast<uint8_t>(*w->address),
                                     static_cast<int16_t>(*w->value)});
    }
    return result;
}

DeviceConfigFiles::DeviceConfigFiles(link::ChipLink& link, DataLogging& logging, Services& services,
                                     const DocumentsFolder& documents)
    : link_(link), logging_(logging), services_(services), documents_(documents)
{
}

int DeviceConfigFiles::ApplyConfig(const std::vector<ConfigWrite>& writes)
{
    int taken = 0;
    for (const ConfigWrite& w : writes) {
        // A board lost part-way has been reported once; the remaining lines
        // would each only repeat that it is not connected.
        if (!link_.EvbConnected())
            break;
        const int reg = link::RegisterIndex(w.cat, w.adr);
        if (link_.definitions.kind(w.type, reg) != link::KindReadWrite)
            continue;
        link::ChipMessage m(static_cast<uint8_t>(w.device), static_cast<uint8_t>(w.cat & 0x0F),
                            w.adr, w.dat, static_cast<int16_t>(w.type));
        int16_t& image = link_.image.at(w.type, w.device, reg);
        const int16_t before = image;
        image = w.dat;
        // The link leaves the chip's echo (daisy chain) or the data sent
        // (single device) in the image, and a balance status value in the
        // bank table.
        if (!link_.WriteSingleReg(m)) {
            image = before;
            continue;
        }
        ++taken;
        // The status register's image follows the bank the file points the
        // chip at, where the program knows that bank.
        if (w.type == 0 && reg == balance_reg::Setup) {
            const BalanceStatusTable& banks = link_.image.banks;
            const int bank = banks.pointedBank(w.device);
            if (bank != BalanceStatusTable::kNoBank && banks.known(w.device, bank))
                link_.image.at(0, w.device, balance_reg::Status) = banks.value(w.device, bank);
        }
    }
    return taken;
}

std::string DeviceConfigFiles::load(const char* operation)
{
    try {
        // The lines go to the chips: without a board say so once, before a
        // file is chosen, rather than once for every line.
        if (!EvbConnectedOrTell(link_, services_.prompter, operation))
            return {};
        if (!FolderExists(ConfigFolder))
            ConfigFolder = documents_.path();
        const std::string path =
            TrimAtNul(services_.files.openFile({DialogOwner::MainWindow,
                                                "Load Device Configuration File",
                                                ConfigFolder,
                                                {"Text Files (*.txt)"},
                                                0}));
        if (path.empty())
            return {};
        ConfigFolder = GetFolderOfPath(path);
        auto failed = [&](int number, const std::string& text) {
            TellFileFailure(services_.prompter, operation, number, text);
            return std::string();
        };
        if (FolderExists(path)) {
            TellFolderNotFile(services_.prompter, operation, path);
            return {};
        }
        if (!IsRegularFile(path))
            return failed(53, "File not found: " + path);
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return failed(errno ? errno : EIO, std::strerror(errno ? errno : EIO));
        const std::string text{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
        const ConfigParse parse = ParseConfigText(
            text, {link_.PartName1, link_.PartName2, link_.DeviceCount1, link_.DeviceCount2});
        auto nothingLoaded = [&](const std::string& why) {
            services_.prompter.tell("ParseConfigFile: " + why + "\r\nNothing was loaded from " +
                                        path + ".",
                                    kProgramTitle, Icon::Warning);
            return std::string();
        };
        if (!parse.ok())
            return nothingLoaded("line " + std::to_string(parse.errorLine) + ": " + parse.error +
                                 ".\r\n" + parse.errorText);
        // A file that gives the chips nothing (empty, not text, lines ended
        // otherwise, saved for other parts) must not pass for loaded.
        if (parse.writes.empty())
            return nothingLoaded("no line is a register write for " + fittedParts() + ".");
        if (ApplyConfig(parse.writes) == 0) {
            // A board lost on the way has been reported already.
            if (!link_.EvbConnected())
                return {};
            return nothingLoaded("no device took any of the file's " +
                                 std::to_string(parse.writes.size()) +
                                 " register writes (registers that are not read/write are "
                                 "skipped).");
        }
        // Where the answers do not refresh the rows on screen (the single-
        // device link, or updates switched off), they are shown once now.
        if ((!link_.DaisyChainMode || !link_.options.UpdateGuiControls) && view_)
            view_->refreshRows();
        return path;
    } catch (const std::exception& e) {
        TellFileFailure(services_.prompter, operation, ErrorNumber(e), e.what());
        return {};
    }
}

std::string DeviceConfigFiles::fittedParts() const
{
    return link_.SecondTypePresent ? link_.PartName1 + " or " + link_.PartName2
                                   : link_.PartName1;
}

std::string DeviceConfigFiles::LoadDeviceConfig()
{
    return load("LoadDeviceConfig");
}

std::string DeviceConfigFiles::LoadDeviceEE()
{
    return load("LoadDeviceEE");
}

bool DeviceConfigFiles::save(const std::vector<std::string>& lines, const char* cancelled,
                             const char* procedure)
{
    bool saved = false;
    const bool ran = RunHandler(services_.prompter, procedure, [&] {
        const std::string path = logging_.OpenFileForExportTxt();
        if (path.empty()) {
            if (!logging_.ExportTxtOpenFailed())  // a failure has been told already
                services_.prompter.tell(cancelled, kProgramTitle);
            return;
        }
        bool written = true;
        int notSaved = 0;
        for (const std::string& line : lines) {
            if (line.ends_with(kNotSaved))
                ++notSaved;
            if (!logging_.AddLineToExportTxt(line)) {
                written = false;
                break;
            }
        }
        saved = logging_.CloseFileForExportTxt() && written;
        // The file is saved: that comes first, then what it leaves out.
        if (saved && notSaved > 0)
            services_.prompter.tell("Saved to " + path + ".\n\nRegisters not saved: " +
                                        std::to_string(notSaved) +
                                        " (no chip gave their values since connecting; the file "
                                        "notes each one).",
                                    kProgramTitle);
    });
    if (!ran)
        logging_.CloseFileForExportTxt();
    return saved;
}

void DeviceConfigFiles::SaveDeviceConfig()
{
    save(DeviceConfigLines(link_),
         "Save Device Configuration cancelled, configuration file not created.",
         "modSaveDeviceConfig.SaveDeviceConfig");
}

void DeviceConfigFiles::Save_EE_Test_Regs()
{
    save(EeTestLines(link_), "Save Device EE_Test cancelled, configuration file not created.",
         "modSaveDeviceConfig.Save_EE_Test_Regs");
}

}  // namespace kvb::data
