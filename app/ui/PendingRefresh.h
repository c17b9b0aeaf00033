#pragma once
// A view that a burst of answers would refresh after every answer, refreshed
// once for the burst instead: a request made while the burst runs only marks
// the view stale, and the view is refreshed when the event loop next runs
// (a wait that lets events run, a message box's loop, or the return of the
// burst's handler), before the window next paints, and when the burst ends.
// The user therefore sees every answer's values whenever the window can
// show anything at all, at a fraction of the cost. Outside a burst a request
// refreshes the view at once.

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace kvb::ui {

class PendingRefresh : public QObject {
public:
    // `refresh` repaints the view's controls from the model (and decides
    // itself whether the view is shown); `inBurst` tells whether requests
    // are to be gathered now. The window's paints are watched so that it
    // never paints a stale view.
    PendingRefresh(QWidget* window, std::function<void()> refresh, std::function<bool()> inBurst)
        : QObject(window), refresh_(std::move(refresh)), inBurst_(std::move(inBurst))
    {
        window->installEventFilter(this);
    }

    void request()
    {
        if (!inBurst_ || !inBurst_()) {
            stale_ = false;
            refresh_();
            return;
        }
        stale_ = true;
        if (!queued_) {
            queued_ = true;
            // A queued call: it runs before the window's paint request,
            // which the window system posts at a lower priority.
            QTimer::singleShot(0, this, [this] {
                queued_ = false;
                flush();
            });
        }
    }

    // Refreshes the view now if a request is still outstanding.
    void flush()
    {
        if (!stale_)
            return;
        stale_ = false;
        refresh_();
    }

    bool stale() const { return stale_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)
            flush();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> refresh_;
    std::function<bool()> inBurst_;
    bool stale_ = false;
    bool queued_ = false;
};

}  // namespace kvb::ui
