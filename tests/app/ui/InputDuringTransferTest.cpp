// Clicks that arrive while a chip transfer is on its way, delivered through
// the window system's input queue and the program's own event pump, as a
// user's clicks reach the program: each exchange runs whole, one after the
// other, and every answer lands under its own type and device.

#include "app/AppContext.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/QtServices.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"
#include "support/ui/WindowSystemInput.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace kvb;
using Frames = std::vector<std::string>;

// The program's event pump, with a hook that runs before each yield and a
// guard that ends the program when a wait spins on a busy pipe (instead of
// hanging the test).
class WatchedPump : public EventPump {
public:
    std::function<void()> beforeYield;
    const board::ChipPipe* pipe = nullptr;
    ProgramEnd* end = nullptr;

    void yield() override
    {
        if (beforeYield)
            beforeYield();
        spinning_ = pipe && pipe->busy() ? spinning_ + 1 : 0;
        if (spinning_ > 1000 && end)
            end->end();
        qt_.yield();
    }

private:
    ui::QtEventPump qt_;
    int spinning_ = 0;
};

// Reports as the board received them: pipe code and select byte, then the
// chip frame ("16 00: 12 3C 07").
std::string Describe(const board::Report& r)
{
    auto hex = [](uint8_t b) {
        static const char* digits = "0123456789ABCDEF";
        return std::string{digits[b >> 4], digits[b & 15]};
    };
    std::string text = hex(r[1]) + " " + hex(r[4]) + ":";
    for (int i = 0; i + 1 < r[3] && 5 + i < static_cast<int>(r.size()); ++i)
        text += " " + hex(r[5 + i]);
    return text;
}

class InputDuringTransfer : public ::testing::Test, protected test::WindowDriver {
protected:
    void SetUp() override
    {
        pump.pipe = &context.pipe;
        pump.end = &t.programEnd;
        context.transport.InitUsbHidConnection();
        main = std::make_unique<ui::MainKvb71853>(context);
        drive(main.get());
        control<QTimer>("Timer4")->stop();
        main->show();
    }

    void connect(int type0, int type1)
    {
        chain->setDevices(0, type0);
        chain->setDevices(1, type1);
        configure(true, type1 > 0 ? 2 : 0, type0);
        ASSERT_EQ(context.link.DeviceCount1, type0);
        ASSERT_EQ(context.link.DeviceCount2, type1);
    }

    // Polling on, the unprompted responses polled; the timer's own ticks
    // are too far apart to come during a test.
    void startPolling()
    {
        control<QLineEdit>("tbPollingInterval")->setText("5000");
        context.polling.boxes.upr = true;
        control<QCheckBox>("chkEnablePolling")->setChecked(true);
        ASSERT_TRUE(context.polling.timerRunning());
        ASSERT_TRUE(context.link.UprPollingEnabled);
    }

    // Queues a click on `target` the first time the pipe is busy and
    // `when` holds.
    void clickDuringTransfer(QPushButton* target, std::function<bool()> when = [] { return true; })
    {
        ASSERT_NE(target, nullptr);
        pump.beforeYield = [this, target, when, armed = true]() mutable {
            if (armed && context.pipe.busy() && when()) {
                armed = false;
                test::QueueClick(target);
            }
        };
    }

    Frames framesSince(size_t from) const
    {
        Frames frames;
        for (size_t i = from; i < board->requests.size(); ++i)
            frames.push_back(Describe(board->requests[i]));
        return frames;
    }

    void expectNoErrors()
    {
        EXPECT_FALSE(t.programEnd.ending()) << "a wait spun on the busy pipe";
        EXPECT_EQ(context.link.log.communicationErrors(), 0);
        const QString log = control<QPlainTextEdit>("txtLog")->toPlainText();
        EXPECT_EQ(log.indexOf("Still Busy"), -1);
        EXPECT_EQ(log.indexOf("No Response"), -1);
        EXPECT_TRUE(t.prompter.asked.empty());
        EXPECT_EQ(context.link.lamps.colour(LampId::Polling), kLampGrey);
    }

    test::TestServices t;
    WatchedPump pump;
    Services services{t.prompter, pump, t.clock, t.files, t.programEnd, t.format};
    test::SimulatedChain sim{t};
    std::shared_ptr<sim::SimBoard>& board = sim.board;
    std::unique_ptr<sim::SimChipChain>& chain = sim.chain;
    AppContext context{services, sim.usb};
    std::unique_ptr<ui::MainKvb71853> main;
};

// What is under way when the click comes, and what the click asks for.
enum class Running { PollTickBufferRead, RegisterRead, ReadAll };
enum class Clicked { ChipCommand, RowRead };

class OneExchangeAtATime
    : public InputDuringTransfer,
      public ::testing::WithParamInterface<std::tuple<Running, Clicked>> {};

