#include "core/UnexpectedError.h"

#include "core/AppInfo.h"

#include <new>
#include <stdexcept>

namespace kvb {

int ErrorNumber(const std::exception& error)
{
    if (dynamic_cast<const std::out_of_range*>(&error))
        return 9;
    if (dynamic_cast<const std::overflow_error*>(&error))
        return 6;
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return 7;
    return 5;
}

void ReportUnexpectedError(Prompter& prompter, const std::string& procedure,
                           const std::exception& error)
{
    prompter.tell("Error in " + procedure + " Err.Number = " + std::to_string(ErrorNumber(error)) +
                      ", Err.Description = " + error.what(),
                  kProgramTitle);
}

}  // namespace kvb
