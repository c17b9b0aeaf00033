#pragma once
// The panel's pictures, drawn by the program: the output-off and output-on
// pictures of the source-measure units' operate buttons, and the linked and
// open pictures of the switch unit's connection toggles.

#include "bench/Lamp.h"

#include <QIcon>

namespace kvb::ui {

QIcon instrumentIcon(bench::Picture picture);

}  // namespace kvb::ui
