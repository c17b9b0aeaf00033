#pragma once
// Names of the controls in a control array.

#include <string>
#include <string_view>

namespace kvb {

// The objectName of element `index` of a control array: "name_index".
// `Text` is the string type the caller names its controls with (QString in
// the windows), built from the UTF-8 text.
template <typename Text = std::string>
Text ElementName(std::string_view name, int index)
{
    std::string text(name);
    text += '_';
    text += std::to_string(index);
    return Text(text.c_str());
}

}  // namespace kvb
