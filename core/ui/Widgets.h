#pragma once
// The one kit every window builds its controls with: named widgets,
// model-bound text boxes, and updates that leave unchanged controls alone
// (so a box being typed in keeps its caret).

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>

namespace kvb::ui {

// Creates a child widget of type T (parent may be null for a widget a layout
// will take) and gives it its objectName.
template <typename T, typename... Args>
T* Named(QWidget* parent, const QString& name, Args&&... args)
{
    T* w = new T(std::forward<Args>(args)..., parent);
    if (!name.isEmpty())
        w->setObjectName(name);
    return w;
}


inline QString qs(const std::string& text) { return QString::fromStdString(text); }

inline QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text)
{
    return Named<QLabel>(parent, name, text);
}

inline QLineEdit* makeEdit(QWidget* parent, const QString& name, const QString& text, int width = 40)
{
    auto* edit = Named<QLineEdit>(parent, name, text);
    edit->setFixedWidth(width);
    return edit;
}

inline QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        std::function<void()> onClick)
{
    auto* button = Named<QPushButton>(parent, name, caption);
    QObject::connect(button, &QPushButton::clicked, parent, [onClick] { onClick(); });
    return button;
}

inline QCheckBox* makeCheck(QWidget* parent, const QString& name, const QString& caption,
                     std::function<void(bool)> onClick)
{
    auto* box = Named<QCheckBox>(parent, name, caption);
    QObject::connect(box, &QCheckBox::clicked, parent, [onClick](bool on) { onClick(on); });
    return box;
}

inline QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption)
{
    return Named<QGroupBox>(parent, name, caption);
}

inline QLabel* makeLamp(QWidget* parent, const QString& name)
{
    auto* lamp = Named<QLabel>(parent, name);
    lamp->setFixedSize(14, 14);
    return lamp;
}

// Paints a box on its window's background rather than the editable boxes'
// white. The colour is taken when the box is polished, once the
// application's style has settled its palette, and again when the style
// changes.
class ReadOnlyLook : public QObject {
public:
    explicit ReadOnlyLook(QWidget* box) : QObject(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange) {
            auto* box = static_cast<QWidget*>(watched);
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            box->setPalette(palette);
        }
        return QObject::eventFilter(watched, event);
    }
};

// A box that shows a value the user cannot type over looks so: read-only,
// out of the focus chain, on the window's background.
inline void showReadOnly(QLineEdit* edit)
{
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    new ReadOnlyLook(edit);
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
