#include "data/ui/FrmCharting.h"

#include "data/ChartDecimation.h"
#include "data/ChartExport.h"
#include "data/ChartWindowLayout.h"
#include "data/ui/ChartAxisLines.h"
#include "data/ui/ChartTimeLabels.h"
#include "data/ui/ChartTraceItem.h"
#include "data/ui/SpreadWork.h"
#include "core/ui/ScreenFit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGraphicsObject>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QRegion>
#include <QShowEvent>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <optional>

namespace kvb::ui {

using namespace kvb::data;

namespace {

int px(int twips) { return twips / kTwipsPerPixel; }

QColor fromBgr(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

// The lower left frame's start time label, and the fixed labels after it.
constexpr int kStartingTimeWidth = 3300;
constexpr int kFixedInfoLeft = 1680 + kStartingTimeWidth + 60;

const char* kChartNames[kChartCount] = {"CellVoltageChartControl", "PackVoltageChartControl",
                                        "TempChartControl", "ETVoltChartControl",
                                        "FaultStatusChartControl"};

// The chart theme fills the background with a gradient whose stops are all
// one colour; a plain colour looks the same and fills many times faster.
// The colour, or none when the stops differ.
QColor solidBackground(const QChart* chart)
{
    const QBrush brush = chart->backgroundBrush();
    const QGradient* g = brush.gradient();
    if (!g)
        return brush.style() == Qt::SolidPattern ? brush.color() : QColor();
    if (g->stops().isEmpty())
        return {};
    const QColor colour = g->stops().first().second;
    for (const QGradientStop& stop : g->stops())
        if (stop.second != colour)
            return {};
    return colour;
}

// The series' own chart items draw nothing, as the series hold no points
// (the trace item draws the lines), but each repaint of a plot visits and
// paints every one of them; hidden, they are passed over. The chart shows a
// series' item again when the series is shown. The legend follows the
// series, not their items.
void HideSeriesItems(QChart* chart)
{
    for (QGraphicsItem* item : chart->childItems())
        if (QGraphicsObject* object = item->toGraphicsObject();
            object && object->isVisible() && object->inherits("ChartItem"))
            object->setVisible(false);
}

// A chart view that paints the chart's ground itself around the plot: the
// trace item's opaque picture covers the plot, so only the rest of a paint
// is filled, once, instead of the viewport's ground and the chart's
// background both filling all of it.
class ChartView : public QChartView {
public:
    ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {}
    void setGround(QColor colour, const ChartTraceItem* traces)
    {
        colour_ = colour;
        traces_ = traces;
        chart()->setBackgroundVisible(false);
        viewport()->setAutoFillBackground(false);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        // The viewport fills the frameless view: the page behind it need
        // not be painted either.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override
    {
        QRegion ground(rect.toAlignedRect());
        if (traces_->covers())
            ground -= traces_->mapRectToScene(traces_->boundingRect()).toAlignedRect();
        for (const QRect& r : ground)
            painter->fillRect(r, colour_);
    }

private:
    QColor colour_;
    const ChartTraceItem* traces_ = nullptr;
};

}  // namespace

FrmCharting::FrmCharting(data::ChartModel& charts, data::DataLogging& logging, Prompter& prompter,
                         QWidget* parent)
    : QWidget(parent), model_(charts), logging_(logging), prompter_(prompter)
{
    setObjectName("frmCharting");
    setWindowTitle("BMS Chart Window");
    // The window is laid out in twips for an 8-point face.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    // The charts and controls keep the window's least size; on a screen
    // lower than that they scroll down inside the window.
    page_ = new QWidget;
    page_->setObjectName("chartPage");
    page_->setMinimumSize(px(kChartWindowMinWidth), px(kChartWindowMinHeight));
    page_->installEventFilter(this);
    buildControls();
    auto* scroll = new ScrollingContent(page_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(px(kChartWindowMinWidth), px(kChartWindowMinHeight));
    OpenOnScreen(this, scroll);
    applyLayout();
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(100);  // at most ten redraws a second
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        if (model_.revision() != shownRevision_)
            refreshNow();
    });
    refreshTimer_->start();
    refreshNow();
}

FrmCharting::~FrmCharting() = default;

void FrmCharting::showChart()
{
    show();
    raise();
    activateWindow();
}

QGroupBox* FrmCharting::zoomFrame(const char* name, const char* title, SliderId slider,
                                  const char* sliderName, const char* labelName, bool vertical)
{
    auto* frame = new QGroupBox(title, page_);
    frame->setObjectName(name);
    if (vertical) {
        // The value zoom frames are narrow: a condensed face keeps their
        // titles whole.
        QFont narrow = font();
        narrow.setPointSizeF(6.5);
        narrow.setStretch(QFont::Condensed);
        frame->setFont(narrow);
    }
    auto* s = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, frame);
    s->setObjectName(sliderName);
    s->setRange(0, kZoomPositions);
    s->setSingleStep(1);
    s->setPageStep(5);
    auto* label = new QLabel(frame);
    label->setObjectName(labelName);
    if (vertical) {
        s->setInvertedAppearance(true);  // position 0 at the top
        s->setGeometry(px(120), px(240), px(300), px(1500));
        label->setGeometry(px(60), px(1800), px(780), px(300));
    } else {
        s->setGeometry(px(120), px(240), px(3000), px(300));
        label->setGeometry(px(120), px(540), px(3000), px(255));
    }
    connect(s, &QSlider::valueChanged, this, [this, slider](int v) {
        if (syncing_)
            return;
        model_.setSliderPosition(slider, v);
        refreshNow();
    });
    sliders_[slider] = s;
    sliderLabels_[slider] = label;
    return frame;
}

void FrmCharting::buildControls()
{
    for (int c = 0; c < kChartCount; ++c) {
        buildChart(c);
        buildChartView(c);
    }
    buildZoomFrames();
    buildChartOptions();
    buildChartActions();
    buildSeriesToggles();
    buildLowerLeftInfo();

    cmdHideChart_ = new QPushButton("Close Chart Window", page_);
    cmdHideChart_->setObjectName("cmdHideChart");
    cmdHideChart_->resize(px(2055), px(375));
    connect(cmdHideChart_, &QPushButton::clicked, this, &QWidget::hide);
}

void FrmCharting::buildChart(int c)
{
    ChartBox& b = charts_[c];
    b.chart = new QChart();
    b.chart->setMargins(QMargins(2, 2, 2, 2));
    b.chart->legend()->setAlignment(Qt::AlignRight);
    // Small legend and axis texts: the cell chart lists 24 series and
    // the time labels stand on end, in charts about 130 px high.
    QFont legendFont = font();
    legendFont.setPointSizeF(6);
    b.chart->legend()->setFont(legendFont);
    QFont axisFont = font();
    axisFont.setPointSizeF(7);
    b.x = new QValueAxis(b.chart);
    b.y = new QValueAxis(b.chart);
    b.x->setLabelFormat("%0.2f");
    b.x->setLabelsAngle(-90);
    for (QValueAxis* axis : {b.x, b.y}) {
        axis->setLabelsFont(axisFont);
        axis->setTitleFont(axisFont);
    }
    // The fault chart is short: three value labels fit where five
    // would be cut to dots.
    if (c == FaultChart)
        b.y->setTickCount(3);
    b.chart->addAxis(b.x, Qt::AlignBottom);
    b.chart->addAxis(b.y, Qt::AlignLeft);
}

void FrmCharting::buildChartView(int c)
{
    const int designTops[kChartCount] = {8760, 6480, 4200, 1920, 120};
    ChartBox& b = charts_[c];
    auto* view = new ChartView(b.chart, page_);
    b.view = view;
    b.view->setObjectName(kChartNames[c]);
    b.traces = new ChartTraceItem(b.chart);
    b.traces->setSpreader(SpreadSteps);
    // The trace item draws the plot's ground and grid under the lines,
    // as the chart would; the chart draws neither, and its view fills
    // the rest of the chart in the theme's colour.
    ChartTraceItem::Ground ground;
    ground.colour = solidBackground(b.chart);
    if (!ground.colour.isValid())
        ground.colour = Qt::white;
    view->setGround(ground.colour, b.traces);
    ground.grid = b.x->gridLineColor();
    ground.verticalLines = b.x->tickCount();
    ground.horizontalLines = b.y->tickCount();
    b.x->setGridLineVisible(false);
    b.y->setGridLineVisible(false);
    b.traces->setGround(ground);
    b.time = new ChartTimeLabels(b.chart, b.x);
    b.axisLines = new ChartAxisLines(b.chart, {b.x, b.y});
    connect(b.chart, &QChart::plotAreaChanged, this, [this, c] {
        charts_[c].traces->followPlotArea();
        charts_[c].time->followPlotArea();
        charts_[c].axisLines->followPlotArea();
        shownRevision_ = ~uint64_t{0};  // traced again to the new width
        refreshSoon();
    });
    place(b.view, kChartLeft, designTops[c], 12615, c == FaultChart ? 1815 : 2295);
}

void FrmCharting::buildZoomFrames()
{
    valueZoomFrames_[0] = zoomFrame("fraVCellVertZoom", "VCELL ZOOM", CellSlider,
                                    "sliderZoomCellVoltage", "lblCellVoltYAxisSliderVal", true);
    valueZoomFrames_[1] = zoomFrame("fraVPackVertZoom", "VPACK ZOOM", PackSlider,
                                    "sliderZoomPackVoltage", "lblPackVoltYAxisSliderVal", true);
    valueZoomFrames_[2] = zoomFrame("fraITempVertZoom", "ICTEMP ZOOM", ICTempSlider,
                                    "sliderZoomITemp", "lblITempYAxisSliderVal", true);
    valueZoomFrames_[3] = zoomFrame("fraETVoltsVertZoom", "ET_V ZOOM", ETSlider,
                                    "sliderZoomETemp", "lblETempYAxisSliderVal", true);
    auto* horiz = zoomFrame("fraHorizZoom", "HORIZ ZOOM", TimeSlider, "sliderZoomTime",
                            "lblChartXAxisSliderVal", false);
    place(horiz, 120, 1080, kChartLeft - 120, kChartsTop - 1080);
}

void FrmCharting::buildChartOptions()
{
    auto* options = new QGroupBox("CHART OPTIONS", page_);
    options->setObjectName("fraChartOptions");
    place(options, 120, kChartsTop, 2295, 4440 - kChartsTop);
    auto option = [&](const char* name, const char* text, int row, bool ChartModel::*flag) {
        auto* box = new QCheckBox(text, options);
        box->setObjectName(name);
        box->setChecked(true);
        place(box, 120, 240 + row * 360, 2100, 300);
        connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
            if (syncing_)
                return;
            model_.*flag = on;
            applyLayout();
            refreshNow();
        });
        return box;
    };
    chkRollChart_ = option("chkRollChart", "Roll Chart Mode", 0, &ChartModel::RollChart);
    chkShowChartAxisTitles_ =
        option("chkShowChartAxisTitles", "Show Axis Titles", 1, &ChartModel::ShowAxisTitles);
    chkShowChartLegends_ = option("chkShowChartLegends", "Show Legends", 2, &ChartModel::ShowLegends);
    chkShowETChart_ = option("chkShowETChart", "Show ET Volt. Chart", 3, &ChartModel::ShowETChart);
    chkShowITChart_ = option("chkShowITChart", "Show IC Temp Chart", 4, &ChartModel::ShowITChart);
    chkShowChartXAxisLabelsAll_ = option("chkShowChartXAxisLabelsAll", "Show All Axis Labels", 5,
                                         &ChartModel::ShowAllAxisLabels);
}

