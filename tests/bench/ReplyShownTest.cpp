// A reply that is not a reading is shown as far as it can be: printable
// ASCII from the blank (0x20) to the tilde (0x7E) as it is, every other
// byte as \xNN, cut after 40 characters.

#include "BenchFixture.h"

using namespace kvb;
using namespace kvb::bench;
using Strings = std::vector<std::string>;

namespace {

class ReplyShown : public test::BenchTest {};

}  // namespace

TEST_F(ReplyShown, PrintableBoundsOfTheShownReply)
{
    auto* dvm = bus.instrument<sim::SimVoltmeter>(28);
    panel.voltmeters.cmdDVMSetDC_Click(0);
    t.prompter.asked.clear();
    dvm->replies.push_back(std::string("O L~\x1F\x7F") + "\r\n");
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    EXPECT_EQ(t.prompter.texts(),
              (Strings{"The voltmeter of VM Control 1 sent a reply that is not a reading: "
                       "\"O L~\\x1F\\x7F\""}));

    // Exactly 40 characters are shown whole; one more is cut.
    t.prompter.asked.clear();
    dvm->replies.push_back(std::string(40, 'x') + "\r\n");
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    dvm->replies.push_back(std::string(41, 'x') + "\r\n");
    panel.voltmeters.cmdDVMGetMeas_Click(0);
    const std::string head = "The voltmeter of VM Control 1 sent a reply that is not a reading: \"";
    EXPECT_EQ(t.prompter.texts(), (Strings{head + std::string(40, 'x') + "\"",
                                           head + std::string(40, 'x') + "...\""}));
}
