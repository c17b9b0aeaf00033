#pragma once
// The MAIN page's contents: cell voltages, fault and setup lamps, the
// per-cell balance buttons, temperatures, limits and the stack overview,
// built inside the frames the main window places and repainted from the
// register image. The balance combo boxes belong to the balance frame, which
// is built with the balance controls; this page hands them the decoded
// settings through `showBalanceSettings`.

#include "app/StatusPages.h"
#include "core/Services.h"

#include <QObject>

#include <array>
#include <functional>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvb::ui {

class Lamp;

// The MAIN page frames this page fills.
struct MainTabFrames {
    QGroupBox* deviceStatus = nullptr;      // fraMainTabDeviceStatus
    QGroupBox* temperatures = nullptr;      // fraMainTabTemperatures
    QGroupBox* thresholds = nullptr;        // fraMainTabThresholds
    QGroupBox* daisyChainStatus = nullptr;  // fraMainTabDaisyChainStatus
};

class MainTabPage : public QObject {
    Q_OBJECT
public:
    MainTabPage(const MainTabFrames& frames, const link::ChipLink& link, StatusPageState& state,
                Prompter& prompter);

    // The captions that carry the part names, and whether the type-1
    // indicators with their captions are shown.
    void setPartNames(const QString& typeZero, bool typeOneShown, const QString& typeOne);

    // Repaints the page for the selected device.
    void UpdateMainTabDeviceStatusControls();
    // Show (and enable) or hide (and disable) the twelve balance buttons.
    void EnableMainTabBalCtrlButtons();
    void DisableMainTabBalCtrlButtons();
    // Shows the buttons in the manual and timed modes, each "On" or "Off".
    void RefreshMainTabBalCtrlButtons();
    // Shows a cell's balance button "On" in yellow or "Off" in the style's
    // colours; a button that already shows that state is left alone.
    static void ShowBalanceButton(QPushButton* button, bool on);

    // The balance frame's combos and check box take these settings (under
    // their own guard, so nothing is sent).
    std::function<void(const BalanceSettings&)> showBalanceSettings;

    std::array<QLineEdit*, kCells> tbMainTabCellVoltage{};
    QLineEdit* tbMainTabVbatVoltage = nullptr;
    std::array<Lamp*, 2 * kCells> ledMainTabCellSetup{};
    std::array<Lamp*, 2 * kCells> ledMainTabCellOV{};
    std::array<Lamp*, 2 * kCells> ledMainTabCellUV{};
    std::array<Lamp*, kWireInputs> ledMainTabCellOW{};
    Lamp* ledMainTabVbatOW = nullptr;
    Lamp* ledMainTabVssOW = nullptr;
    // Their clicks are handled with the balance controls.
    std::array<QPushButton*, kCells> cbMainTabBalCtrl{};
    std::array<QLineEdit*, 5> tbMainTabTemperatures{};
    QLineEdit* tbMainTabOVLimit = nullptr;
    QLineEdit* tbMainTabUVLimit = nullptr;
    QLineEdit* tbMainTabITLimit = nullptr;
    std::array<Lamp*, 2 * kStackDevices> ledMainTabDevicePres{};
    std::array<Lamp*, 2 * kStackDevices> ledMainTabDeviceFault{};
    std::array<QLineEdit*, kStackDevices> tbMainTabDeviceVbat{};
    QLineEdit* tbMainTabStackVoltage = nullptr;

private:
    void buildDeviceStatus(QGroupBox* frame);
    void buildTemperatures(QGroupBox* frame);
    void buildThresholds(QGroupBox* frame);
    void buildDaisyChainStatus(QGroupBox* frame);
    void show(const MainPageContent& c);

    QGridLayout* statusGrid_ = nullptr;
    QGridLayout* chainGrid_ = nullptr;
    std::array<QLabel*, 4> partNames_{};
    const link::ChipLink& link_;
    StatusPageState& state_;
    Prompter& prompter_;
};

}  // namespace kvb::ui