void FrmCharting::buildChartActions()
{
    auto* actions = new QGroupBox("CHART ACTIONS", page_);
    actions->setObjectName("fraChartActions");
    place(actions, 120, 4440, 2295, 1815);
    auto action = [&](const char* name, const char* text, int row) {
        auto* b = new QPushButton(text, actions);
        b->setObjectName(name);
        place(b, 240, 300 + row * 480, 1815, 420);
        return b;
    };
    cmbClearChart_ = action("cmbClearChart", "Clear Charts", 0);
    cmdChartAutoZoom_ = action("cmdChartAutoZoom", "Auto Fit", 1);
    cmdChartExportCsv_ = action("cmdChartExportCsv", "Export...", 2);
    connect(cmbClearChart_, &QPushButton::clicked, this, [this] {
        model_.ClearCharts();
        refreshNow();
    });
    connect(cmdChartAutoZoom_, &QPushButton::clicked, this, [this] {
        model_.AutoFit();
        refreshNow();
    });
    connect(cmdChartExportCsv_, &QPushButton::clicked, this, [this] { exportCsv(); });
}

// The VCELL and VPACK tabs and the series check boxes each of them shows.
void FrmCharting::buildSeriesToggles()
{
    tabStrip_ = new QTabBar(page_);
    tabStrip_->setObjectName("TabStrip1");
    tabStrip_->addTab("VCELL");
    tabStrip_->addTab("VPACK");
    place(tabStrip_, 105, 6300, 2325, 360);

    cellToggles_ = new QGroupBox(page_);
    cellToggles_->setObjectName("fraChartCellVoltageToggles");
    packToggles_ = new QGroupBox(page_);
    packToggles_->setObjectName("fraChartPackVoltageToggles");
    place(cellToggles_, 225, 6780, 2085, 4470);
    place(packToggles_, 345, 7020, 1845, 4380);
    buildCellSelectors();
    buildSeriesCheckBoxes();
    buildGroupButtons();
    connect(tabStrip_, &QTabBar::currentChanged, this, [this](int i) { switchToggleFrames(i); });
    switchToggleFrames(0);
}

