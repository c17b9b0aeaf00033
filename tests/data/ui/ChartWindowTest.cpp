#include "app/AppContext.h"
#include "data/ui/ChartAxisLines.h"
#include "data/ui/ChartTimeLabels.h"
#include "data/ui/FastDrawing.h"
#include "data/ui/FrmCharting.h"
#include "sim/SimBoard.h"
#include "support/FakeChartLink.h"
#include "support/TestServices.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace kvb;

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    test::TestServices t;
    sim::SimHidBackend usb;
    test::FakeChartLink chain{true};  // for a test that charts a daisy chain
    std::unique_ptr<AppContext> context = std::make_unique<AppContext>(t.services, usb);
    std::unique_ptr<ui::FrmCharting> window;
    void SetUp() override
    {
        context->charts.ChartingStartup();
        window = std::make_unique<ui::FrmCharting>(context->charts, context->logging,
                                                   context->services.prompter);
    }
    template <typename T>
    T* find(const char* name)
    {
        return window->findChild<T*>(name);
    }
};

TEST_F(ChartWindowTest, ControlsLayoutAndClosing)
{
    EXPECT_EQ(window->windowTitle(), "BMS Chart Window");
    for (const char* name : {"CellVoltageChartControl", "PackVoltageChartControl", "TempChartControl",
                             "ETVoltChartControl", "FaultStatusChartControl"})
        EXPECT_NE(find<QChartView>(name), nullptr) << name;
    for (int i = 0; i < 38; ++i)
        EXPECT_NE(find<QCheckBox>(("chkChartShowSeries_" + std::to_string(i)).c_str()), nullptr) << i;
    EXPECT_EQ(find<QLabel>("lblChartXAxisSliderVal")->text(), "240 min");
    EXPECT_EQ(find<QPushButton>("cmdHideChart")->text(), "Close Chart Window");

    window->resize(10000 / 15, 10000 / 15);
    window->show();
    EXPECT_EQ(window->width(), 16250 / 15);
    EXPECT_EQ(window->height(), 12000 / 15);
    EXPECT_EQ(find<QChartView>("PackVoltageChartControl")->y(), 5820 / 15);
    find<QCheckBox>("chkShowETChart")->setChecked(false);
    find<QCheckBox>("chkShowITChart")->setChecked(false);
    EXPECT_EQ(find<QChartView>("PackVoltageChartControl")->y(), 1920 / 15);
    EXPECT_EQ(find<QChartView>("CellVoltageChartControl")->y(), 3870 / 15);
    EXPECT_FALSE(find<QGroupBox>("fraETVoltsVertZoom")->isVisible());

    find<QSlider>("sliderZoomCellVoltage")->setValue(5);
    EXPECT_EQ(find<QLabel>("lblCellVoltYAxisSliderVal")->text(), "0.5V");
    find<QCheckBox>("chkChartShowSeries_30")->setChecked(true);
    EXPECT_TRUE(context->charts.series(data::PackChart)[6].visible);

    window->close();  // hidden, not gone, while the charts are ready
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(context->charts.ChartReady);
}

TEST_F(ChartWindowTest, ExportCancelReenablesTheButton)
{
    auto* button = find<QPushButton>("cmdChartExportCsv");
    button->click();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Export to CSV cancelled, logfile not created.");
    EXPECT_TRUE(button->isEnabled());
}

// Clear and Auto Fit act once per sample: disabled from their click to the
// next sample (Clear takes Export with it); Export comes back when it ends.
TEST_F(ChartWindowTest, ActionButtonsComeBackAtTheNextSample)
{
    auto* clear = find<QPushButton>("cmbClearChart");
    auto* fit = find<QPushButton>("cmdChartAutoZoom");
    auto* exportButton = find<QPushButton>("cmdChartExportCsv");
    auto image = std::make_unique<link::RegisterImage>();
    image->store(0, 1, 65, 3000);
    auto sample = [&] {
        t.clock.current += std::chrono::seconds(10);
        context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
        window->refreshNow();
    };
    window->show();
    sample();
    sample();
    fit->click();
    EXPECT_FALSE(fit->isEnabled());
    EXPECT_TRUE(clear->isEnabled());
    const std::string path = ::testing::TempDir() + "chart_window_" + std::to_string(::getpid()) + ".csv";
    t.files.saveAnswers = {path};
    exportButton->click();
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_TRUE(exportButton->isEnabled());  // after an export that wrote its file
    EXPECT_FALSE(fit->isEnabled());
    std::remove(path.c_str());
    sample();
    EXPECT_TRUE(fit->isEnabled());

    clear->click();
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_FALSE(fit->isEnabled());
    EXPECT_FALSE(exportButton->isEnabled());
    window->refreshNow();  // a refresh does not bring them back
    EXPECT_FALSE(clear->isEnabled() || fit->isEnabled() || exportButton->isEnabled());
    sample();
    EXPECT_TRUE(clear->isEnabled() && fit->isEnabled() && exportButton->isEnabled());
}

