// The context's own wiring between its modules, which holds with no window
// open: what the pipe tells its host reaches the link log and polling.

#include "panel/PanelFixture.h"
#include "link/LinkHooks.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace kvb;

namespace {

// The link log box as a window would show it.
struct LogView final : link::LinkView {
    std::string log;
    void showRegisterValue(int, int16_t) override {}
    void refreshMainTab() override {}
    void refreshMonitorTab() override {}
    void appendLog(const std::string& text) override { log += text; }
    void clearLog() override { log.clear(); }
    void appendHexLog(int, const std::string&) override {}
};

using AppContextWiring = test::PanelTest;

TEST_F(AppContextWiring, APipeLostAfterItsRetryLogsTheRetryAndStopsPolling)
{
    LogView view;
    context->link.attachView(&view);
    context->polling.setPollingOn(true);
    ASSERT_TRUE(context->polling.pollingOn());
    board->faults.noAnswer = true;
    const std::vector<uint8_t> readFrame{0x00, 0x22, 0x10, 0x0C};

    const board::PipeResult r = context->pipe.transfer(context->pipe.request(readFrame));
    EXPECT_EQ(r.status, board::PipeStatus::Lost);
    EXPECT_EQ(view.log, "Packet Sync: Retry count =  1BQTY  0XID  1RID  0\r\n");
    EXPECT_FALSE(context->polling.pollingOn());
    EXPECT_FALSE(context->polling.timerRunning());
    context->link.attachView(nullptr);
}

}  // namespace