void FrmCharting::buildCellSelectors()
{
    for (int k = 0; k < 2; ++k) {
        auto* dev = new QLabel("DEV", cellToggles_);
        place(dev, 120 + k * 1000, 120, 360, 255);
        auto* combo = new QComboBox(cellToggles_);
        combo->setObjectName(QString("cboChartCellSelector_%1").arg(k));
        for (int d = 1; d <= 14; ++d)
            combo->addItem(QString::number(d));
        place(combo, 480 + k * 1000, 60, 600, 330);
        connect(combo, &QComboBox::activated, this, [this, k](int index) {
            model_.HandlePackSelectCombobox(k, index);
            refreshNow();
        });
        selectors_[k] = combo;
    }
}

void FrmCharting::buildSeriesCheckBoxes()
{
    auto toggle = [&](int index, QWidget* parent, const QString& text, int left, int top) {
        auto* box = new QCheckBox(text, parent);
        box->setObjectName(QString("chkChartShowSeries_%1").arg(index));
        place(box, left, top, parent == packToggles_ ? 1200 : 960, 270);
        connect(box, &QCheckBox::toggled, this, [this, index](bool on) {
            if (syncing_)
                return;
            model_.setToggle(index, on);
            refreshNow();
        });
        toggles_[index] = box;
    };
    for (int k = 0; k < 2; ++k)
        for (int c = 0; c < 12; ++c)
            toggle(k * 12 + c, cellToggles_, QString("CELL %1").arg(c + 1), 120 + k * 1000,
                   480 + c * 270);
    for (int p = 0; p < 14; ++p)
        toggle(24 + p, packToggles_, QString("PACK %1").arg(p + 1), 120, 120 + p * 270);
}

