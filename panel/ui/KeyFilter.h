#pragma once
// The key filters of the panel's entry boxes as a Qt event filter: the
// hexadecimal or decimal key rules and, where a box has them, the Ctrl+A /
// Ctrl+C / Ctrl+V edit keys. A box without the edit keys drops the control
// characters those keys type, so its own select, copy and paste do not act
// either. One instance serves every box of a kind; the main window can
// install the same filters on its own boxes.

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
    // Whether the key rules drop the control character a Ctrl key types.
    bool dropsControlCharacter(int key, Qt::KeyboardModifiers mods) const;

    Kind kind_;
    bool editKeys_;
};

}  // namespace kvb::ui
