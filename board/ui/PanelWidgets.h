#pragma once
// Small builders and setters the board panel window uses for its controls:
// named widgets, model-bound text boxes, and updates that leave unchanged
// controls alone (so a box being typed in keeps its caret).

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <functional>
#include <string>

namespace kvb::ui {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

inline QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

inline QLineEdit* makeEdit(QWidget* parent, const QString& name, const QString& text, int width = 40)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    return edit;
}

inline QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        std::function<void()> onClick)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QObject::connect(button, &QPushButton::clicked, parent, [onClick] { onClick(); });
    return button;
}

inline QCheckBox* makeCheck(QWidget* parent, const QString& name, const QString& caption,
                     std::function<void(bool)> onClick)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    QObject::connect(box, &QCheckBox::clicked, parent, [onClick](bool on) { onClick(on); });
    return box;
}

inline QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    if (!name.isEmpty())
        frame->setObjectName(name);
    return frame;
}

inline QLabel* makeLamp(QWidget* parent, const QString& name)
{
    auto* lamp = new QLabel(parent);
    lamp->setObjectName(name);
    lamp->setFixedSize(14, 14);
    return lamp;
}

// Binds a box's edits to a model text.
inline void bindText(QLineEdit* edit, std::string& target)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [&target](const QString& text) { target = text.toStdString(); });
}

inline void setEdit(QLineEdit* edit, const std::string& text)
{
    const QString value = qs(text);
    if (edit->text() != value) {
        QSignalBlocker block(edit);
        edit->setText(value);
    }
}

inline void setLabel(QLabel* label, const std::string& text)
{
    const QString value = qs(text);
    if (label->text() != value)
        label->setText(value);
}

inline void setCheck(QCheckBox* box, bool on)
{
    if (box->isChecked() != on) {
        QSignalBlocker block(box);
        box->setChecked(on);
    }
}

// Runs a function when the watched widget is clicked.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), onClick_(std::move(onClick))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease)
            onClick_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
};


}  // namespace kvb::ui