void FrmCharting::buildGroupButtons()
{
    // A cell column's "All" and "None" stand one above the other under the
    // column, wide enough for their captions; the pack frame has room for
    // them side by side.
    auto groupButtons = [&](int index, QWidget* parent, int left, int top, bool stacked) {
        auto* all = new QPushButton("All", parent);
        all->setObjectName(QString("cmbChartShowAll_%1").arg(index));
        auto* none = new QPushButton("None", parent);
        none->setObjectName(QString("cmbChartShowNone_%1").arg(index));
        const int width = stacked ? 900 : 780;
        place(all, left, top, width, 300);
        if (stacked)
            place(none, left, top + 330, width, 300);
        else
            place(none, left + width + 60, top, width, 300);
        connect(all, &QPushButton::clicked, this, [this, index] {
            model_.showGroup(index, true);
            refreshNow();
        });
        connect(none, &QPushButton::clicked, this, [this, index] {
            model_.showGroup(index, false);
            refreshNow();
        });
    };
    groupButtons(0, cellToggles_, 60, 3780, true);
    groupButtons(1, cellToggles_, 1060, 3780, true);
    groupButtons(2, packToggles_, 120, 3990, false);
}

void FrmCharting::buildLowerLeftInfo()
{
    lowerLeftInfo_ = new QGroupBox(page_);
    lowerLeftInfo_->setObjectName("fraLowerLeftInfo");
    auto* startCaption = new QLabel("DATA START TIME: ", lowerLeftInfo_);
    place(startCaption, 60, 60, 1620, 255);
    lblStartingTime_ = new QLabel(lowerLeftInfo_);
    lblStartingTime_->setObjectName("lblStartingTime");
    // Room for a short date and a long time with its zone in the locales'
    // longer formats ("2026/12/28 22時44分59秒 UTC", "12/28/26 10:44:59 PM UTC").
    place(lblStartingTime_, 1680, 60, kStartingTimeWidth, 255);
    const char* fixed[] = {"MAX = 3.999V", "MIN = 3.500V", "COUNT = 0"};
    for (int i = 0; i < 3; ++i)
        place(new QLabel(fixed[i], lowerLeftInfo_), kFixedInfoLeft + i * 1440, 60, 1380, 255);
}

void FrmCharting::switchToggleFrames(int tab)
{
    const QRect strip = tabStrip_->geometry();
    if (tab == 0) {
        cellToggles_->move(strip.left() + px(120), strip.top() + px(480));
        cellToggles_->show();
        packToggles_->hide();
        packToggles_->move(px(30000), px(30000));
    } else {
        cellToggles_->hide();
        cellToggles_->move(px(30000), px(30000));
        packToggles_->move(strip.left() + px(240), strip.top() + px(720));
        packToggles_->show();
    }
}

