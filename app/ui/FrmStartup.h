#pragma once
// The start-up form: the program's first window. Loading it opens the board
// through the hidden board panel; choosing the board powers the board's
// ports up and opens the main window. Closing it ends the program.

#include <QMainWindow>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace kvb {
class AppContext;
}

namespace kvb::ui {

class FrmAbout2;
class FrmMainF340;
class Lamp;
class MainKvb71853;

class FrmStartup : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmStartup(AppContext& context, QWidget* parent = nullptr);
    ~FrmStartup() override;

    // The windows it opens, created on first use.
    FrmMainF340& boardPanel();
    MainKvb71853* mainWindow() { return main_.get(); }
    FrmAbout2& aboutBox();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void cboDeviceSelect_Click();
    void Command3_Click();
    void Command1_Click();
    void mnuAbout_Click();
    void Timer1_Timer();

    // Its controls; others find them by their objectName.
    QComboBox* cboDeviceSelect = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblAction = nullptr;
    Lamp* Shpstatus = nullptr;  // Shpstatus(2)
    QTimer* Timer1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;

    AppContext& context_;
    std::unique_ptr<FrmMainF340> panel_;
    std::unique_ptr<MainKvb71853> main_;
    std::unique_ptr<FrmAbout2> about_;
    int lampColour_ = 0x00FF00;
};

}  // namespace kvb::ui
