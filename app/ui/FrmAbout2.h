#pragma once
// The about box: the program's title, description and version, the board's
// firmware version on request, the system-information tool, and (double-click
// on the logo) the board panel, which no other window opens.

#include <QDialog>

#include <functional>
#include <string>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace kvb::ui {

struct AboutHooks {
    std::function<bool()> evbConnected;          // the board is connected
    std::function<std::string()> readFirmware;   // reads the board's firmware version text
    std::function<void()> showBoardPanel;        // shows the board panel without waiting
    // Starts a program detached; QProcess::startDetached when not set.
    std::function<bool(const QString& program)> startProgram;
};

// The logo picture, painted; a double-click emits doubleClicked().
class LogoPicture : public QWidget {
    Q_OBJECT
public:
    explicit LogoPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {96, 96}; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class FrmAbout2 : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout2(AboutHooks hooks, QWidget* parent = nullptr);

    // The first system-information tool found in PATH, or an empty text.
    static QString FindSysInfoTool();
    // Starts the tool; does nothing when none is installed or it fails.
    void StartSysInfo();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The box's rows, top to bottom, each with the layout it stands in.
    QHBoxLayout* buildHeader();    // logo, title, version, description
    QGridLayout* buildFirmware();  // firmware version read and expected
    QHBoxLayout* buildFooter();    // notice, OK and System Info

    void cmdReadFirmware_Click();

    AboutHooks hooks_;
    QPushButton* cmdReadFirmware_;
    QLabel* lblfirmwareVer_;
};

}  // namespace kvb::ui