void FrmCharting::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshNow();  // nothing is drawn while the window is hidden
}

bool FrmCharting::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == page_ && event->type() == QEvent::Resize)
        applyLayout();
    return QWidget::eventFilter(watched, event);
}

void FrmCharting::applyLayout()
{
    if (isMinimized())
        return;
    // The page is never smaller than the window's least size: the scroll
    // area keeps it so.
    const int w = page_->width() * kTwipsPerPixel, h = page_->height() * kTwipsPerPixel;
    const ChartWindowLayout l =
        LayoutChartWindow(w, h, model_.ShowETChart, model_.ShowITChart,
                          cmdHideChart_->width() * kTwipsPerPixel,
                          cmdHideChart_->height() * kTwipsPerPixel);
    auto setChart = [&](ChartId id, QGroupBox* zoom, SliderId slider, const ChartPlace& p) {
        QChartView* v = charts_[id].view;
        v->setVisible(p.visible);
        if (zoom)
            zoom->setVisible(p.visible);
        if (!p.visible)
            return;
        place(v, kChartLeft, p.top, p.width, p.height);
        placeLegend(charts_[id]);  // at the new right edge now, not at the next refresh
        if (zoom) {
            place(zoom, 2520, p.top, kChartLeft - 2520, p.height);
            // The slider takes the frame's height above its value label.
            place(sliders_[slider], 120, 240, 300, std::max(p.height - 660, 300));
            place(sliderLabels_[slider], 60, p.height - 390, 780, 300);
        }
    };
    setChart(FaultChart, nullptr, TimeSlider, l.fault);
    setChart(ETChart, valueZoomFrames_[3], ETSlider, l.et);
    setChart(ICTempChart, valueZoomFrames_[2], ICTempSlider, l.icTemp);
    setChart(PackChart, valueZoomFrames_[1], PackSlider, l.pack);
    setChart(CellChart, valueZoomFrames_[0], CellSlider, l.cell);
    cmdHideChart_->move(px(l.hideButtonLeft), px(l.hideButtonTop));
    place(lowerLeftInfo_, 120, l.lowerInfoTop, kFixedInfoLeft + 3 * 1440, 375);
}

// A legend longer than its chart is high is laid out in columns beside the
// plot (a detached legend fills one column after another).
void FrmCharting::placeLegend(ChartBox& b)
{
    QLegend* legend = b.chart->legend();
    const int rowHeight = 18;
    const int columnWidth = 84;
    const int height = b.view->height() - 8;
    const int rows = std::max(height / rowHeight, 1);
    int shown = 0;
    for (QLineSeries* s : b.series)
        shown += s->isVisible() ? 1 : 0;
    const int columns = std::max((shown + rows - 1) / rows, 1);
    const int width = legend->isVisible() ? columns * columnWidth : 0;
    if (legend->isAttachedToChart())
        legend->detachFromChart();
    const QMargins margins(2, 2, 2 + width, 2);
    const QRectF place(b.view->width() - width - 4, 4, width, height);
    // Placed again only when it moves: a legend placed anew is painted anew.
    if (b.chart->margins() == margins && legend->geometry() == place)
        return;
    b.chart->setMargins(margins);
    legend->setGeometry(place);
    legend->update();
}

void FrmCharting::closeEvent(QCloseEvent* event)
{
    // The window lives for the whole run: closing only hides it.
    if (model_.ChartReady) {
        event->ignore();
        hide();
        return;
    }
    QWidget::closeEvent(event);
}

void FrmCharting::exportCsv()
{
    model_.exportEnabled = false;
    syncControls();
    const bool daisy = model_.daisy();
    const int count = model_.typeZeroCount();
    ExportCSV(logging_, prompter_, model_.samples(), model_.definitions(),
              daisy, count);
    model_.exportEnabled = true;  // also after a cancel or a failure
    refreshNow();
}

