#pragma once
// The eight register rows of the main window's register tabs, without the
// widgets: what each row shows for the selected tab, device type and device,
// and the row updater that keeps a row's editors (hexadecimal text, 14 bit
// buttons, up-down, decoded value) and the register image in line.
//
// The hexadecimal text is each row's master value. Edits go into the
// register image of the selected device at once; nothing reaches the chip
// until a row or group button is pressed (the main window's handlers).

#include "app/HexRowEditor.h"
#include "link/RegisterModel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvb {

class Prompter;

// Colours as 0x00BBGGRR values.
constexpr int kBitSetColour = 0x00FF00;
constexpr int kBitClearColour = 0x7F7F7F;
constexpr int kReadButtonColour = 0x80FF80;  // "Read": light green
constexpr int kSendButtonColour = 0xC0C0C0;  // "Send": light grey

// Left edges in twips.
constexpr int kRowShownLeft = 240;
constexpr int kRowHiddenLeft = 30000;

// How a row is laid out for its register's kind.
struct RowLayout {
    int nameLeft = 120;               // lblRegName and lblRegAddr
    const char* readCaption = "Read"; // cbRead
    int readColour = kReadButtonColour;
    bool writeShown = false;          // cbWrite
    int bitsShown = link::kBits;      // bits 0 .. bitsShown-1 are shown
    bool valueShown = true;           // tbRegdata and updnRegData
    bool enablesReadGroup = false;    // makes "Read Group" visible
    bool enablesWriteGroup = false;   // makes "Write Group" visible
};

RowLayout LayoutForKind(int kind);

// "cat 0x2, addr 0x13" for register 147.
std::string AddressCaption(int reg);

// A register value as the row shows it: four upper-case hexadecimal digits
// of its 16 bits ("FFFF" for -1).
std::string RowValueText(int value);

struct RegisterRow {
    int reg = -1;                     // -1: the row is empty and hidden
    bool shown = false;               // fmRegCtrls
    int frameLeft = kRowHiddenLeft;
    std::string name;                 // lblRegName
    std::string address;              // lblRegAddr
    std::array<std::string, link::kBits> bitNames;  // lblBitName
    RowLayout layout;
    bool decodedShown = false;        // tbRegDecodedVal with its label and units
    std::string decodedLabel;
    std::string decodedUnits;
    HexEdit editor;                   // tbRegdata: text, caret, selection
    std::array<bool, link::kBits> bits{};  // cbRegToggleBit: caption "1" / "0"
    int upDown = 0;                   // updnRegData, 0..16383
    std::string decoded;              // tbRegDecodedVal
};

// The MAIN and MONITOR pages belong to the main window; the rows refresh
// them after every row change while they are on screen. The main window
// attaches them through the rows' view while it is open.
class PageRefresh {
public:
    virtual ~PageRefresh() = default;
    virtual bool mainPageShown() const = 0;     // fraMainTabDeviceStatus visible
    virtual void refreshMainPage() = 0;         // UpdateMainTabDeviceStatusControls
    virtual bool monitorPageShown() const = 0;  // fraDeviceVoltagesFaults(0) visible
    virtual void refreshMonitorPage() = 0;      // UpdateMonitorTabControls
};

// The rows' own controls as the rows show into them; the rows' view, which
// owns the rows, attaches itself.
class RowsDisplay {
public:
    virtual ~RowsDisplay() = default;
    // A row's state changed and its controls must be redrawn.
    virtual void rowChanged(int row) = 0;
    // While UpdatingUpDown is raised, the updater moved a row's up-down
    // control.
    virtual void upDownMoved(int row, int value) = 0;
};

// Sources of UpdateOtherControls: which editor changed.
enum RowChange : int {
    ChangeBitButton = 1,
    ChangeDeleteKey = 2,
    ChangeTypedKey = 3,
    ChangeUpDown = 4,
    ChangeFromImage = 5,
};

class RegisterRows {
public:
    RegisterRows(const link::RegisterDefinitions& defs, link::RegisterImage& image,
                 Prompter& prompter);

    // The pages refreshed after a row change, or none.
    void attachPages(PageRefresh* pages) { pages_ = pages; }
    // The rows' controls, or none.
    void attachDisplay(RowsDisplay* display) { display_ = display; }

    // Fills the eight rows from tab `tab` of device type `type` for device
    // `device`. Out-of-range selections are reported and leave the rows as
    // they were (result false).
    bool showTab(int type, int tab, int device);

    int selectedType() const { return type_; }
    int selectedDevice() const { return device_; }
    const RegisterRow& row(int r) const { return rows_.at(static_cast<size_t>(r)); }
    bool readGroupShown() const { return readGroup_; }
    bool writeGroupShown() const { return writeGroup_; }

    // Shown rows that show register `reg` (for the answer parsers).
    std::vector<int> rowsShowing(int reg) const;
    // Rows "Read Group" reads (kinds 0 and 1) and "Write Group" writes.
    std::vector<int> groupReadRows() const;
    std::vector<int> groupWriteRows() const;

    // Row editors.
    void toggleBit(int bitIndex);                                 // cbRegToggleBit
    bool keyPress(int row, const HexEdit& cursor, int key);      // tbRegdata keys
    bool paste(int row, const HexEdit& cursor, std::string_view text);
    void deleteReleased(int row, std::string text);               // text after Delete
    void upDownChanged(int row, int value);                       // updnRegData

    // A value stored in the register image (an answer): shown in the row's
    // text, then the row's other editors follow.
    void setRowValue(int row, int16_t value);
    // Every shown row shows its register's value from the image again.
    void refreshFromImage();

    // The updater.
    void UpdateOtherControls(int source, int index);
    void BitsToRegData(int bitIndex);
    void RegDataToBits(int row);
    void RegDataToRegArray(int row);
    void RegDataToUpDown(int row);
    void RegValToDecodedVal(int row);

    // UpdatingUpDown: raised while code moves an up-down control, so that
    // its change handler ignores the echo.
    bool updatingUpDown() const { return updatingUpDown_; }
    class [[nodiscard]] UpDownGuard {
    public:
        explicit UpDownGuard(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
        ~UpDownGuard() { flag_ = previous_; }
        UpDownGuard(const UpDownGuard&) = delete;
        UpDownGuard& operator=(const UpDownGuard&) = delete;

    private:
        bool& flag_;
        bool previous_;
    };
    UpDownGuard holdUpDown() { return UpDownGuard(updatingUpDown_); }

private:
    void fillRow(int r);
    bool rowWithRegister(int r, const char* procedure);
    void reportError(const char* procedure, int number, const char* description);
    void notify(int r);

    const link::RegisterDefinitions& defs_;
    link::RegisterImage& image_;
    Prompter& prompter_;
    PageRefresh* pages_ = nullptr;
    RowsDisplay* display_ = nullptr;
    std::array<RegisterRow, link::kTabRows> rows_;
    int type_ = 0;
    int tab_ = 0;
    int device_ = 1;
    bool readGroup_ = false;
    bool writeGroup_ = false;
    bool updatingUpDown_ = false;
};

}  // namespace kvb
