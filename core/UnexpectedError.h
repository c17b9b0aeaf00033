#pragma once
// The box that reports an unexpected failure inside a procedure:
// "Error in <procedure> Err.Number = <n>, Err.Description = <text>".

#include "core/Services.h"

#include <exception>
#include <string>

namespace kvb {

// The classic error number standing for an exception: 9 for an index out of
// range, 6 for an overflow, 7 for memory, 5 for anything else.
int ErrorNumber(const std::exception& error);

void ReportUnexpectedError(Prompter& prompter, const std::string& procedure,
                           const std::exception& error);

}  // namespace kvb
