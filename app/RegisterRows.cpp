#include "app/RegisterRows.h"

#include "core/AppInfo.h"
#include "core/Services.h"

#include <algorithm>
#include <cstdio>

namespace kvb {

namespace {

constexpr int kErrSubscript = 9;
constexpr int kErrOverflow = 6;

// The internal-temperature register (category 1, address 0x10) and its limit
// register (category 2, address 0x1A) decode around Tint25.
constexpr int kRegInternalTemp = 80;
constexpr int kRegInternalTempLimit = 154;

std::string fixed(double value, int places)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    return buffer;
}

}  // namespace

RowLayout LayoutForKind(int kind)
{
    RowLayout l;
    // Command rows: "Send", the name moved right over the bits they lack.
    auto commandRow = [&l](int nameLeft, int dataBits) {
        l.nameLeft = nameLeft;
        l.readCaption = "Send";
        l.readColour = kSendButtonColour;
        l.bitsShown = dataBits;
        l.valueShown = dataBits > 0;
    };
    switch (kind) {
    case link::KindReadOnly:
        l.enablesReadGroup = true;
        break;
    case link::KindReadWrite:
        l.writeShown = true;
        l.enablesReadGroup = true;
        l.enablesWriteGroup = true;
        break;
    case link::KindCommand:
    case link::KindReadAll:
        commandRow(10320, 0);
        break;
    case link::KindCommandData:
    case link::KindCommandData4:
        commandRow(5160, 6);  // the six data bits a command frame carries
        break;
    default:  // absent on this type, or unknown: a read-only row of its own
        break;
    }
    return l;
}

std::string AddressCaption(int reg)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "cat 0x%X, addr 0x%02X", (reg & 0x1C0) / 64, reg & 63);
    return buffer;
}

std::string RowValueText(int value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(value) & 0xFFFF);
    return buffer;
}

RegisterRows::RegisterRows(const link::RegisterDefinitions& defs, link::RegisterImage& image,
                           Prompter& prompter)
    : defs_(defs), image_(image), prompter_(prompter)
{
}

void RegisterRows::reportError(const char* procedure, int number, const char* description)
{
    prompter_.tell(std::string("Error in ") + procedure + " Err.Number = " +
                       std::to_string(number) + ", Err.Description = " + description,
                   kProgramTitle);
}

void RegisterRows::notify(int r)
{
    if (display_)
        display_->rowChanged(r);
}

bool RegisterRows::rowWithRegister(int r, const char* procedure)
{
    if (r < 0 || r >= link::kTabRows || rows_[r].reg < 0 || rows_[r].reg >= link::kRegisters) {
        reportError(procedure, kErrSubscript, "Subscript out of range");
        return false;
    }
    return true;
}

bool RegisterRows::showTab(int type, int tab, int device)
{
    if (type < 0 || type >= link::kDeviceTypes || tab < 0 || tab >= link::kMaxTabs ||
        device < 0 || device >= link::kDevices) {
        reportError("TabStrip1_Click", kErrSubscript, "Subscript out of range");
        return false;
    }
    type_ = type;
    tab_ = tab;
    device_ = device;
    readGroup_ = false;
    writeGroup_ = false;
    for (int r = 0; r < link::kTabRows; ++r)
        fillRow(r);
    return true;
}

void RegisterRows::fillRow(int r)
{
    RegisterRow& row = rows_[r];
    const int reg = defs_.tabRegisters[type_][tab_][r];
    if (reg < 0 || reg >= link::kRegisters) {
        row.reg = -1;
        row.shown = false;
        row.frameLeft = kRowHiddenLeft;
        notify(r);
        return;
    }
    const link::RegisterDefinition& def = defs_.def(type_, reg);
    row.reg = reg;
    row.shown = true;
    row.frameLeft = kRowShownLeft;
    row.name = def.name;
    row.address = AddressCaption(reg);
    row.bitNames = def.bitNames;
    row.layout = LayoutForKind(def.kind);
    readGroup_ = readGroup_ || row.layout.enablesReadGroup;
    writeGroup_ = writeGroup_ || row.layout.enablesWriteGroup;
    row.decodedShown = !def.valueLabel.empty();
    if (row.decodedShown) {
        row.decodedLabel = def.valueLabel;
        row.decodedUnits = def.units;
    }
    row.editor = HexEdit{RowValueText(image_.at(type_, device_, reg))};
    UpdateOtherControls(ChangeFromImage, r);
}

