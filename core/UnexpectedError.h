#pragma once
// The box that reports an unexpected failure inside a procedure:
// "Error in <procedure> Err.Number = <n>, Err.Description = <text>".

#include "core/Services.h"

#include <exception>
#include <string>
#include <utility>

namespace kvb {

// The classic error number standing for an exception: 9 for an index out of
// range, 6 for an overflow, 7 for memory, 5 for anything else.
int ErrorNumber(const std::exception& error);

void ReportUnexpectedError(Prompter& prompter, const std::string& procedure,
                           const std::exception& error);

// Runs one handler; an exception escaping it is reported as a failure in
// `procedure` and goes no further. False when the handler failed so.
template <typename Handler>
bool RunHandler(Prompter& prompter, const std::string& procedure, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception& e) {
        ReportUnexpectedError(prompter, procedure, e);
        return false;
    }
}

// The same for a handler with a result: `onFailure` after the report.
template <typename Result, typename Handler>
Result RunHandler(Prompter& prompter, const std::string& procedure, Result onFailure,
                  Handler&& handler)
{
    try {
        return std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        ReportUnexpectedError(prompter, procedure, e);
        return onFailure;
    }
}

}  // namespace kvb
