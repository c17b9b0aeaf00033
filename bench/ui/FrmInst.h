#pragma once
// "IEEE Test Station Instruments": the bench-instrument panel. A thin view
// over bench::InstrumentPanel: text boxes write into the panel's fields as
// the user types, buttons call the panel's handlers, and after every handler
// the labels, lists, lamps, pictures and boxes show the panel's state again.

#include "bench/InstrumentPanel.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace kvb::ui {

class FrmInst : public QWidget {
    Q_OBJECT
public:
    // Runs the panel's load.
    explicit FrmInst(bench::InstrumentPanel& panel, QWidget* parent = nullptr);

    // Shows the panel's state in every control.
    void refresh();

private:
    QWidget* counterTab();
    QGroupBox* counterAddressFrame();   // fra53131
    QGroupBox* counterCommandsFrame();  // fra53131Commands
    QGroupBox* counterTimerFrame();     // fra53131Timer
    QWidget* supplyTab();
    QWidget* voltmeterTab();
    QWidget* smuTab();
    QWidget* commandsTab();
    QGroupBox* setVi1VFrame();          // fraSetVI1V
    QGroupBox* sweepParametersFrame();  // fraSweepParameters
    QGroupBox* sweepControlFrame();     // fraSweepControl
    QGroupBox* sweepModeFrame();        // fraSweepMode
    QGridLayout* commandStrings();      // txtVI228String and cmdSendString
    QWidget* switchTab();
    QWidget* fileTab();
    QWidget* voltmeterPanel(int i);
    QWidget* smuPanel(int i);
    QGroupBox* connectToggles(const QString& title, const QString& frameName, bool voltmeter,
                              int panel);
    QGroupBox* selector(const QString& frameName, const QString& title, const QString& optionName,
                        const QStringList& captions, int k);

    // Bound controls.
    QLineEdit* edit(const QString& name, std::string& field);
    QLabel* label(const QString& name, const std::string& field);
    QLabel* text(const QString& caption);
    QPushButton* button(const QString& name, const QString& caption, std::function<void()> action);
    QPushButton* pictureButton(const QString& name, std::function<bench::Picture()> picture,
                               std::function<void()> action);
    QFrame* lamp(const QString& name, const uint32_t& colour);
    QListWidget* list(const QString& name, const std::vector<std::string>& items);
    // A list that keeps its most recent texts: new texts are appended and
    // the oldest rows dropped, the rows already shown are left alone.
    QListWidget* list(const QString& name, const bench::ReadingList& items);
    QGroupBox* frame(const QString& name, const QString& caption);
    QGroupBox* frame(const QString& name, const std::string& caption);
    void visibleWhen(QWidget* widget, const bool& visible);
    // Runs a handler of the panel, then shows its outcome.
    void act(const std::function<void()>& handler);

    bench::InstrumentPanel& panel_;
    std::vector<std::function<void()>> refreshers_;
    QTimer* TimerFreq_;
};

}  // namespace kvb::ui
