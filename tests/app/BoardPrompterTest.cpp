// The boxes through which the board layer asks and tells the user: each with
// its text, title, buttons and icon, and the program's end behind them.

#include "app/BoardPrompter.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kvb;

namespace {

using test::AskedBox;

TEST(BoardPrompter, EveryBoxWithItsTitleButtonsAndIcon)
{
    test::TestServices t;
    t.prompter.fallback = Answer::Retry;
    BoardPrompter user(t.services);
    const std::string board = "KVB71853  Evaluation Board";
    const std::string program = "KVB71853 Evaluation Software";

    const std::vector<std::pair<std::function<void()>, AskedBox>> cases{
        {[&] { (void)user.askBoardNotFound("KVB71853 ", board); },
         {"Please check USB connection.\nDravonel HID USB (PID 2035)  KVB71853  Evaluation "
          "Board not found.",
          board, Buttons::RetryCancel, Icon::Warning}},
        {[&] { (void)user.askConnectionLost(board::ConnectionFault::Unconfirmed, board); },
         {"Please check USB connection.\ncheckStatus", board, Buttons::RetryCancel, Icon::Warning}},
        {[&] { (void)user.askConnectionLost(board::ConnectionFault::WriteFailed, board); },
         {"Please check USB connection.WriteFile error.", board, Buttons::RetryCancel,
          Icon::Warning}},
        {[&] { (void)user.askConnectionLost(board::ConnectionFault::ReadTimedOut, board); },
         {"Please check USB connection.ReadFile error.", board, Buttons::RetryCancel,
          Icon::Warning}},
        {[&] { (void)user.askI2cAddressRefused(); },
         {"Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel "
          "to close GUI.",
          program, Buttons::RetryCancel, Icon::Warning}},
        {[&] { (void)user.askI2cAddressNotFound(); },
         {"Dravonel HID USB (PID 2035)  I2C address not found. Close GUI?", program, Buttons::YesNo,
          Icon::Question}},
        {[&] { user.pipeOutOfStep(); }, {"HID Packet Sync Error Retry 2x", program}},
        {[&] { user.pipeLost(); },
         {"USB Communications lost, Disconnect and Reconnect, Polling Terminated", program}},
        {[&] { user.sdaError(); }, {"SDA error", program}},
        {[&] { user.notOffered(); }, {"Underconstruction", program}},
        {[&] { user.registersFileRefused(); },
         {"Register file does not exist or is invalid", "Error"}},
        {[&] { user.hexByteRefused("SFR Address"); },
         {"SFR Address: enter a hexadecimal byte from 00 to FF.", program, Buttons::Ok,
          Icon::Warning}},
        {[&] { user.numberRefused("Clock Phase Change Byte", 0, 255); },
         {"Clock Phase Change Byte: enter a number from 0 to 255.", program, Buttons::Ok,
          Icon::Warning}},
    };
    for (const auto& [show, expected] : cases) {
        t.prompter.asked.clear();
        show();
        ASSERT_EQ(t.prompter.asked.size(), 1u) << expected.text;
        EXPECT_EQ(t.prompter.asked[0], expected);
    }

    // The answer is the user's, handed back as given.
    t.prompter.fallback = Answer::Cancel;
    EXPECT_EQ(user.askConnectionLost(board::ConnectionFault::Unconfirmed, board), Answer::Cancel);
    EXPECT_FALSE(t.programEnd.ending());
}

}  // namespace
