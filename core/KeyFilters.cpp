#include "core/KeyFilters.h"

#include "core/LeadingNumber.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kvb {

namespace {
constexpr char kEnter = 13;
constexpr char kBackspace = 8;
}  // namespace

char HexKeyFilter(char key)
{
    key = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (key == kEnter || key == kBackspace)
        return key;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'F'))
        return key;
    return 0;
}

char DecKeyFilter(char key)
{
    if (key == kEnter || key == kBackspace)
        return key;
    if (key >= '0' && key <= '9')
        return key;
    return 0;
}

EditKey TextBoxEditKeys(int keyCode, bool ctrl, bool shift, bool alt)
{
    if (!ctrl || shift || alt)
        return EditKey::None;
    switch (keyCode) {
    case 65:
        return EditKey::SelectAll;
    case 67:
        return EditKey::Copy;
    case 86:
        return EditKey::Paste;
    default:
        return EditKey::None;
    }
}

int ClampCountText(const std::string& text, int low, int high)
{
    // Rounded as the box's text is read as a byte: halves to even.
    const double value = std::nearbyint(LeadingNumber(text));
    return static_cast<int>(std::clamp(value, double(low), double(high)));
}

}  // namespace kvb
