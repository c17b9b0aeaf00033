#pragma once
// The status lamp grid of the main window: the columns "COM", "FAULT",
// "NACK", "ACK" and "PRES", one row of lamps per device type, created in the
// colours of a StatusLamps state. The window forwards the state's changes
// with apply(); the poll, UPR and USB lamps stand elsewhere in the window
// (Lamp widgets of their own). The type-1 row can be hidden when no type-1
// device is fitted.

#include "link/StatusLamps.h"

#include <QWidget>

#include <array>

class QLabel;

namespace kvb::ui {

class Lamp;

class LampPanel : public QWidget {
    Q_OBJECT
public:
    explicit LampPanel(const StatusLamps& lamps, QWidget* parent = nullptr);

    // Shows a lamp's new colour when the lamp is one of this grid's; false
    // for the other lamps.
    bool apply(LampId id, int colour);

    Lamp* lamp(LampKind kind, int type) const;
    // Shows or hides every type-1 lamp with its row caption.
    void setSecondTypeShown(bool shown);
    // Captions of the two rows (the part names).
    void setTypeCaption(int type, const QString& caption);

private:
    std::array<std::array<Lamp*, kLampKinds>, 2> grid_{};
    std::array<QLabel*, 2> typeCaptions_{};
};

}  // namespace kvb::ui
