#include "bench/GpibLibrary.h"
#include "bench/InstrumentPanel.h"
#include "bench/ui/FrmInst.h"
#include "sim/SimGpibBus.h"
#include "support/TestServices.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kvb;

namespace {

class InstrumentWindow : public ::testing::Test {
protected:
    template <typename T>
    T* find(const char* name)
    {
        T* w = form.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    test::TestServices t;
    sim::SimGpibBus bus;
    bench::InstrumentPanel panel{t.services, bus};
    ui::FrmInst form{panel};
};

}  // namespace

TEST_F(InstrumentWindow, ShowsEverySectionWithItsDefaults)
{
    EXPECT_EQ(form.windowTitle(), "IEEE Test Station Instruments");
    EXPECT_EQ(find<QLineEdit>("txtAdr53131")->text(), "3");
    EXPECT_EQ(find<QLineEdit>("txt53131Command_3")->text(), ":FREQ:ARM:STOP:TIM 2.000");
    EXPECT_EQ(find<QLineEdit>("txtAuxPSCommand_0")->text(), "APPL P25V, 25.0,  1.0");
    EXPECT_EQ(find<QLineEdit>("txtDVMAddress_8")->text(), "36");
    EXPECT_EQ(find<QGroupBox>("frDVMSet_2")->title(), "VM Control 3");
    EXPECT_EQ(find<QLineEdit>("txtVIILimit_1")->text(), "100");
    EXPECT_EQ(find<QLineEdit>("txtVI228String_0")->text(), "B16.53,3,X");
    EXPECT_EQ(find<QLabel>("lblVIMeasureB_4")->text(), "-000.000 mA");
    EXPECT_EQ(form.findChild<QLineEdit*>("TXTlbVIlControlString_2"), nullptr);
    EXPECT_EQ(find<QRadioButton>("OptS1B_4")->text(), "CLR");
    EXPECT_EQ(find<QLabel>("lblSweepStatus")->text(), "Sweep Stopped");
    EXPECT_NE(find<QPushButton>("cmdSwPLDVMminus"), nullptr);
    EXPECT_NE(find<QPushButton>("cmdSwVBVIplus_4"), nullptr);
    EXPECT_TRUE(find<QPushButton>("cmdVIDOMeas_0")->isHidden());
}

TEST_F(InstrumentWindow, TypedTextGoesToTheInstrumentAndTheOutcomeIsShown)
{
    auto* range = find<QLineEdit>("txtDCRange_0");
    range->selectAll();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, "2");
    QApplication::sendEvent(range, &typed);
    find<QPushButton>("cmdDVMSetDC_0")->click();
    EXPECT_EQ(bus.writesTo(28), std::vector<std::string>{"F1T1R2N4"});
    EXPECT_EQ(find<QLabel>("lblDVMControlString_0")->text(), "F1T1R2N4");
    find<QPushButton>("cmdDVMGetMeas_0")->click();
    EXPECT_EQ(find<QLabel>("lblDVMReading_0")->text(), "1.23456 DCV");

    find<QPushButton>("cmdSetVIMODE_0")->click();
    EXPECT_FALSE(find<QPushButton>("cmdVIDOMeas_0")->isHidden());
    find<QPushButton>("cmdVIDOMeas_0")->click();
    EXPECT_EQ(find<QLabel>("lblVIMeasureA_0")->text(), "+1.20000E+00 V");
}

TEST_F(InstrumentWindow, SelectorsActOnClickAndTogglesChangeTheirPicture)
{
    find<QPushButton>("cmdSWINIT")->click();
    EXPECT_EQ(find<QLabel>("lbl3488ID")->text(), "HP3488A");
    find<QRadioButton>("OptS1A_2")->click();
    EXPECT_EQ(bus.instrument<sim::SimSwitch>(10)->closedChannels, (std::set<int>{102}));
    auto* toggle = find<QPushButton>("cmdSwVHVIminus_1");
    toggle->click();
    EXPECT_TRUE(panel.switchUnit.SmuMinusLinks[1][2]);
    EXPECT_EQ(toggle->property("picture").toInt(), static_cast<int>(bench::Picture::RelayLinked) + 1);
}

TEST_F(InstrumentWindow, CounterTimerRunsBetweenStartAndStop)
{
    find<QPushButton>("cmd53141Init")->click();
    find<QPushButton>("cmdStartTimer_0")->click();
    auto* timer = form.findChild<QTimer*>("TimerFreq");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2000);
    find<QPushButton>("cmdStartTimer_1")->click();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(find<QListWidget>("ReadingsList53131_1")->count(), 1);
}

TEST_F(InstrumentWindow, CounterReadingsAreAppendedAndTheListKeepsTheMostRecent)
{
    find<QPushButton>("cmd53141Init")->click();
    auto* list = find<QListWidget>("ReadingsList53131_2");
    auto* read = find<QPushButton>("xms53131_4");
    read->click();
    // A row already shown stays the same row: the list is not rebuilt.
    list->item(0)->setData(Qt::UserRole, 42);
    read->click();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 42);

    // Past the counter's 1001 readings the oldest row goes.
    for (int i = 2; i < 1001; ++i)
        panel.counter.xms53131_4_Click();
    form.refresh();
    ASSERT_EQ(list->count(), 1001);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 42);
    list->item(1)->setData(Qt::UserRole, 43);
    read->click();
    ASSERT_EQ(list->count(), 1001);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 43);
    EXPECT_EQ(list->item(1000)->text(), find<QLabel>("lblCounter1Read_0")->text());

    // "Start" empties it; the next reading is its only row.
    find<QPushButton>("cmdStartTimer_0")->click();
    EXPECT_EQ(list->count(), 0);
    find<QPushButton>("cmdStartTimer_1")->click();
    read->click();
    EXPECT_EQ(list->count(), 1);
}

TEST(InstrumentWindowWithoutLibrary, SaysOnceThatNoLibraryWasFound)
{
    test::TestServices t;
    bench::GpibLibrary none({"libkvb-no-such-gpib.so"});
    bench::InstrumentPanel panel{t.services, none};
    ui::FrmInst form{panel};
    form.findChild<QPushButton*>("cmdSWINIT")->click();
    form.findChild<QPushButton*>("cmdSWINIT")->click();
    EXPECT_THAT(t.prompter.texts(),
                ::testing::Contains(::testing::HasSubstr("No GPIB library was found")).Times(1));
    EXPECT_EQ(t.programEnd.quits, 0);
}
