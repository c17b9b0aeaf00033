#include "core/ui/ScreenFit.h"

#include "core/WindowFit.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace kvb::ui {

namespace {

// Title bar, borders: what a window manager draws around a window when no
// window of the program has been framed yet to learn it from.
constexpr FrameMargins kUsualFrame{4, 32, 4, 4};
// How often, and how many times, a window is looked at for its frame after
// it has been shown.
constexpr int kFrameLookInterval = 50;
constexpr int kFrameLooks = 40;
// A window manager's icon and buttons beside a centred title, both sides.
constexpr int kTitleBarExtras = 160;

Area AreaOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

QRect RectOf(const Area& a)
{
    return {a.left, a.top, a.width, a.height};
}

// The width a window needs for a title bar that shows `title` whole beside
// the window manager's icon and buttons.
int TitleBarWidth(const QString& title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtras;
}

// A window the window manager draws no frame around.
bool Frameless(const QWidget* w)
{
    return w->windowFlags().testFlag(Qt::FramelessWindowHint);
}

// The frame the window manager drew around `w`; all zero while it has not
// framed it.
FrameMargins FrameOf(const QWidget* w)
{
    const QWindow* handle = w->windowHandle();
    if (!handle)
        return {};
    const QMargins m = handle->frameMargins();
    return {m.left(), m.top(), m.right(), m.bottom()};
}

bool Framed(const FrameMargins& m)
{
    return m != FrameMargins{};
}

// The window's own frame once the window manager has drawn it; until then
// that of another window of the program (a shown one first), else the
// usual one.
FrameMargins ExpectedFrame(const QWidget* window)
{
    if (Frameless(window))
        return {};
    if (const FrameMargins own = FrameOf(window); Framed(own))
        return own;
    FrameMargins hidden{};
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window)
            continue;
        const FrameMargins m = FrameOf(other);
        if (!Framed(m))
            continue;
        if (other->isVisible())
            return m;
        hidden = m;
    }
    return Framed(hidden) ? hidden : kUsualFrame;
}

class ScreenFitter : public QObject {
public:
    ScreenFitter(QWidget* window, ScrollingContent* content)
        : QObject(window), window_(window), content_(content)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || placing_)
            return false;
        if (event->type() == QEvent::Show && !event->spontaneous() && !opened_) {
            opened_ = true;
            open();
        } else if (opened_ && !framed_ &&
                   (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            settle();
        }
        return false;
    }

private:
    Area available() const
    {
        const QScreen* screen = window_->screen();
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        return AreaOf(screen->availableGeometry());
    }

    WindowFit fit(QSize wanted, const FrameMargins& frame, const Area& centreOn) const
    {
        WindowRequest r;
        wanted.setWidth(std::max(wanted.width(), TitleBarWidth(window_->windowTitle())));
        r.wanted = {wanted.width(), wanted.height()};
        if (content_) {
            // Menu bar and the like: whatever the window holds beside the
            // content's area.
            if (window_->layout())
                window_->layout()->activate();
            const QSize least = content_->contentLeast() + (window_->size() - content_->size());
            r.least = {least.width(), least.height()};
            r.scrollBar = content_->barWidth();
        } else {
            const QSize least = window_->minimumSize().expandedTo(window_->minimumSizeHint());
            r.least = {std::max(least.width(), 0), std::max(least.height(), 0)};
        }
        r.available = available();
        r.frame = frame;
        r.centreOn = centreOn;
        return FitWindow(r);
    }

    void apply(const WindowFit& f)
    {
        placing_ = true;
        if (content_)
            window_->setMinimumSize(f.least.width, f.least.height);
        window_->setGeometry(RectOf(f.inside));
        placing_ = false;
    }

    void open()
    {
        used_ = ExpectedFrame(window_);
        Area centreOn = available();
        if (window_->testAttribute(Qt::WA_Moved))
            centreOn = AreaOf(window_->frameGeometry());
        else if (const QWidget* parent = window_->parentWidget(); parent && parent->window()->isVisible())
            centreOn = AreaOf(parent->window()->frameGeometry());
        // A window the program never sized wants the size its layout asks
        // for, which Qt's own opening size may have cut to part of the
        // screen.
        wanted_ = window_->testAttribute(Qt::WA_Resized)
                      ? window_->size()
                      : window_->sizeHint().expandedTo(window_->size());
        apply(fit(wanted_, used_, centreOn));
        settle();
        // The window manager frames the window once it maps it, and need not
        // move or resize it then: the frame is looked for a while.
        if (!framed_) {
            auto* look = new QTimer(this);
            look->setInterval(kFrameLookInterval);
            connect(look, &QTimer::timeout, this, [this, look] {
                settle();
                if (framed_ || ++looks_ >= kFrameLooks)
                    look->deleteLater();
            });
            look->start();
        }
    }

    // The window manager has framed the window: with a frame other than the
    // one expected, the window takes the size and place it would have had
    // with that frame, about the same centre.
    void settle()
    {
        const FrameMargins frame = FrameOf(window_);
        if (!Framed(frame) && !Frameless(window_))
            return;
        framed_ = true;
        if (frame == used_)
            return;
        const QRect outer = window_->windowHandle() ? window_->windowHandle()->frameGeometry()
                                                    : window_->frameGeometry();
        const WindowFit f = fit(wanted_, frame, AreaOf(outer));
        if (RectOf(f.inside) != window_->geometry())
            apply(f);
    }

    QWidget* window_;
    ScrollingContent* content_;
    FrameMargins used_;  // the frame the window was opened for
    QSize wanted_;
    int looks_ = 0;
    bool opened_ = false;
    bool framed_ = false;
    bool placing_ = false;
};

}  // namespace

ScrollingContent::ScrollingContent(QWidget* content, QWidget* parent) : QScrollArea(parent)
{
    setObjectName(content->objectName() + "Scroll");
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setWidget(content);
}

QSize ScrollingContent::contentLeast() const
{
    const QWidget* content = widget();
    return content->minimumSize().expandedTo(content->minimumSizeHint());
}

int ScrollingContent::barWidth() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QSize ScrollingContent::sizeHint() const
{
    return widget()->sizeHint().expandedTo(contentLeast());
}

QSize ScrollingContent::minimumSizeHint() const
{
    return {contentLeast().width(), 0};
}

void OpenOnScreen(QWidget* window, ScrollingContent* content)
{
    new ScreenFitter(window, content);
}

void WidenForTitle(QMessageBox& box)
{
    // The box takes the width its layout needs; a row as wide as the title
    // bar makes it need that much.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0), grid->rowCount(), 0, 1,
                      std::max(grid->columnCount(), 1));
}

}  // namespace kvb::ui
