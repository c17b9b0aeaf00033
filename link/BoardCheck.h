#pragma once
// The test every chip button makes first: without a board it tells the user
// "<part> EVB not connected!" and logs "<procedure>: EVB not detected.
// Please check connections.".

#include "core/Services.h"
#include "link/ChipLink.h"

#include <string>

namespace kvb {

bool EvbConnectedOrTell(link::ChipLink& link, Prompter& prompter, const std::string& procedure);

}  // namespace kvb
