// The MAIN and MONITOR pages and the logs while a 14-device chain is polled:
// when a tick ends the pages show every device's answer, whenever the window
// can show anything during the tick (a wait that lets events run) they show
// the answers parsed so far, and a tick refreshes a page once rather than
// after each of its answers.

#include "app/AppContext.h"
#include "app/ui/MainKvb71853.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using namespace kvb;

constexpr int kDevices = 14;
constexpr int kPackRegister = 64;
constexpr int kFirstCellRegister = 65;
// Volts per count: pack 80 V and cells 5 V over their 14-bit ranges.
constexpr double kPackVolts = 80.0 / 16384;
constexpr double kCellVolts = 5.0 / 8192;

class PollTickPages : public ::testing::Test, protected test::WindowDriver {
protected:
    void SetUp() override
    {
        context.transport.InitUsbHidConnection();
        main = std::make_unique<ui::MainKvb71853>(context);
        drive(main.get());
        sim.chain->setDevices(0, kDevices);
        configure(true, 0, kDevices);
        ASSERT_EQ(context.link.DeviceCount1, kDevices);
        main->show();
        selectTab("MAIN");
        // The ticks are the test's own: the timer would fire only after 5 s.
        control<QLineEdit>("tbPollingInterval")->setText("5000");
        Poller& poller = context.polling;
        poller.options = PollOptions{};
        poller.options[PollAction::ScanAll] = true;  // new values every tick
        poller.options[PollAction::ReadVolts] = true;
        control<QCheckBox>("chkEnablePolling")->setChecked(true);
        ASSERT_TRUE(poller.pollingOn());
    }

    QLineEdit* box(const QString& name, int index) const
    {
        return control<QLineEdit>(QString("%1_%2").arg(name).arg(index));
    }
    int16_t chip(int device, int reg) const { return sim.chain->device(0, device).regs[reg]; }
    int16_t image(int device, int reg) const { return context.link.image.at(0, device, reg); }

    // A shown value in "###0.0000" that stands for `volts`.
    static ::testing::AssertionResult Shows(const QLineEdit* shown, double volts)
    {
        const QString text = shown->text();
        static const QRegularExpression format("^-?[0-9]+\\.[0-9]{4}$");
        if (!format.match(text).hasMatch() || std::abs(text.toDouble() - volts) > 0.00005 + 1e-9)
            return ::testing::AssertionFailure()
                   << shown->objectName().toStdString() << " shows \"" << text.toStdString()
                   << "\" for " << volts;
        return ::testing::AssertionSuccess();
    }

    test::TestServices t;
    test::SimulatedChain sim{t};
    AppContext context{t.services, sim.usb};
    std::unique_ptr<ui::MainKvb71853> main;
};

TEST_F(PollTickPages, WhenATickEndsBothPagesShowEveryDevicesAnswer)
{
    for (int tick = 0; tick < 2; ++tick) {
        context.polling.Timer2_Timer();  // no event runs before the boxes are read
        double stack = 0;
        for (int n = 1; n <= kDevices; ++n) {
            const double pack = chip(n, kPackRegister) * kPackVolts;
            EXPECT_TRUE(Shows(box("tbMainTabDeviceVbat", n - 1), pack));
            stack += pack;
        }
        EXPECT_TRUE(Shows(control<QLineEdit>("tbMainTabStackVoltage"), stack));
        for (int c = 0; c < 12; ++c)
            EXPECT_TRUE(Shows(box("tbMainTabCellVoltage", c), chip(1, kFirstCellRegister + c) * kCellVolts));
        EXPECT_TRUE(Shows(control<QLineEdit>("tbMainTabVbatVoltage"), chip(1, kPackRegister) * kPackVolts));
    }

    selectTab("MONITOR");
    context.polling.Timer2_Timer();
    for (int f = 0; f < 4; ++f) {
        EXPECT_TRUE(Shows(box("tbMonitorTabVbatVoltage", f), chip(f + 1, kPackRegister) * kPackVolts));
        for (int c = 0; c < 12; ++c)
            EXPECT_TRUE(Shows(box("tbMonitorTabCellVoltage", 12 * f + c),
                              chip(f + 1, kFirstCellRegister + c) * kCellVolts));
    }
}