TEST_P(OneExchangeAtATime, TheClickRunsAfterTheExchangeInFlight)
{
    const auto [running, clicked] = GetParam();
    connect(3, 0);
    startPolling();
    selectTab("CELLS 1-8");
    for (int d = 1; d <= 3; ++d)
        chain->device(0, d).regs[128] = static_cast<int16_t>(0x0100 * d);  // OV faults

    // The chip command reads all faults of the three devices; the row reads
    // cell 2 (register 66) of device 1.
    QPushButton* target = clicked == Clicked::ChipCommand ? control<QPushButton>("cbReadAllFaults")
                                                          : control<QPushButton>("cbRead_1");
    const Frames clickFrames = clicked == Clicked::ChipCommand
                                   ? Frames{"16 00: 12 3C 07", "16 00: 22 3C 01", "16 00: 32 3C 03"}
                                   : Frames{"16 00: 11 08 06"};
    const size_t from = board->requests.size();
    Frames runningFrames;
    switch (running) {
    case Running::PollTickBufferRead:
        clickDuringTransfer(target, [this] { return context.pipe.pipeCommandCode() == 0x17; });
        context.polling.Timer2_Timer();
        runningFrames = {"17 30:"};
        break;
    case Running::RegisterRead:
        clickDuringTransfer(target);
        test::QueueClick(control<QPushButton>("cbRead_0"));  // cell 1 (register 65) of device 1
        runningFrames = {"16 00: 11 04 01"};
        break;
    case Running::ReadAll:
        // The click comes while the second device's answer is awaited.
        clickDuringTransfer(target, [this, from] { return board->requests.size() == from + 1; });
        test::QueueClick(control<QPushButton>("cbReadAllVolts"));
        runningFrames = {"16 00: 11 3C 05", "16 00: 21 3C 03", "16 00: 31 3C 01"};
        break;
    }
    test::RunEventLoopUntilIdle();

    Frames expected = runningFrames;
    expected.insert(expected.end(), clickFrames.begin(), clickFrames.end());
    EXPECT_EQ(framesSince(from), expected);
    expectNoErrors();
    EXPECT_TRUE(context.polling.timerRunning());

    const link::RegisterImage& image = context.link.image;
    if (clicked == Clicked::ChipCommand) {
        for (int d = 1; d <= 3; ++d)
            EXPECT_EQ(image.at(0, d, 128), 0x0100 * d) << "device " << d;
    } else {
        EXPECT_EQ(image.at(0, 1, 66), chain->device(0, 1).regs[66]);
    }
    if (running == Running::ReadAll) {
        for (int d = 1; d <= 3; ++d)
            EXPECT_EQ(image.at(0, d, 65), chain->device(0, d).regs[65]) << "device " << d;
    }
    EXPECT_EQ(image.at(1, 1, 128), 0);  // nothing was filed under the other type
}

std::string CaseName(const ::testing::TestParamInfo<OneExchangeAtATime::ParamType>& info)
{
    static const char* running[] = {"PollTickBufferRead", "RegisterRead", "ReadAll"};
    static const char* clicked[] = {"ChipCommand", "RowRead"};
    return std::string(running[static_cast<int>(std::get<0>(info.param))]) + "_" +
           clicked[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    InputDuringTransfer, OneExchangeAtATime,
    ::testing::Combine(::testing::Values(Running::PollTickBufferRead, Running::RegisterRead,
                                         Running::ReadAll),
                       ::testing::Values(Clicked::ChipCommand, Clicked::RowRead)),
    CaseName);

// A type-1 register read with polling off, and "Read Faults" clicked while
// it waits for its answer: the type-1 answer stays type 1, and the faults of
// both types are read after it.
TEST_F(InputDuringTransfer, AnAnswerKeepsItsTypeWhenAClickComesDuringItsTransfer)
{
    connect(3, 2);
    chain->device(0, 1).regs[132] = 0x0001;  // Cell OV
    chain->device(1, 1).regs[132] = 0x0004;  // Cell Open
    control<QRadioButton>("opt53961")->setChecked(true);
    ASSERT_EQ(context.link.SelectedDeviceType, 1);
    selectTab("FAULTS");

    const size_t from = board->requests.size();
    clickDuringTransfer(control<QPushButton>("cbReadAllFaults"));
    test::QueueClick(control<QPushButton>("cbRead_3"));  // fault status (register 132) of device 1
    test::RunEventLoopUntilIdle();

    const Frames expected{"16 40: 12 10 0A",  // the type-1 read
                          "16 00: 12 3C 07", "16 00: 22 3C 01", "16 00: 32 3C 03",
                          "16 40: 12 3C 07", "16 40: 22 3C 01"};
    EXPECT_EQ(framesSince(from), expected);
    EXPECT_EQ(context.link.image.at(1, 1, 132), 0x0004);
    EXPECT_EQ(context.link.image.at(0, 1, 132), 0x0001);
    EXPECT_FALSE(t.programEnd.ending());
    EXPECT_EQ(context.link.log.communicationErrors(), 0);
    EXPECT_EQ(control<QPlainTextEdit>("txtLog")->toPlainText().indexOf("Still Busy"), -1);
}

// Polling ticks only between exchanges: a tick that comes while one is in
// flight (a timer event let through by the exchange's waits) leaves the work
// to the next tick, and the exchange's answer stays its own.
TEST_F(InputDuringTransfer, APollTickDuringAnExchangeWaitsForTheNextTick)
{
    connect(3, 0);
    startPolling();
    selectTab("CELLS 1-8");
    const size_t from = board->requests.size();
    int ticks = 0;
    pump.beforeYield = [&] {
        if (context.pipe.busy() && ticks++ == 0)
            context.polling.Timer2_Timer();
    };
    test::QueueClick(control<QPushButton>("cbRead_0"));
    test::RunEventLoopUntilIdle();
    EXPECT_EQ(framesSince(from), Frames{"16 00: 11 04 01"});
    EXPECT_EQ(context.link.image.at(0, 1, 65), chain->device(0, 1).regs[65]);
    expectNoErrors();

    // Once it is over, the next tick reads the buffer as usual.
    pump.beforeYield = nullptr;
    context.polling.Timer2_Timer();
    EXPECT_EQ(framesSince(from).back(), "17 30:");
}

}  // namespace
