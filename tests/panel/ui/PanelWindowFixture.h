#pragma once
// The board panel window loaded on a simulated board, with a finder for its
// controls by name and a key typed straight into a box.

#include "app/AppContext.h"
#include "panel/ui/FrmMainF340.h"
#include "sim/SimBoard.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QString>

#include <gtest/gtest.h>

#include <memory>

namespace kvb::test {

class PanelWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        board = usb.plug(t.clock);
        context = std::make_unique<AppContext>(t.services, usb);
        window = std::make_unique<ui::FrmMainF340>(context->panel, context->grid, context->pipe,
                                                   context->transport);
        ASSERT_TRUE(window->load());
    }

    template <class W>
    W* find(const QString& name)
    {
        W* widget = window->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    static void type(QWidget* box, int key, const QString& text, Qt::KeyboardModifiers mods = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(box, &press);
    }

    TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<ui::FrmMainF340> window;
};

}  // namespace kvb::test