// The start time shows through the system's formats: at set-up today's
// date and time, from a run's first sample the run's start time.
TEST_F(ChartWindowTest, StartTimeInTheSystemsFormats)
{
    t.format.date = "09.12.2026";
    t.format.time = "20:05:07";
    context->charts.ChartingStartup();
    window->refreshNow();
    EXPECT_EQ(find<QLabel>("lblStartingTime")->text(), "09.12.2026 20:05:07");
    t.format.time = "20:06:00";
    auto image = std::make_unique<link::RegisterImage>();
    context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
    window->refreshNow();
    EXPECT_EQ(find<QLabel>("lblStartingTime")->text(), "20:06:00");
}

// The lines are drawn from the sample buffers over the chart's plot area;
// the chart's own series keep names and colours but hold no points.
TEST_F(ChartWindowTest, LinesFollowTheSamplesAndGoWithClearing)
{
    context->link.definitions.regs[0][65].scale = 0.001;  // 3000 counts = 3 V
    context->charts.bindDefinitions(context->link.definitions);
    auto image = std::make_unique<link::RegisterImage>();
    for (int n = 0; n < 200; ++n) {
        image->store(0, 1, 67, static_cast<int16_t>(3000 + n % 7));  // cell 3 of device 1
        t.clock.current += std::chrono::milliseconds(50);
        context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
    }
    window->show();
    window->refreshNow();
    auto* view = find<QChartView>("CellVoltageChartControl");
    auto lineColourPixels = [&] {
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
        const QImage shot = view->grab().toImage();
        const QRect plot = view->chart()->plotArea().toRect();
        // Counted by columns: the samples step by a pixel row now and then.
        int n = 0;
        for (int x = plot.left(); x <= plot.right(); ++x) {
            bool hit = false;
            for (int y = plot.top(); y <= plot.bottom() && !hit; ++y)
                hit = shot.pixelColor(x, y) == QColor(0xFF, 0x80, 0x80);
            n += hit ? 1 : 0;
        }
        return n;
    };
    auto* series = qobject_cast<QLineSeries*>(view->chart()->series().at(2));
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->name(), "Vcell 1-3");
    EXPECT_EQ(series->color(), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(series->count(), 0);
    EXPECT_EQ(qobject_cast<QLineSeries*>(view->chart()->series().at(0))->color(), QColor(Qt::black));
    const int drawn = lineColourPixels();
    // From the start of the time axis to the newest sample, at 10 of its
    // 15 seconds.
    EXPECT_NEAR(drawn, view->chart()->plotArea().width() * 10 / 15, 4);

    find<QPushButton>("cmbClearChart")->click();
    EXPECT_EQ(lineColourPixels(), 0);
}

// The window's charts look the same with their axis lines filled by its
// own item, and their series' empty items hidden, as drawn by the chart:
// lines, ticks, legends and what they cross.
TEST_F(ChartWindowTest, ChartsLookAsTheChartsOwn)
{
    context->link.definitions.regs[0][65].scale = 0.001;
    context->charts.bindDefinitions(context->link.definitions);
    auto image = std::make_unique<link::RegisterImage>();
    for (int n = 0; n < 200; ++n) {
        image->store(0, 1, 67, static_cast<int16_t>(3000 + n % 7));  // a line in the cell chart
        t.clock.current += std::chrono::milliseconds(50);
        context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
    }
    window->show();
    window->refreshNow();
    std::vector<ui::ChartAxisLines*> lineItems;
    std::vector<QGraphicsObject*> seriesItems;
    for (QChartView* view : window->findChildren<QChartView*>())
        for (QGraphicsItem* item : view->scene()->items()) {
            if (auto* lines = dynamic_cast<ui::ChartAxisLines*>(item))
                lineItems.push_back(lines);
            if (QGraphicsObject* object = item->toGraphicsObject(); object && object->inherits("ChartItem"))
                seriesItems.push_back(object);
        }
    ASSERT_EQ(lineItems.size(), 5u);
    ASSERT_FALSE(seriesItems.empty());
    auto shot = [&] {
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
        return window->grab().toImage();
    };
    for (ui::ChartAxisLines* lines : lineItems)
        EXPECT_TRUE(lines->takenOver());
    for (QGraphicsObject* series : seriesItems)
        EXPECT_FALSE(series->isVisible());
    const QImage filled = shot();
    for (ui::ChartAxisLines* lines : lineItems)
        lines->takeOver(false);
    for (QGraphicsObject* series : seriesItems)
        series->setVisible(true);
    const QImage drawn = shot();
    ASSERT_EQ(filled.size(), drawn.size());
    EXPECT_TRUE(filled == drawn);
}

