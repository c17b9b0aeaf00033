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

struct Box {
    std::string text;
    std::string title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& box, std::ostream* os)
{
    *os << '"' << box.text << "\" / \"" << box.title << "\" buttons "
        << static_cast<int>(box.buttons) << " icon " << static_cast<int>(box.icon);
}

class BoxRecorder : public Prompter {
public:
    std::vector<Box> shown;
    Answer answer = Answer::Retry;
    Answer ask(const std::string& text, const std::string& title, Buttons buttons,
               Icon icon) override
    {
        shown.push_back({text, title, buttons, icon});
        return answer;
    }
};

TEST(BoardPrompter, EveryBoxWithItsTitleButtonsAndIcon)
{
    test::TestServices t;
    BoxRecorder boxes;
    Services services{boxes, t.pump, t.clock, t.files, t.programEnd, t.format};
    BoardPrompter user(services);
    const std::string board = "KVB71853  Evaluation Board";
    const std::string program = "KVB71853 Evaluation Software";

    const std::vector<std::pair<std::function<void()>, Box>> cases{
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
        boxes.shown.clear();
        show();
        ASSERT_EQ(boxes.shown.size(), 1u) << expected.text;
        EXPECT_EQ(boxes.shown[0], expected);
    }

    // The answer is the user's, handed back as given.
    boxes.answer = Answer::Cancel;
    EXPECT_EQ(user.askConnectionLost(board::ConnectionFault::Unconfirmed, board), Answer::Cancel);
    EXPECT_FALSE(t.programEnd.ending());
}

}  // namespace