std::vector<int> RegisterRows::rowsShowing(int reg) const
{
    std::vector<int> found;
    for (int r = 0; r < link::kTabRows; ++r)
        if (rows_[r].shown && rows_[r].reg == reg)
            found.push_back(r);
    return found;
}

std::vector<int> RegisterRows::groupReadRows() const
{
    std::vector<int> found;
    for (int r = 0; r < link::kTabRows; ++r) {
        const int kind = defs_.kind(type_, rows_[r].reg);
        if (rows_[r].shown && (kind == link::KindReadOnly || kind == link::KindReadWrite))
            found.push_back(r);
    }
    return found;
}

std::vector<int> RegisterRows::groupWriteRows() const
{
    std::vector<int> found;
    for (int r = 0; r < link::kTabRows; ++r)
        if (rows_[r].shown && rows_[r].layout.writeShown)
            found.push_back(r);
    return found;
}

void RegisterRows::toggleBit(int bitIndex)
{
    const int r = bitIndex / link::kBits;
    if (bitIndex < 0 || !rowWithRegister(r, "cbRegToggleBit_Click"))
        return;
    bool& bit = rows_[r].bits[bitIndex % link::kBits];
    bit = !bit;
    UpdateOtherControls(ChangeBitButton, bitIndex);
}

bool RegisterRows::keyPress(int r, const HexEdit& cursor, int key)
{
    if (!rowWithRegister(r, "tbRegdata_KeyPress"))
        return false;
    HexEdit& e = rows_[r].editor;
    e.caret = cursor.caret;
    e.selStart = cursor.selStart;
    e.selLength = cursor.selLength;
    if (!HexKeyPress(e, key))
        return false;
    UpdateOtherControls(ChangeTypedKey, r);
    return true;
}

bool RegisterRows::paste(int r, const HexEdit& cursor, std::string_view text)
{
    if (!rowWithRegister(r, "tbRegdata_KeyPress"))
        return false;
    HexEdit e = rows_[r].editor;
    e.caret = cursor.caret;
    e.selStart = cursor.selStart;
    e.selLength = cursor.selLength;
    if (!HexPaste(e, text))
        return false;
    rows_[r].editor = e;
    UpdateOtherControls(ChangeTypedKey, r);
    return true;
}

void RegisterRows::deleteReleased(int r, std::string text)
{
    if (!rowWithRegister(r, "tbRegdata_KeyUp"))
        return;
    // Deleting keeps the text within the row's limits; a text outside them
    // is refused and the row keeps its value.
    if (!IsRowText(text))
        text = rows_[r].editor.text;
    HexEdit& e = rows_[r].editor;
    e.text = std::move(text);
    e.caret = std::min(e.caret, static_cast<int>(e.text.size()));
    e.selStart = e.caret;
    e.selLength = 0;
    UpdateOtherControls(ChangeDeleteKey, r);
}

void RegisterRows::upDownChanged(int r, int value)
{
    if (updatingUpDown_)
        return;
    if (!rowWithRegister(r, "updnRegData_Change"))
        return;
    value = std::clamp(value, 0, static_cast<int>(kMaxRowValue));
    rows_[r].upDown = value;
    rows_[r].editor = HexEdit{RowValueText(value)};
    UpdateOtherControls(ChangeUpDown, r);
}

void RegisterRows::setRowValue(int r, int16_t value)
{
    if (!rowWithRegister(r, "UpdateOtherControls"))
        return;
    rows_[r].editor = HexEdit{RowValueText(value)};
    UpdateOtherControls(ChangeFromImage, r);
}

