#pragma once
// The panel's pictures: the output-off and output-on pictures of the
// source-measure units' operate buttons, and the linked and open pictures of
// the switch unit's connection toggles. Each is its icon file in the
// program's folder; where that file is missing or holds no picture, the
// program draws its own.

#include "bench/Lamp.h"

#include <QIcon>

#include <string>

namespace kvb::ui {

QIcon instrumentIcon(bench::Picture picture, const std::string& programFolder);

}  // namespace kvb::ui
