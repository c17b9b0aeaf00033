#include "data/ui/FastDrawing.h"
#include "data/ui/FrmCharting.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtCharts/QChartView>

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    test::TestServices t;
    sim::SimHidBackend usb;
    std::unique_ptr<AppContext> context = std::make_unique<AppContext>(t.services, usb);
    std::unique_ptr<ui::FrmCharting> window;
    void SetUp() override
    {
        context->charts.ChartingStartup();
        window = std::make_unique<ui::FrmCharting>(*context);
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
    EXPECT_EQ(find<QChartView>("PackVoltageChartControl")->y(), 6480 / 15);
    find<QCheckBox>("chkShowETChart")->setChecked(false);
    find<QCheckBox>("chkShowITChart")->setChecked(false);
    EXPECT_EQ(find<QChartView>("PackVoltageChartControl")->y(), 1920 / 15);
    EXPECT_EQ(find<QChartView>("CellVoltageChartControl")->y(), 4200 / 15);
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
