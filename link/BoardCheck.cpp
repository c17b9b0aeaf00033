#include "link/BoardCheck.h"

#include "core/AppInfo.h"

namespace kvb {

bool EvbConnectedOrTell(link::ChipLink& link, Prompter& prompter, const std::string& procedure)
{
    if (link.EvbConnected())
        return true;
    prompter.tell(link.PartName1 + " EVB not connected!", kProgramTitle);
    link.log.AddToEvbLog(procedure + ": EVB not detected. Please check connections.");
    return false;
}

}  // namespace kvb