// The window can paint only when events run: at every wait of the tick that
// lets them run, the MAIN page must already show what the answers so far
// brought, device by device.
TEST_F(PollTickPages, AWaitInsideATickFindsThePageShowingTheAnswersSoFar)
{
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    int waits = 0, changedSoFar = 0, stale = 0;
    std::array<int16_t, kDevices + 1> atStart{};
    for (int n = 1; n <= kDevices; ++n)
        atStart[n] = image(n, kPackRegister);
    t.pump.hook = [&] {
        QCoreApplication::processEvents();  // what the window system's wait does
        ++waits;
        int changed = 0;
        for (int n = 1; n <= kDevices; ++n) {
            if (!Shows(box("tbMainTabDeviceVbat", n - 1), image(n, kPackRegister) * kPackVolts))
                ++stale;
            changed += image(n, kPackRegister) != atStart[n] ? 1 : 0;
        }
        changedSoFar = std::max(changedSoFar, changed);
    };
    context.polling.Timer2_Timer();
    t.pump.hook = nullptr;
    EXPECT_GT(waits, kDevices);
    // The waits came between the devices' answers, not only before or
    // after all of them.
    EXPECT_GE(changedSoFar, kDevices - 1);
    EXPECT_EQ(stale, 0);
}

TEST_F(PollTickPages, ATickRefreshesThePageOnceNotAfterEveryAnswer)
{
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    auto* stack = control<QLineEdit>("tbMainTabStackVoltage");
    const QString before = stack->text();
    int changes = 0;
    QObject::connect(stack, &QLineEdit::textChanged, [&] { ++changes; });
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    // Every device's pack voltage moved, and the stack shows their new sum.
    EXPECT_NE(stack->text(), before);
    EXPECT_EQ(changes, 1);

    // Outside a tick an answer shows at once, as before.
    changes = 0;
    control<QPushButton>("cbScanAllAll")->click();
    control<QPushButton>("cbReadAllVolts")->click();
    EXPECT_GE(changes, 1);
    double sum = 0;
    for (int n = 1; n <= kDevices; ++n)
        sum += chip(n, kPackRegister) * kPackVolts;
    EXPECT_TRUE(Shows(stack, sum));
}

// A value that did not change is left alone (every answer refreshes the
// page, and most values stay as they were): its box keeps the caret and
// the selection it had.
TEST_F(PollTickPages, AnUnchangedValueKeepsItsBoxsCaretAndSelection)
{
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    auto* limit = control<QLineEdit>("tbMainTabOVLimit");  // no tick reads the limits
    ASSERT_EQ(limit->text().size(), 6);
    limit->setSelection(0, 3);
    context.polling.Timer2_Timer();
    EXPECT_EQ(limit->selectedText(), limit->text().left(3));
    limit->setCursorPosition(2);
    context.polling.Timer2_Timer();
    EXPECT_EQ(limit->cursorPosition(), 2);

    // A value that changed is shown, whatever the caret.
    auto* cell = box("tbMainTabCellVoltage", 0);  // every tick moves the cells
    cell->setCursorPosition(0);
    context.polling.Timer2_Timer();
    EXPECT_TRUE(Shows(cell, chip(1, kFirstCellRegister) * kCellVolts));
}

// The tick empties the logs before its commands log: once events ran, the
// boxes hold this tick's lines only, and a line logged before the tick is
// gone.
TEST_F(PollTickPages, EachTickLeavesItsOwnLinesInTheLogs)
{
    auto* log = control<QPlainTextEdit>("txtLog");
    auto* hex = control<QPlainTextEdit>("txt53960HexLog");
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    const int lines = log->document()->blockCount();
    const int hexLines = hex->document()->blockCount();
    ASSERT_GT(lines, kDevices);
    ASSERT_GT(hexLines, kDevices);
    EXPECT_TRUE(log->toPlainText().startsWith("cmd,"));

    context.link.log.AddToEvbLog("before the tick");
    QCoreApplication::processEvents();
    ASSERT_TRUE(log->toPlainText().contains("before the tick"));
    context.link.log.AddToEvbLog("queued before the tick");
    context.polling.Timer2_Timer();
    QCoreApplication::processEvents();
    EXPECT_FALSE(log->toPlainText().contains("before the tick"));
    EXPECT_EQ(log->document()->blockCount(), lines);
    EXPECT_EQ(hex->document()->blockCount(), hexLines);
    EXPECT_TRUE(log->toPlainText().startsWith("cmd,"));
    // The view ends at the newest line.
    EXPECT_EQ(log->textCursor().position(), log->document()->characterCount() - 1);

    // A line after the tick is added to the tick's lines.
    context.link.log.AddToEvbLog("after the tick");
    QCoreApplication::processEvents();
    EXPECT_TRUE(log->toPlainText().endsWith("after the tick\n"));
    EXPECT_EQ(log->document()->blockCount(), lines + 1);
}

}  // namespace
