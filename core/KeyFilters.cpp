#include "core/KeyFilters.h"

#include <algorithm>
#include <cctype>

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
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > high)
            break;
    }
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace kvb
