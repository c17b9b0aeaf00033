#pragma once
// The key filters of the panel's entry boxes as a Qt event filter: the
// hexadecimal or decimal key rules and the Ctrl+A / Ctrl+C / Ctrl+V edit
// keys. One instance serves every box of a kind; the main window can install
// the same filters on its own boxes.

#include <QObject>

namespace kvb::ui {

class KeyFilter : public QObject {
    Q_OBJECT
public:
    enum class Kind { Hex, Dec, EditKeysOnly };
    KeyFilter(Kind kind, bool editKeys, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Kind kind_;
    bool editKeys_;
};

}  // namespace kvb::ui