void RegisterRows::refreshFromImage()
{
    for (int r = 0; r < link::kTabRows; ++r)
        if (rows_[r].shown)
            setRowValue(r, image_.at(type_, device_, rows_[r].reg));
}

void RegisterRows::UpdateOtherControls(int source, int index)
{
    int r = index;
    switch (source) {
    case ChangeBitButton:
        BitsToRegData(index);
        r = index / link::kBits;
        RegDataToRegArray(r);
        RegDataToUpDown(r);
        RegValToDecodedVal(r);
        break;
    case ChangeDeleteKey:
    case ChangeTypedKey:
        RegDataToBits(r);
        RegDataToRegArray(r);
        RegDataToUpDown(r);
        RegValToDecodedVal(r);
        break;
    case ChangeUpDown:
        RegDataToBits(r);
        RegDataToRegArray(r);
        RegValToDecodedVal(r);
        break;
    case ChangeFromImage:
        RegDataToBits(r);
        RegDataToUpDown(r);
        RegValToDecodedVal(r);
        break;
    default:
        return;
    }
    if (r >= 0 && r < link::kTabRows)
        notify(r);
    if (pages_ && pages_->mainPageShown())
        pages_->refreshMainPage();
    if (pages_ && pages_->monitorPageShown())
        pages_->refreshMonitorPage();
}

void RegisterRows::BitsToRegData(int bitIndex)
{
    const int r = bitIndex / link::kBits;
    if (bitIndex < 0 || r >= link::kTabRows) {
        reportError("BitsToRegData", kErrSubscript, "Subscript out of range");
        return;
    }
    unsigned sum = 0;
    for (int bit = 0; bit < link::kBits; ++bit)
        if (rows_[r].bits[bit])
            sum |= 1u << bit;
    rows_[r].editor = HexEdit{RowValueText(static_cast<int>(sum))};
}

void RegisterRows::RegDataToBits(int r)
{
    if (r < 0 || r >= link::kTabRows) {
        reportError("RegDataToBits", kErrSubscript, "Subscript out of range");
        return;
    }
    const unsigned value = HexRowValue(rows_[r].editor.text);
    for (int bit = 0; bit < link::kBits; ++bit)
        rows_[r].bits[bit] = (value & (1u << bit)) != 0;
}

void RegisterRows::RegDataToRegArray(int r)
{
    if (!rowWithRegister(r, "RegDataToRegArray"))
        return;
    const unsigned value = HexRowValue(rows_[r].editor.text);
    if (value > 0x7FFF) {
        reportError("RegDataToRegArray", kErrOverflow, "Overflow");
        return;
    }
    image_.at(type_, device_, rows_[r].reg) = static_cast<int16_t>(value);
}

void RegisterRows::RegDataToUpDown(int r)
{
    if (r < 0 || r >= link::kTabRows) {
        reportError("RegDataToUpDown", kErrSubscript, "Subscript out of range");
        return;
    }
    unsigned value = HexRowValue(rows_[r].editor.text);
    if (value > kMaxRowValue)
        value &= kMaxRowValue;
    auto guard = holdUpDown();
    rows_[r].upDown = static_cast<int>(value);
    if (display_)
        display_->upDownMoved(r, rows_[r].upDown);
}

void RegisterRows::RegValToDecodedVal(int r)
{
    if (r < 0 || r >= link::kTabRows || !rows_[r].decodedShown)
        return;
    if (!rowWithRegister(r, "RegValToDecodedVal"))
        return;
    const int reg = rows_[r].reg;
    const double raw = image_.at(type_, device_, reg);
    const double scale = defs_.def(type_, reg).scale;
    if (reg == kRegInternalTemp || reg == kRegInternalTempLimit)
        rows_[r].decoded = fixed((raw - defs_.tint25) * scale + 25.0, 1);
    else
        rows_[r].decoded = fixed(raw * scale, 4);
}

}  // namespace kvb
