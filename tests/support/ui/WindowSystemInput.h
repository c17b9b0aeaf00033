#pragma once
// User input as the window system delivers it: a click is put into the
// platform's input queue (not sent to the widget), so that it reaches the
// program only when the program lets the window system's input through.

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace kvb::test {

// Queues a press and a release of a mouse button (the left one unless
// told) at the widget's centre. The widget's window must be shown.
inline void QueueClick(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* top = widget->window();
    QWindow* window = top->windowHandle();
    const QPointF local = widget->mapTo(top, widget->rect().center());
    const QPointF global = widget->mapToGlobal(widget->rect().center());
    using Wsi = QWindowSystemInterface;
    Wsi::handleMouseEvent<Wsi::AsynchronousDelivery>(window, local, global, button, button,
                                                     QEvent::MouseButtonPress);
    Wsi::handleMouseEvent<Wsi::AsynchronousDelivery>(window, local, global, Qt::NoButton, button,
                                                     QEvent::MouseButtonRelease);
}

// Queues a press and a release of a key for the widget's window; the window
// system hands them to the window's focus widget, shortcuts first.
inline void QueueKey(QWidget* widget, int key, Qt::KeyboardModifiers mods = {},
                     const QString& text = {})
{
    QWindow* window = widget->window()->windowHandle();
    using Wsi = QWindowSystemInterface;
    Wsi::handleKeyEvent<Wsi::AsynchronousDelivery>(window, QEvent::KeyPress, key, mods, text);
    Wsi::handleKeyEvent<Wsi::AsynchronousDelivery>(window, QEvent::KeyRelease, key, mods, text);
}

// Runs the event loop's work, user input included, until nothing is left:
// what returning to the application's event loop does.
inline void RunEventLoopUntilIdle()
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents);
        if (!QWindowSystemInterface::windowSystemEventsQueued())
            break;
    }
    QApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace kvb::test
