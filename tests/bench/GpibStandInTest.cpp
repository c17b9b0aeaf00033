// The program's loader on a stand-in of the system's GPIB library built by
// the tests (KVB_GPIB_STANDIN): the dlopen path, the calls looked up by name
// and the per-thread status copied into the panel's words.

#include "bench/GpibLibrary.h"
#include "bench/InstrumentPanel.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::bench;

TEST(GpibStandIn, ThePanelDrivesAnInstrumentThroughTheLoadedLibrary)
{
    test::TestServices t;
    GpibLibrary library({"libkvb-no-such-gpib.so.0", KVB_GPIB_STANDIN});
    ASSERT_TRUE(library.available()) << library.unavailableReason();
    InstrumentPanel panel(t.services, library);
    panel.Form_Load();

    panel.counter.cmd53141Init_Click();
    EXPECT_EQ(panel.counter.ReadingsList53131_1, std::vector<std::string>{"STAND-IN,GPIB,0,1"});
    panel.counter.xms53131_4_Click();
    EXPECT_EQ(panel.counter.lblCounter1Read, "1000000.0000000000");
    EXPECT_EQ(panel.session.gpib.ibcntl, 23);  // the reply's bytes, line feed included
    EXPECT_TRUE(t.prompter.asked.empty());

    // A read with nothing to read times out: the library's status and error
    // code reach the panel's error box.
    std::string reply;
    EXPECT_FALSE(panel.session.ReadReply(panel.session.CounterDevice[0], 1, reply));
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Unable to read from device\nibsta = &HC000\niberr = 6 <EABO>");
    EXPECT_EQ(panel.session.CounterDevice[0], NotOpened);  // taken off line
}