void FrmCharting::syncControls()
{
    syncing_ = true;
    for (int s = 0; s < kSliderCount; ++s) {
        sliders_[s]->setValue(model_.sliderPosition(static_cast<SliderId>(s)));
        sliderLabels_[s]->setText(QString::fromStdString(model_.sliderCaption(static_cast<SliderId>(s))));
    }
    for (int i = 0; i < kSeriesToggles; ++i)
        toggles_[i]->setChecked(model_.toggle(i));
    chkRollChart_->setChecked(model_.RollChart);
    chkShowChartAxisTitles_->setChecked(model_.ShowAxisTitles);
    chkShowChartLegends_->setChecked(model_.ShowLegends);
    chkShowETChart_->setChecked(model_.ShowETChart);
    chkShowITChart_->setChecked(model_.ShowITChart);
    chkShowChartXAxisLabelsAll_->setChecked(model_.ShowAllAxisLabels);
    cmbClearChart_->setEnabled(model_.clearEnabled);
    cmdChartAutoZoom_->setEnabled(model_.autoFitEnabled);
    cmdChartExportCsv_->setEnabled(model_.exportEnabled);
    for (int k = 0; k < 2; ++k)
        if (model_.ChartDevices[k] >= 1 && model_.ChartDevices[k] <= 14)
            selectors_[k]->setCurrentIndex(model_.ChartDevices[k] - 1);
    lblStartingTime_->setText(QString::fromStdString(model_.startingTimeText));
    syncing_ = false;
}

void FrmCharting::rebuildSeriesIfNeeded()
{
    std::vector<std::string> names;
    for (int c = 0; c < kChartCount; ++c)
        for (const ChartSeries& s : model_.series(static_cast<ChartId>(c)))
            names.push_back(s.name);
    if (names == shownSeriesNames_)
        return;
    shownSeriesNames_ = names;
    for (int c = 0; c < kChartCount; ++c) {
        ChartBox& b = charts_[c];
        const std::vector<ChartSeries>& defs = model_.series(static_cast<ChartId>(c));
        // Another charted device renames series but keeps their number and
        // colours: the series stay, and only those whose samples changed
        // are reduced again.
        bool sameColours = defs.size() == b.series.size();
        for (size_t i = 0; sameColours && i < defs.size(); ++i)
            sameColours = b.traces->lines()[i].colour == fromBgr(defs[i].colour);
        if (sameColours) {
            for (size_t i = 0; i < defs.size(); ++i) {
                const QString name = QString::fromStdString(defs[i].name);
                if (b.series[i]->name() != name)
                    b.series[i]->setName(name);
            }
            continue;
        }
        b.chart->removeAllSeries();
        b.series.clear();
        b.traces->lines().clear();
        for (const ChartSeries& s : model_.series(static_cast<ChartId>(c))) {
            auto* line = new QLineSeries(b.chart);
            line->setName(QString::fromStdString(s.name));
            b.chart->addSeries(line);
            // After adding: the chart theme gives a series that still has the
            // default pen (black) a colour of its own.
            line->setColor(fromBgr(s.colour));
            line->attachAxis(b.x);
            line->attachAxis(b.y);
            b.series.push_back(line);
            b.traces->lines().push_back({fromBgr(s.colour), false, {}});
        }
        b.drawn.assign(b.series.size(), SeriesDrawing{});
        b.traces->redraw();
    }
}

void FrmCharting::redrawSeries()
{
    rebuildSeriesIfNeeded();
    const ChartSamples& samples = model_.samples();
    const TraceSamples plotted{samples.minutesData(), model_.plottedSamples(), samples.DroppedSamples(),
                               samples.RunNumber()};
    std::vector<Reduction> reductions;
    std::vector<ChartTraceItem*> drawn;
    std::vector<ChartId> shown;
    for (int c = 0; c < kChartCount; ++c)
        if (showChart(static_cast<ChartId>(c), reductions)) {
            drawn.push_back(charts_[c].traces);
            shown.push_back(static_cast<ChartId>(c));
        }
    // Tracing the series and drawing the lines are most of a refresh. Each
    // series is traced on its own, and each band of columns of a chart's
    // lines draws on its own, while nothing changes the buffers: the work
    // is spread over the application's thread pool.
    // A refresh after a sample or two counts only those into each trace and
    // draws a few columns: quicker here than handed to other threads.
    constexpr int64_t kFewColumns = 64;
    std::array<bool, kChartCount> many{};
    const bool few = markManySamples(reductions, plotted, many);
    // A thread for each 2000 columns of the charts shown: with fewer
    // columns each, waking another thread costs more processor time than
    // it saves. A whole redraw at 1920x1080 (some 7500 columns) takes four
    // threads; one at 3840x2160 (some 17000) nine, or all the pool has.
    constexpr int64_t kColumnsPerThread = 2000;
    int64_t shownColumns = 0;
    for (ChartTraceItem* item : drawn)
        shownColumns += item->columns();
    const auto threads = static_cast<size_t>(
        std::max<int64_t>(1, (shownColumns + kColumnsPerThread - 1) / kColumnsPerThread));
    for (ChartId id : shown)
        showAxes(id);
    auto reduceOne = [this, &plotted](const Reduction& r) { reduce(r, plotted); };
    if (few) {
        ClearUpperVectorHalves();
        for (const Reduction& r : reductions)
            reduceOne(r);
    } else {
        // Many samples: where each column's samples begin is found first,
        // here (a fraction of a millisecond, less than waking the pool for
        // it costs), for the traces to share.
        ClearUpperVectorHalves();
        findColumns(many, plotted);
        Spread(reductions, reduceOne, threads);
    }
    std::vector<std::pair<ChartTraceItem*, int>> parts;
    int64_t columns = 0;
    for (ChartTraceItem* item : drawn) {
        for (int k = 0, n = item->beginDrawing(); k < n; ++k)
            parts.emplace_back(item, k);
        columns += item->columnsToDraw();
    }
    auto drawOne = [](const std::pair<ChartTraceItem*, int>& part) {
        part.first->drawPart(part.second);
    };
    if (few && columns <= kFewColumns) {
        ClearUpperVectorHalves();
        for (const auto& part : parts)
            drawOne(part);
    } else {
        Spread(parts, drawOne, threads);
    }
}

