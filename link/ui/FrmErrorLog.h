#pragma once
// The communication-error and fault-status windows: a scrolling text box,
// "Clear Text" and "Done", following their log model. The window comes up
// by itself when the model adds a line.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace kvb::link {
class ErrorLogWindow;
}

namespace kvb::ui {

class FrmErrorLog : public QWidget {
    Q_OBJECT
public:
    // `name` is the window's objectName: "frmComErrors" or "frmFaultStatusLog".
    FrmErrorLog(link::ErrorLogWindow& model, const QString& name, QWidget* parent = nullptr);
    ~FrmErrorLog() override;

    // Shows the model's text, caption and visibility.
    void refresh();

    QPlainTextEdit* txtComErrLog = nullptr;
    QPushButton* cbClearText = nullptr;
    QPushButton* cbDone = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    link::ErrorLogWindow& model_;
};

}  // namespace kvb::ui
