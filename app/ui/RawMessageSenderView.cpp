#include "app/ui/RawMessageSenderView.h"

#include "core/ControlNames.h"
#include "core/ui/Widgets.h"
#include "core/UnexpectedError.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <stdexcept>

namespace kvb::ui {

namespace {

template <typename T>
T* control(QWidget* frame, const QString& name)
{
    T* found = frame->findChild<T*>(name);
    if (!found)
        throw std::invalid_argument("raw message sender: no control " + name.toStdString());
    return found;
}

// Keys that would change a field's text behind the field rules' back.
bool editsText(const QKeyEvent* key)
{
    return key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
           key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->key() == Qt::Key_Delete;
}

}  // namespace

RawMessageSenderView::RawMessageSenderView(QWidget* frame, link::ChipLink& link,
                                           Services& services)
    : QObject(frame), link_(link), services_(services), sender_(link, services)
{
    setObjectName("RawMessageSender");
    for (int i = 0; i < kRawFields; ++i) {
        QLineEdit* box = control<QLineEdit>(frame, ElementName<QString>("tbRawMsgHex", i));
        tbRawMsgHex[i] = box;
        box->setText(QString::fromStdString(RawFieldZero(i)));
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
        box->installEventFilter(this);
    }
    for (int i = 0; i < kMaxFrameBoxes; ++i) {
        tbEncodedCommandHexByte[i] =
            control<QLineEdit>(frame, ElementName<QString>("tbEncodedCommandHexByte", i));
        showReadOnly(tbEncodedCommandHexByte[i]);
        tbEncodedCommandHexByte[i]->setText("00");
    }
    for (int i = 0; i < 2; ++i) {
        optRawDevicetype[i] =
            control<QRadioButton>(frame, ElementName<QString>("optRawDevicetype", i));
        optRawMsgNotConnectedMode[i] =
            control<QRadioButton>(frame, ElementName<QString>("optRawMsgNotConnectedMode", i));
        connect(optRawMsgNotConnectedMode[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on && !link_.EvbConnected())
                EncodeRawMessage();
        });
    }
    cbSendRawMsg = control<QPushButton>(frame, "cbSendRawMsg");
    connect(cbSendRawMsg, &QPushButton::clicked, this, [this] { cbSendRawMsg_Click(); });
}

RawFieldTexts RawMessageSenderView::fields() const
{
    RawFieldTexts texts;
    for (int i = 0; i < kRawFields; ++i)
        texts[i] = tbRawMsgHex[i]->text().toStdString();
    return texts;
}

bool RawMessageSenderView::daisyChainFraming() const
{
    return link_.EvbConnected() ? link_.DaisyChainMode : optRawMsgNotConnectedMode[0]->isChecked();
}

void RawMessageSenderView::EncodeRawMessage()
{
    RunHandler(services_.prompter, "EncodeRawMessage", [&] {
        if (link_.EvbConnected()) {
            // The not-connected choice follows the real link, quietly.
            const bool daisy = link_.DaisyChainMode;
            for (int i = 0; i < 2; ++i) {
                QSignalBlocker quiet(optRawMsgNotConnectedMode[i]);
                optRawMsgNotConnectedMode[i]->setChecked(daisy == (i == 0));
            }
        }
        const bool daisy = daisyChainFraming();
        const int type = optRawDevicetype[0]->isChecked() ? 0 : 1;
        const RawFrameDisplay shown = DisplayRawFrame(BuildRawMessage(fields(), daisy, type), daisy);
        if (daisy)
            tbRawMsgHex[RawCrc4]->setText(QString::fromStdString(shown.crc4));
        for (int i = 0; i < kMaxFrameBoxes; ++i) {
            const bool used = i < static_cast<int>(shown.bytes.size());
            tbEncodedCommandHexByte[i]->setVisible(used);
            if (used)
                tbEncodedCommandHexByte[i]->setText(QString::fromStdString(shown.bytes[i]));
        }
    });
}

void RawMessageSenderView::cbSendRawMsg_Click()
{
    sender_.cbSendRawMsg_Click(fields(), optRawDevicetype[0]->isChecked() ? 0 : 1);
}

void RawMessageSenderView::tbRawMsgHex_KeyPress(int index, int key)
{
    QLineEdit* box = tbRawMsgHex[index];
    HexEdit edit{box->text().toStdString(), box->cursorPosition(), box->cursorPosition(), 0};
    if (box->hasSelectedText()) {
        edit.selStart = box->selectionStart();
        edit.selLength = static_cast<int>(box->selectedText().size());
    }
    if (RawFieldKeyPress(edit, index, key)) {
        box->setText(QString::fromStdString(edit.text));
        box->setCursorPosition(edit.caret);
    }
    EncodeRawMessage();
}

bool RawMessageSenderView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    for (int i = 0; i < kRawFields; ++i) {
        if (watched != tbRawMsgHex[i])
            continue;
        if (editsText(key))
            return true;
        int code = 0;
        if (key->key() == Qt::Key_Backspace)
            code = kKeyBackspace;
        else if (key->key() == Qt::Key_Escape)
            code = kKeyEscape;
        else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                 key->text().isEmpty())
            return false;  // focus moves and caret keys work as usual
        else
            code = key->text().at(0).unicode();
        tbRawMsgHex_KeyPress(i, code);
        return true;
    }
    return false;
}

}  // namespace kvb::ui
