// A chart window that follows the samples one refresh at a time draws only
// the columns that changed; what it shows must be, pixel for pixel, what a
// window drawing the same charts whole shows: at 1920x1080 and 3840x2160,
// through samples that leave the window where it was, samples that shift
// it by a column or by many, and the oldest samples dropped; and a window
// drawn whole again over its old picture (a zoom in time or in value) must
// leave nothing of the lines it showed before.

#include "support/ui/ChartFeed.h"
#include "support/ui/ChartInView.h"

#include <QBackingStore>
#include <QImage>
#include <QSlider>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;

const char* const kCharts[] = {"CellVoltageChartControl", "PackVoltageChartControl", "TempChartControl",
                               "ETVoltChartControl", "FaultStatusChartControl"};

void Settle()
{
    for (int k = 0; k < 3; ++k)
        QCoreApplication::processEvents();
}

void OpenAt(QWidget* window, QSize size)
{
    window->show();
    Settle();
    window->resize(size);
    Settle();
}

// What the screen shows of a chart: its part of its window's picture, as
// the window was last painted (where the trace items copy their pictures
// straight in).
QImage OnScreen(QChartView* view)
{
    QWidget* window = view->window();
    QPaintDevice* device = window->backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        return {};
    const QRect area(view->viewport()->mapTo(window, QPoint(0, 0)), view->viewport()->size());
    return static_cast<QImage*>(device)->copy(area).convertToFormat(QImage::Format_RGB32);
}

// A chart painted by the painter alone: on an image of another format than
// the trace item's picture, the item leaves the copy to the painter.
QImage PaintersPicture(QChartView* view)
{
    QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    view->viewport()->render(&image);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Each chart of `followed` against a window opened now on the same model,
// which draws every chart whole, as the screen shows them; and against the
// painter's own copy of its picture.
void ExpectSameAsWhole(kvb::test::ChartFeed& f, QSize size, const char* when)
{
    f.redraw();
    auto whole = std::make_unique<kvb::ui::FrmCharting>(f.context->charts, f.context->logging,
                                                       f.context->services.prompter);
    OpenAt(whole.get(), size);
    ASSERT_EQ(whole->size(), f.window->size()) << when;
    whole->refreshNow();
    Settle();
    for (const char* name : kCharts) {
        auto* a = f.window->findChild<QChartView*>(name);
        auto* b = whole->findChild<QChartView*>(name);
        ASSERT_EQ(a->chart()->plotArea(), b->chart()->plotArea()) << name << ", " << when;
        const QImage shown = OnScreen(a), drawnWhole = OnScreen(b);
        ASSERT_FALSE(shown.isNull()) << name << ", " << when;
        EXPECT_EQ(kvb::test::DifferingPixels(shown, drawnWhole), 0) << name << ", " << when;
        EXPECT_EQ(kvb::test::DifferingPixels(shown, PaintersPicture(a)), 0) << name << ", " << when << ", the painter's copy";
    }
}

void FollowAndCompare(QSize size)
{
    // A 240-minute window over full buffers: most samples stay within the
    // newest column, every ninth or so shifts the window by one.
    kvb::test::ChartFeed f(kvb::data::kLastSample - 20, 500ms);
    ASSERT_TRUE(f.mapLoaded);
    OpenAt(f.window.get(), size);
    ASSERT_EQ(f.window->size(), size);
    f.redraw();
    const int whole = f.wholeDrawings();
    int partial = 0;
    for (auto* item : f.traceItems())
        partial -= item->partialDrawings();
    for (int k = 0; k < 40; ++k) {  // through the first drop of the oldest samples
        f.next();
        f.redraw();
    }
    for (auto* item : f.traceItems())
        partial += item->partialDrawings();
    // Drawn by changed columns, apart from the drop's whole drawing.
    EXPECT_GE(partial, 5 * 30);
    EXPECT_LE(f.wholeDrawings() - whole, 5 * 3);
    ExpectSameAsWhole(f, size, "rolling 240 minutes");

    // Zoomed in time and then in value: the lines land elsewhere in each
    // column, and the ground under the old ones is laid again.
    auto* time = f.window->findChild<QSlider*>("sliderZoomTime");
    time->setValue(1);
    Settle();
    time->setValue(2);
    Settle();
    ExpectSameAsWhole(f, size, "zoomed to 120 and back to 240 minutes");
    auto* cells = f.window->findChild<QSlider*>("sliderZoomCellVoltage");
    ASSERT_NE(cells, nullptr);
    cells->setValue(cells->value() == cells->minimum() ? cells->maximum() : cells->minimum());
    Settle();
    ExpectSameAsWhole(f, size, "cell voltages zoomed");

    // Half a minute: each sample shifts the window by many columns, with
    // long segments between the samples.
    f.window->findChild<QSlider*>("sliderZoomTime")->setValue(10);
    f.redraw();
    for (int k = 0; k < 30; ++k) {
        f.next();
        f.redraw();
    }
    ExpectSameAsWhole(f, size, "rolling half a minute");
}

TEST(ChartIncrementalDrawing, MatchesTheWholeDrawingAt1920x1080)
{
    FollowAndCompare({1920, 1080});
}

TEST(ChartIncrementalDrawing, MatchesTheWholeDrawingAt3840x2160)
{
    FollowAndCompare({3840, 2160});
}

}  // namespace