// The time labels show the window of the newest samples; a chart that
// shows no time labels catches up when its labels are shown.
TEST_F(ChartWindowTest, TimeLabelsFollowTheRollingWindow)
{
    auto image = std::make_unique<link::RegisterImage>();
    image->store(0, 1, 65, 3000);
    auto add = [&](int samples) {
        for (int n = 0; n < samples; ++n) {
            t.clock.current += std::chrono::minutes(1);
            context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
        }
        window->refreshNow();
    };
    auto timeLabels = [&](const char* chart) -> const ui::ChartTimeLabels* {
        for (QGraphicsItem* item : find<QChartView>(chart)->chart()->childItems())
            if (auto* labels = dynamic_cast<ui::ChartTimeLabels*>(item))
                return labels;
        return nullptr;
    };
    window->show();
    find<QCheckBox>("chkShowChartXAxisLabelsAll")->setChecked(false);
    add(300);  // five hours: the 240-minute window rolls
    const data::AxisRange& shown = context->charts.timeAxis();
    ASSERT_GT(shown.viewMin, 0);
    EXPECT_FALSE(timeLabels("PackVoltageChartControl")->shown());
    // The window shown stands on whole pixel columns: it lies less than a
    // column to the right of the model's, with the same span; the labels
    // are its ends and three steps between, to two places.
    auto expectShown = [&](const char* chart) {
        const ui::ChartTimeLabels* labels = timeLabels(chart);
        ASSERT_NE(labels, nullptr) << chart;
        EXPECT_TRUE(labels->shown()) << chart;
        const double column =
            (shown.viewMax - shown.viewMin) / find<QChartView>(chart)->chart()->plotArea().width();
        EXPECT_GE(labels->min(), shown.viewMin) << chart;
        EXPECT_LT(labels->min(), shown.viewMin + column) << chart;
        EXPECT_NEAR(labels->max() - labels->min(), shown.viewMax - shown.viewMin, 1e-9) << chart;
        ASSERT_EQ(labels->texts().size(), 5u) << chart;
        EXPECT_EQ(labels->texts()[0], QString::number(labels->min(), 'f', 2)) << chart;
        EXPECT_EQ(labels->texts()[2], QString::number(labels->min() + 120, 'f', 2)) << chart;
        EXPECT_EQ(labels->texts()[4], QString::number(labels->max(), 'f', 2)) << chart;
    };
    expectShown("CellVoltageChartControl");
    add(10);
    find<QCheckBox>("chkShowChartXAxisLabelsAll")->setChecked(true);
    for (const char* chart : {"PackVoltageChartControl", "TempChartControl", "ETVoltChartControl",
                              "FaultStatusChartControl", "CellVoltageChartControl"}) {
        expectShown(chart);
    }
}

// A legend takes as many columns beside its chart as the series shown need,
// from the refresh that shows or hides them.
TEST_F(ChartWindowTest, LegendColumnsFollowTheSeriesShown)
{
    chain.connected = context->transport.EvbConnected;
    context->charts.bindLink(chain);
    window->show();
    window->refreshNow();
    auto* view = find<QChartView>("CellVoltageChartControl");
    auto legendWidth = [&] { return view->chart()->legend()->geometry().width(); };
    find<QPushButton>("cmbChartShowAll_0")->click();
    find<QPushButton>("cmbChartShowAll_1")->click();
    const double twoColumns = legendWidth();  // 24 cells of two devices
    find<QPushButton>("cmbChartShowNone_1")->click();
    EXPECT_EQ(legendWidth(), twoColumns / 2);
    EXPECT_NEAR(view->chart()->legend()->geometry().right(), view->width() - 4, 1);
    find<QPushButton>("cmbChartShowAll_1")->click();
    EXPECT_EQ(legendWidth(), twoColumns);
    EXPECT_GT(twoColumns, 0);
}

TEST(FastDrawingTest, RoundTripWithPaddedRows)
{
    QImage image(5, 3, QImage::Format_RGB888);  // 15-byte rows padded to 16
    image.fill(Qt::black);
    image.setPixelColor(4, 0, QColor(10, 20, 30));
    ui::FastDrawing fd;
    EXPECT_EQ(fd.GetImageWidth(image), 4);
    EXPECT_EQ(fd.GetImageHeight(image), 3);
    EXPECT_EQ(fd.GetImageStreamLength(image), 45);
    std::vector<uint8_t> data;
    fd.GetImageData(image, data);
    ASSERT_EQ(data.size(), 45u);
    const size_t top = 3 * (4 + 5 * 2);  // the top row is the last bitmap row
    EXPECT_EQ(data[top], 30);
    EXPECT_EQ(data[top + 2], 10);
    data[0] = 255;  // bottom-left pixel's blue
    fd.SetImageData(image, data);
    EXPECT_EQ(image.pixelColor(0, 2), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(4, 0), QColor(10, 20, 30));
}

}  // namespace