// Brings a chart's axes, legend and series to the model's options, and, when
// it shows, sets its window and finds the series to bring up to date; tells
// whether it shows.
bool FrmCharting::showChart(ChartId id, std::vector<Reduction>& reductions)
{
    ChartBox& b = charts_[id];
    const ChartAxes& a = model_.axes(id);
    if (b.y->labelFormat() != QString::fromStdString(a.valueFormat))
        b.y->setLabelFormat(QString::fromStdString(a.valueFormat));
    b.y->setTitleText(QString::fromStdString(a.valueTitle));
    b.y->setTitleVisible(model_.ShowAxisTitles);
    b.x->setTitleText("Elapsed Time (min)");
    b.x->setTitleVisible(id == CellChart && model_.ShowAxisTitles);
    b.x->setLabelsVisible(id == CellChart || model_.ShowAllAxisLabels);
    b.chart->legend()->setVisible(model_.ShowLegends);
    fitAxisLines(b);
    const auto& defs = model_.series(id);
    for (size_t i = 0; i < b.series.size() && i < defs.size(); ++i)
        b.series[i]->setVisible(defs[i].visible && model_.seriesHasData(id, static_cast<int>(i)));
    HideSeriesItems(b.chart);
    placeLegend(b);  // as long as the series now shown need
    // A hidden window or chart is drawn when it is shown.
    if (!b.view->isVisible())
        return false;
    planChart(id, reductions);
    return true;
}

// Brings the axes' ranges of a chart shown to its window.
void FrmCharting::showAxes(ChartId id)
{
    ChartBox& b = charts_[id];
    const AxisRange& value = model_.axes(id).value;
    // The time grid stands at fixed fractions of the plot, so a chart
    // without time labels shows nothing of its time axis's range; its
    // labels are worked out again only when they show. The window shown
    // stands on whole pixel columns, so the labels change only when the
    // lines move by a column.
    const ChartTraceItem::Window shown = b.traces->shownWindow();
    b.time->show(b.x->labelsVisible(), shown.xMin, shown.xMax);
    if (b.y->min() != value.viewMin || b.y->max() != value.viewMax)
        b.y->setRange(value.viewMin, value.viewMax);
}

// The axes' lines and ticks are a pixel wide. At one device pixel to the
// pixel that is a hairline, which looks the same and which the chart bounds
// without stroking its outline, as it otherwise does for every tick of
// every axis at each paint; hairlines are then filled by the chart's axis
// line item.
void FrmCharting::fitAxisLines(ChartBox& b)
{
    const double width = devicePixelRatioF() == 1.0 ? 0.0 : 1.0;
    bool changed = false;
    for (QValueAxis* axis : {b.x, b.y}) {
        QPen pen = axis->linePen();
        if (pen.widthF() != width) {
            pen.setWidthF(width);
            axis->setLinePen(pen);
            changed = true;
        }
    }
    if (changed)
        b.axisLines->takeOver(width == 0.0);
}

// Marks the reductions that take more than a few samples, and the charts
// they are of; tells whether all take only a few.
bool FrmCharting::markManySamples(std::vector<Reduction>& reductions, const TraceSamples& plotted,
                                  std::array<bool, kChartCount>& many)
{
    constexpr int64_t kFewSamples = 16;
    bool few = true;
    many = {};
    for (Reduction& r : reductions) {
        const ChartBox& b = charts_[r.chart];
        r.manySamples = !b.drawn[static_cast<size_t>(r.index)].trace.followsOn(plotted, b.traces->grid(),
                                                                             b.traces->firstColumn(), kFewSamples);
        few = few && !r.manySamples;
        many[r.chart] = many[r.chart] || r.manySamples;
    }
    return few;
}

