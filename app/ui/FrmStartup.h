#pragma once
// The start-up form: the program's first window.

#include <QWidget>

class QLabel;
class QListWidget;

namespace kvb {
class AppContext;
}

namespace kvb::ui {

class FrmStartup : public QWidget {
    Q_OBJECT
public:
    explicit FrmStartup(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
    QListWidget* lstOptions_;
    QLabel* lblPrompt_;
};

}  // namespace kvb::ui
