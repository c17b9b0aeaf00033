#pragma once
// The communication-error and fault-status windows: a scrolling text box,
// "Clear Text" and "Done", following their log model. The window comes up
// by itself when the model adds a line; whenever it is activated its caption
// takes the current part name.

#include <QWidget>

#include <string>

class QPlainTextEdit;
class QPushButton;

namespace kvb::link {
class ErrorLogWindow;
}

namespace kvb::ui {

class FrmErrorLog : public QWidget {
    Q_OBJECT
public:
    // `name` is the window's objectName: "frmComErrors" or "frmFaultStatusLog";
    // `partName` the part name of device type 0, as the link keeps it.
    FrmErrorLog(link::ErrorLogWindow& model, const std::string& partName, const QString& name,
                QWidget* parent = nullptr);
    ~FrmErrorLog() override;

    // Shows the model's text, caption and visibility.
    void refresh();

    QPlainTextEdit* txtComErrLog = nullptr;
    QPushButton* cbClearText = nullptr;
    QPushButton* cbDone = nullptr;

protected:
    bool event(QEvent* event) override;  // Form_Activate on activation
    void closeEvent(QCloseEvent* event) override;

private:
    link::ErrorLogWindow& model_;
    const std::string& partName_;
};

}  // namespace kvb::ui
