#include "app/BoardPrompter.h"

#include "core/AppInfo.h"

namespace kvb {

namespace {
const std::string kCheckConnection = "Please check USB connection.";
}  // namespace

Answer BoardPrompter::askBoardNotFound(const std::string& deviceName, const std::string& boardTitle)
{
    return services_.prompter.ask(kCheckConnection + "\nDravonel HID USB (PID 2035)  " +
                                      deviceName + " Evaluation Board not found.",
                                  boardTitle, Buttons::RetryCancel, Icon::Warning);
}

Answer BoardPrompter::askConnectionLost(board::ConnectionFault fault, const std::string& boardTitle)
{
    std::string text = kCheckConnection;
    switch (fault) {
    case board::ConnectionFault::Unconfirmed:
        text += "\ncheckStatus";
        break;
    case board::ConnectionFault::WriteFailed:
        text += "WriteFile error.";
        break;
    case board::ConnectionFault::ReadTimedOut:
        text += "ReadFile error.";
        break;
    }
    return services_.prompter.ask(text, boardTitle, Buttons::RetryCancel, Icon::Warning);
}

Answer BoardPrompter::askI2cAddressRefused()
{
    return services_.prompter.ask(
        "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel to "
        "close GUI.",
        kProgramTitle, Buttons::RetryCancel, Icon::Warning);
}

Answer BoardPrompter::askI2cAddressNotFound()
{
    return services_.prompter.ask("Dravonel HID USB (PID 2035)  I2C address not found. Close GUI?",
                                  kProgramTitle, Buttons::YesNo, Icon::Question);
}

void BoardPrompter::tell(const std::string& text)
{
    services_.prompter.tell(text, kProgramTitle);
}

void BoardPrompter::pipeOutOfStep()
{
    tell("HID Packet Sync Error Retry 2x");
}

void BoardPrompter::pipeLost()
{
    tell("USB Communications lost, Disconnect and Reconnect, Polling Terminated");
}

void BoardPrompter::sdaError()
{
    tell("SDA error");
}

void BoardPrompter::notOffered()
{
    tell("Underconstruction");
}

void BoardPrompter::registersFileRefused()
{
    services_.prompter.tell("Register file does not exist or is invalid", "Error");
}

void BoardPrompter::hexByteRefused(const std::string& boxName)
{
    services_.prompter.tell(boxName + ": enter a hexadecimal byte from 00 to FF.", kProgramTitle,
                            Icon::Warning);
}

void BoardPrompter::numberRefused(const std::string& boxName, unsigned low, unsigned high)
{
    services_.prompter.tell(boxName + ": enter a number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ".",
                            kProgramTitle, Icon::Warning);
}

}  // namespace kvb
