#pragma once
// The register rows of the main window's register tabs: eight row frames
// (fmRegCtrls_0 .. _7) with their name and address labels, 14 bit names and
// bit buttons, the value box with its up-down, the decoded value, the
// Read/Send and Write buttons, and the group buttons "Read Group" and
// "Write Group". The rows' state and the updater live in RegisterRows; this
// widget shows it and hands the user's edits to it.
//
// Reading, writing and sending belong to the main window: the buttons only
// emit signals. The main window also handles the fixed pages ("MAIN",
// "COMMANDS", "MONITOR", "CHART") before it calls showTab.

#include "app/RegisterRows.h"

#include <QFont>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvb {
class EventPump;
}

namespace kvb::ui {

class HexRowEdit;
class UpDownControl;

class RegisterRowsView : public QWidget, private RowsDisplay {
    Q_OBJECT
public:
    // `pump` (optional) lets pending events run before a bit button toggles.
    RegisterRowsView(const link::RegisterDefinitions& defs, link::RegisterImage& image,
                     Prompter& prompter, EventPump* pump = nullptr, QWidget* parent = nullptr);

    // The height of the eight rows and the group buttons below them.
    static constexpr int kContentHeight = 2 + 8 * 50 + 2 + 30;

    RegisterRows& rows() { return rows_; }
    void attachPages(PageRefresh* pages) { rows_.attachPages(pages); }

    // Fills the rows for register tab `tabIndex` of device type `type` and
    // device `device` from the register image.
    bool showTab(int type, int tabIndex, int device);
    // An answer's value for a shown row: the row's text, then its editors.
    void setRowValue(int row, int16_t value) { rows_.setRowValue(row, value); }
    void refreshFromImage() { rows_.refreshFromImage(); }
    void RegDataToRegArray(int row) { rows_.RegDataToRegArray(row); }
    void UpdateOtherControls(int source, int index) { rows_.UpdateOtherControls(source, index); }
    std::vector<int> rowsShowing(int reg) const { return rows_.rowsShowing(reg); }

signals:
    void readClicked(int row);   // cbRead: "Read" or "Send"
    void writeClicked(int row);  // cbWrite
    void readAllClicked();       // cbReadAllRegs
    void readGroupClicked();     // cbReadRegs
    void writeGroupClicked();    // cbWriteRegs

private:
    struct RowWidgets {
        QFrame* frame = nullptr;
        QLabel* name = nullptr;
        QLabel* address = nullptr;
        std::array<QLabel*, link::kBits> bitNames{};
        std::array<QPushButton*, link::kBits> bits{};
        HexRowEdit* value = nullptr;
        UpDownControl* upDown = nullptr;
        QLabel* decodedLabel = nullptr;
        QLineEdit* decoded = nullptr;
        QLabel* decodedUnits = nullptr;
        QPushButton* read = nullptr;
        QPushButton* write = nullptr;
    };

    void resizeEvent(QResizeEvent* event) override;
    void layOut();
    int rowWidth() const;
    void placeLabels(int r);
    // A row's frame and labels, then its parts left to right.
    void buildRow(int r);
    void buildRowBits(int r);
    void buildRowValue(int r);
    void buildRowDecoded(int r);
    void buildRowButtons(int r);
    void syncRow(int r);
    // The rows show into their controls.
    void rowChanged(int r) override { syncRow(r); }
    void upDownMoved(int r, int value) override;
    void syncGroups();
    void showEditor(int r);
    HexEdit cursorOf(int r) const;

    RegisterRows rows_;
    EventPump* pump_;
    QFont bitFont_;  // the bit names' face; a long name takes a smaller one
    std::array<RowWidgets, link::kTabRows> w_;
    QPushButton* readAll_ = nullptr;
    QPushButton* readGroup_ = nullptr;
    QPushButton* writeGroup_ = nullptr;
};

}  // namespace kvb::ui