// Finds, for the charts marked, where each column's samples begin; charts
// of one plot width share their columns, found once.
void FrmCharting::findColumns(const std::array<bool, kChartCount>& many, const TraceSamples& plotted)
{
    std::array<bool, kChartCount> found{};
    for (int c = 0; c < kChartCount; ++c) {
        if (!many[c])
            continue;
        const ChartTraceItem* item = charts_[c].traces;
        const int64_t from = item->firstColumn(), to = from + item->columns();
        int same = 0;
        while (same < c && !(found[same] && charts_[same].columns.builtFor(item->grid(), from, to)))
            ++same;
        if (same < c) {
            charts_[c].columns = charts_[same].columns;
        } else {
            charts_[c].columns.build(plotted, item->grid(), from, to);
            found[c] = true;
        }
    }
}

// Sets the chart's window and finds the series whose columns must be
// brought up to date.
void FrmCharting::planChart(ChartId id, std::vector<Reduction>& reductions)
{
    ChartBox& b = charts_[id];
    const AxisRange& t = model_.timeAxis();
    const AxisRange& v = model_.axes(id).value;
    b.traces->setWindow({t.viewMin, t.viewMax, v.viewMin, v.viewMax}, devicePixelRatioF());
    std::vector<ChartTraceItem::Line>& lines = b.traces->lines();
    for (size_t i = 0; i < b.series.size() && i < lines.size(); ++i) {
        ChartTraceItem::Line& line = lines[i];
        line.shown = b.series[i]->isVisible();
        line.trace = &b.drawn[i].trace;
        if (!line.shown)
            continue;
        SeriesDrawing& d = b.drawn[i];
        const ChartModel::SeriesKey key = model_.seriesKey(id, static_cast<int>(i));
        if (key != d.key) {
            d.key = key;
            d.trace.reset();
        }
        reductions.push_back({id, static_cast<int>(i), true});
    }
}

void FrmCharting::reduce(const Reduction& r, const TraceSamples& plotted)
{
    ChartBox& b = charts_[r.chart];
    SeriesDrawing& d = b.drawn[static_cast<size_t>(r.index)];
    const int16_t* raw = d.key.data;
    const int64_t first = b.traces->firstColumn();
    const ChartModel::SeriesUnits units = model_.seriesUnitsOf(r.chart, r.index);
    const data::SampleColumns* columns = r.manySamples ? &b.columns : nullptr;
    // The conversion of each kind on its own, so that none asks for its kind
    // at every sample; a column's extremes are found on the counts where the
    // values follow them.
    const std::optional<data::CountOrder> order = units.countOrder(raw);
    auto follow = [&]<ChartModel::SeriesUnits::Kind kind>() {
        struct Values {
            const int16_t* raw;
            double scale, offset;
            double operator()(int s) const { return ChartModel::SeriesUnits{kind, scale, offset}(raw[s]); }
        };
        struct Counted : Values {
            data::CountOrder order;
            data::CountOrder countOrder() const { return order; }
        };
        const Values values{raw, units.scale, units.offset};
        const int64_t to = first + b.traces->columns();
        if (order)
            d.trace.follow(plotted, b.traces->grid(), first, to, Counted{values, *order}, columns);
        else
            d.trace.follow(plotted, b.traces->grid(), first, to, values, columns);
    };
    switch (units.kind) {
    case ChartModel::SeriesUnits::Cell:
        follow.operator()<ChartModel::SeriesUnits::Cell>();
        break;
    case ChartModel::SeriesUnits::Scaled:
        follow.operator()<ChartModel::SeriesUnits::Scaled>();
        break;
    case ChartModel::SeriesUnits::ICTemp:
        follow.operator()<ChartModel::SeriesUnits::ICTemp>();
        break;
    case ChartModel::SeriesUnits::Fault:
        follow.operator()<ChartModel::SeriesUnits::Fault>();
        break;
    }
}

// A refresh once the event loop runs again (after a relayout of a chart).
void FrmCharting::refreshSoon()
{
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued_ = false;
        if (isVisible())
            refreshNow();
    });
}

void FrmCharting::refreshNow()
{
    shownRevision_ = model_.revision();
    syncControls();
    redrawSeries();
}

}  // namespace kvb::ui
