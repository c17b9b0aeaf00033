#pragma once
// The chart window open on a 14-device chain, fed samples straight into the
// chart model: each sample sets every charted register of every device in a
// register image (moving values, so the lines wander), moves the fake clock
// by the poll interval and is taken by the model. `redraw` does what the
// window's refresh timer does when the charts changed and lets the event
// loop lay out and paint them. Used by the chart benchmarks and tests.

#include "app/AppContext.h"
#include "data/ui/ChartTraceItem.h"
#include "data/ui/FrmCharting.h"
#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "support/FakeChartLink.h"
#include "support/TestServices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QtCharts/QChartView>

#include <chrono>
#include <memory>
#include <vector>

namespace kvb::test {

// Counts the paint events of the chart views and the pixels they paint.
struct ChartPaintCounter : QObject {
    int paints = 0;
    double pixels = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<double>(r.width()) * r.height();
        }
        return QObject::eventFilter(watched, event);
    }
};

struct ChartFeed {
    TestServices t;
    sim::SimHidBackend usb;
    FakeChartLink chain{true, true};  // charted as a connected daisy chain
    std::unique_ptr<AppContext> context = std::make_unique<AppContext>(t.services, usb);
    std::unique_ptr<link::RegisterImage> image = std::make_unique<link::RegisterImage>();
    std::unique_ptr<ui::FrmCharting> window;
    std::chrono::milliseconds step;
    ChartPaintCounter counter;
    int n = 0;
    bool mapLoaded = false;

    // Opens the window filling the screen of `size` (at its default size
    // when empty, or when no screen has that size) and feeds `fill` samples
    // (the buffers are full from kLastSample on), `step` apart.
    explicit ChartFeed(int fill, std::chrono::milliseconds apart = std::chrono::milliseconds(50),
                       QSize size = {})
        : step(apart)
    {
        // The program's register map gives the samples their real scales,
        // so the lines land inside the charts' windows as they would live.
        auto& defs = context->link.definitions;
        for (const QString& folder : {QString("."), QCoreApplication::applicationDirPath() + "/.."})
            if (!mapLoaded)
                mapLoaded = link::LoadRegisterDefinitionFile(
                                (folder + "/" + link::kTabdefsFileName).toStdString(), defs)
                                .ok();
        auto& charts = context->charts;
        charts.bindDefinitions(defs);
        charts.bindLink(chain);
        charts.ChartingStartup();
        window = std::make_unique<ui::FrmCharting>(context->charts, context->logging,
                                                   context->services.prompter);
        if (!size.isEmpty())
            for (QScreen* screen : QGuiApplication::screens())
                if (screen->size() == size) {
                    // Wanting the whole screen, the window takes its
                    // available area.
                    window->setScreen(screen);
                    window->move(screen->geometry().topLeft());
                    window->resize(size);
                }
        window->show();
        for (int k = 0; k < fill; ++k)
            next();
        for (auto* view : window->findChildren<QChartView*>())
            view->viewport()->installEventFilter(&counter);
        redraw();  // the first drawing of the buffers is not what is measured
    }
    // The trace items of the five charts.
    std::vector<ui::ChartTraceItem*> traceItems() const
    {
        std::vector<ui::ChartTraceItem*> items;
        for (auto* view : window->findChildren<QChartView*>())
            for (QGraphicsItem* item : view->chart()->childItems())
                if (auto* traces = dynamic_cast<ui::ChartTraceItem*>(item))
                    items.push_back(traces);
        return items;
    }
    // Drawings of the whole pictures so far, over the five charts.
    int wholeDrawings() const
    {
        int drawings = 0;
        for (auto* item : traceItems())
            drawings += item->wholeDrawings();
        return drawings;
    }
    void redraw()
    {
        window->refreshNow();
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
    }
    void next()
    {
        ++n;
        for (int d = 1; d <= 14; ++d) {
            for (int c = 0; c < 12; ++c)
                image->store(0, d, 65 + c, static_cast<int16_t>(5000 + (n * 7 + c * 13 + d) % 900));
            image->store(0, d, 64, static_cast<int16_t>(8000 + n % 300));
            image->store(0, d, 80, static_cast<int16_t>(9200 + n % 50));
            for (int e = 0; e < 4; ++e)
                image->store(0, d, 81 + e, static_cast<int16_t>(4000 + (n + e) % 200));
            image->store(0, d, 132, 0);
            image->store(1, d, 132, 0);
        }
        t.clock.current += step;
        context->charts.AddNewVoltageDataToChartArray(*image, t.clock);
    }
};

}  // namespace kvb::test
