#pragma once
// The raw message sender panel. It takes over the panel's controls that the
// main window has already created inside fraRawMessageSender, finding them
// by objectName: tbRawMsgHex_0..4, tbEncodedCommandHexByte_0..3,
// optRawDevicetype_0..1, optRawMsgNotConnectedMode_0..1 and cbSendRawMsg.
// Every key typed into a field is applied by the field rules and the frame is
// shown again; Send reads or writes the register through the chip link.

#include "app/RawMessage.h"

#include <QObject>

#include <array>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kvb::ui {

class RawMessageSenderView : public QObject {
    Q_OBJECT
public:
    // Throws std::invalid_argument naming the first control it cannot find.
    RawMessageSenderView(QWidget* frame, link::ChipLink& link, Services& services);

    // Shows the frame the fields encode to, in the framing of the connected
    // link or, without a board, of the chosen not-connected mode.
    void EncodeRawMessage();
    void cbSendRawMsg_Click();
    // Applies one typed key (character code, 8 Backspace, 27 Escape) to a
    // field, then re-encodes.
    void tbRawMsgHex_KeyPress(int index, int key);

    RawFieldTexts fields() const;
    bool daisyChainFraming() const;

    std::array<QLineEdit*, kRawFields> tbRawMsgHex{};
    std::array<QLineEdit*, kMaxFrameBoxes> tbEncodedCommandHexByte{};
    std::array<QRadioButton*, 2> optRawDevicetype{};
    std::array<QRadioButton*, 2> optRawMsgNotConnectedMode{};
    QPushButton* cbSendRawMsg = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    link::ChipLink& link_;
    Services& services_;
    RawMessageSender sender_;
};

}  // namespace kvb::ui
