#include "link/ui/FrmErrorLog.h"

#include "link/ErrorLogWindow.h"
#include "core/ui/ScreenFit.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kvb::ui {

FrmErrorLog::FrmErrorLog(link::ErrorLogWindow& model, const std::string& partName,
                         const QString& name, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), partName_(partName)
{
    OpenOnScreen(this);
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    txtComErrLog = new QPlainTextEdit(this);
    txtComErrLog->setObjectName("txtComErrLog");
    txtComErrLog->setReadOnly(true);
    txtComErrLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    txtComErrLog->setFont(mono);
    layout->addWidget(txtComErrLog);
    auto* buttons = new QHBoxLayout;
    cbClearText = new QPushButton("Clear Text", this);
    cbClearText->setObjectName("cbClearText");
    cbDone = new QPushButton("Done", this);
    cbDone->setObjectName("cbDone");
    buttons->addWidget(cbClearText);
    buttons->addStretch();
    buttons->addWidget(cbDone);
    layout->addLayout(buttons);
    resize(640, 320);

    connect(cbClearText, &QPushButton::clicked, this, [this] { model_.clearText(); });
    connect(cbDone, &QPushButton::clicked, this, [this] { model_.done(); });
    model_.changed = [this] { refresh(); };
    refresh();
}

FrmErrorLog::~FrmErrorLog()
{
    model_.changed = nullptr;
}

void FrmErrorLog::refresh()
{
    setWindowTitle(QString::fromStdString(model_.caption()));
    const QString text = QString::fromStdString(model_.text());
    if (txtComErrLog->toPlainText() != text) {
        txtComErrLog->setPlainText(text);
        txtComErrLog->verticalScrollBar()->setValue(txtComErrLog->verticalScrollBar()->maximum());
    }
    if (model_.visible()) {
        // A new line brings the window up again, also when it is open.
        if (isHidden())
            show();
        raise();
    } else if (!isHidden()) {
        hide();
    }
}

bool FrmErrorLog::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        model_.Form_Activate(partName_);
    return QWidget::event(event);
}

void FrmErrorLog::closeEvent(QCloseEvent* event)
{
    // Closing the window only hides it, as "Done" does.
    event->ignore();
    model_.done();
}

}  // namespace kvb::ui
