#pragma once
// The chart window "BMS Chart Window": five stacked charts of the chart
// samples with their zoom sliders, chart options, series toggles and the
// clear, auto-fit and export actions. The window draws from the chart model
// and the sample buffers, reduced to the visible time window, at most ten
// times a second.

#include "core/Services.h"
#include "data/ChartDecimation.h"
#include "data/ChartModel.h"
#include "data/DataLogging.h"

#include <QWidget>

#include <array>
#include <vector>

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QSlider;
class QTabBar;
class QTimer;
class QValueAxis;

namespace kvb::ui {

class ChartAxisLines;
class ChartTimeLabels;
class ChartTraceItem;

class FrmCharting : public QWidget {
    Q_OBJECT
public:
    FrmCharting(data::ChartModel& charts, data::DataLogging& logging, Prompter& prompter,
                QWidget* parent = nullptr);
    ~FrmCharting() override;

    // Shows the window without waiting and brings it to the front.
    void showChart();
    // Brings the controls and the charts up to date with the model now.
    void refreshNow();
    // Redraws the series from the buffers (what a refresh does when data
    // changed): only the charts on screen, and of those only the series
    // whose samples, scales or window changed since the last redraw.
    void redrawSeries();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The columns of one drawn series, and what they were traced from: a
    // series that plots other data starts over.
    struct SeriesDrawing {
        data::ChartTrace trace;
        data::ChartModel::SeriesKey key;
    };
    struct ChartBox {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QValueAxis* x = nullptr;
        QValueAxis* y = nullptr;
        std::vector<QLineSeries*> series;  // names, colours and legend entries; no points
        ChartTraceItem* traces = nullptr;  // the lines themselves
        ChartTimeLabels* time = nullptr;   // the time labels shown
        ChartAxisLines* axisLines = nullptr;
        std::vector<SeriesDrawing> drawn;
        data::SampleColumns columns;  // of the samples on the traces' grid, for a refresh of many samples
    };
    // One series to bring up to date from the buffers.
    struct Reduction {
        data::ChartId chart;
        int index;
        bool manySamples;  // columns hold where the chart's samples begin
    };

    void buildControls();
    void buildChart(int c);      // the chart and its axes
    void buildChartView(int c);  // its view, trace item and ground
    void buildZoomFrames();
    void buildChartOptions();
    void buildChartActions();
    void buildSeriesToggles();
    void buildCellSelectors();
    void buildSeriesCheckBoxes();
    void buildGroupButtons();
    void buildLowerLeftInfo();
    QGroupBox* zoomFrame(const char* name, const char* title, data::SliderId slider,
                         const char* sliderName, const char* labelName, bool vertical);
    void rebuildSeriesIfNeeded();
    void fitAxisLines(ChartBox& b);
    bool showChart(data::ChartId id, std::vector<Reduction>& reductions);
    void showAxes(data::ChartId id);
    void planChart(data::ChartId id, std::vector<Reduction>& reductions);
    bool markManySamples(std::vector<Reduction>& reductions, const data::TraceSamples& plotted,
                         std::array<bool, data::kChartCount>& many);
    void findColumns(const std::array<bool, data::kChartCount>& many, const data::TraceSamples& plotted);
    void reduce(const Reduction& r, const data::TraceSamples& samples);
    void refreshSoon();
    void placeLegend(ChartBox& b);
    void applyLayout();
    void syncControls();
    void switchToggleFrames(int tab);
    void exportCsv();

    data::ChartModel& model_;
    data::DataLogging& logging_;
    Prompter& prompter_;
    QWidget* page_ = nullptr;  // the charts and controls, inside the window's scroll area
    std::array<ChartBox, data::kChartCount> charts_;
    std::array<QGroupBox*, 4> valueZoomFrames_{};  // cell, pack, IC, ET
    std::array<QSlider*, data::kSliderCount> sliders_{};
    std::array<QLabel*, data::kSliderCount> sliderLabels_{};
    std::array<QCheckBox*, data::kSeriesToggles> toggles_{};
    QCheckBox *chkRollChart_, *chkShowChartAxisTitles_, *chkShowChartLegends_, *chkShowETChart_,
        *chkShowITChart_, *chkShowChartXAxisLabelsAll_;
    QPushButton *cmbClearChart_, *cmdChartAutoZoom_, *cmdChartExportCsv_, *cmdHideChart_;
    QTabBar* tabStrip_;
    QGroupBox *cellToggles_, *packToggles_, *lowerLeftInfo_;
    std::array<QComboBox*, 2> selectors_{};
    QLabel* lblStartingTime_;
    QTimer* refreshTimer_;
    uint64_t shownRevision_ = ~uint64_t{0};
    std::vector<std::string> shownSeriesNames_;
    bool syncing_ = false;
    bool refreshQueued_ = false;
};

}  // namespace kvb::ui
