#include "app/BoardPrompter.h"
#include "board/HidTransport.h"
#include "board/HidapiBackend.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

using namespace kvb;

// On a machine without the evaluation board the real backend finds no board
// and the search asks Retry/Cancel; Cancel ends the program in order.
TEST(HidapiBackend, NoBoardAttachedIsReportedThroughTheConnectionBox)
{
    board::HidapiBackend backend;
    for (const auto& info : backend.enumerate()) {
        if (info.vendorId == board::kBoardVendorId && info.productId == board::kBoardProductId)
            GTEST_SKIP() << "an evaluation board is attached";
    }
    EXPECT_EQ(backend.open("/nonexistent/hidraw"), nullptr);

    test::TestServices t;
    t.prompter.script = {Answer::Cancel};
    BoardPrompter boardUser(t.services);
    board::HidTransport transport(backend, t.services, boardUser);
    EXPECT_FALSE(transport.InitUsbHidConnection());
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].buttons, Buttons::RetryCancel);
    EXPECT_TRUE(t.programEnd.ending());
}
