#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

TEST(StartupWindow, OpensTheSimulatedBoardAndListsTheOption)
{
    kvb::test::TestServices t;
    kvb::sim::SimHidBackend usb;
    usb.plug(t.clock);
    kvb::AppContext context(t.services, usb);
    kvb::ui::FrmStartup form(context);
    auto* list = form.findChild<QListWidget*>("lstOptions");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->item(1)->text(), "KVB71853 Evaluation Board Connected");
    EXPECT_TRUE(context.transport.hasBoard());
}
