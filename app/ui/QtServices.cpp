#include "app/ui/QtServices.h"

#include "core/ui/ScreenFit.h"

#include <QDateTime>
#include <QLocale>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace kvb::ui {

Answer QtPrompter::ask(const std::string& text, const std::string& title, Buttons buttons,
                       Icon icon)
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    WidenForTitle(box);
    switch (box.exec()) {
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

void QtEventPump::yield()
{
    // Timers and repaints run; clicks, keys and window closes stay queued in
    // the window system's order until the running handler returns to the
    // event loop, so none of them can start an exchange inside another.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {

QWidget* OwnerWindow(DialogOwner owner)
{
    const QString name = owner == DialogOwner::InstrumentPanel ? "frmInst" : "Main_KVB71853";
    QWidget* hidden = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != name)
            continue;
        if (window->isVisible())
            return window;
        hidden = window;
    }
    return hidden;
}

// The dialog over its owner, with the request's filters and the chosen one
// selected.
void Prepare(QFileDialog& dialog, const FileDialogRequest& request)
{
    QStringList filters;
    for (const std::string& filter : request.filters)
        filters << QString::fromStdString(filter);
    dialog.setNameFilters(filters);
    if (request.chosenFilter < request.filters.size())
        dialog.selectNameFilter(filters[static_cast<qsizetype>(request.chosenFilter)]);
    OpenOnScreen(&dialog);
}

std::string Chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string QtFileDialogs::openFile(const FileDialogRequest& request)
{
    QFileDialog dialog(OwnerWindow(request.owner), QString::fromStdString(request.title),
                       QString::fromStdString(request.start));
    dialog.setFileMode(QFileDialog::ExistingFile);
    Prepare(dialog, request);
    return Chosen(dialog);
}

std::string QtFileDialogs::saveFile(const FileDialogRequest& request)
{
    QFileDialog dialog(OwnerWindow(request.owner), QString::fromStdString(request.title),
                       QString::fromStdString(request.start));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    Prepare(dialog, request);
    // A name typed without an extension gets the chosen filter's ("*.txt"
    // gives txt), before the dialog asks whether to replace an existing file.
    const QString pattern = request.chosenFilter < request.filters.size()
                                ? QString::fromStdString(request.filters[request.chosenFilter])
                                : QString();
    const qsizetype star = pattern.indexOf("*.");
    if (star >= 0) {
        qsizetype end = star + 2;
        while (end < pattern.size() && pattern[end].isLetterOrNumber())
            ++end;
        dialog.setDefaultSuffix(pattern.mid(star + 2, end - star - 2));
    }
    return Chosen(dialog);
}

void QtProgramEnd::quit()
{
    // Queued, so that the handler that asked for the end returns first; quit()
    // before the event loop runs would be lost, exit code 0 either way.
    QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
}

std::string QtFormatter::monthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return locale().standaloneMonthName(month, QLocale::LongFormat).toStdString();
}

std::string QtFormatter::decimalSeparator()
{
    return locale().decimalPoint().toStdString();
}

std::string QtFormatter::shortDate(const CalendarTime& when)
{
    return locale().toString(QDate(when.year, when.month, when.day), QLocale::ShortFormat).toStdString();
}

std::string QtFormatter::longTime(const CalendarTime& when)
{
    // With its date, so that a long format's time zone is the one in force.
    const QDateTime moment(QDate(when.year, when.month, when.day),
                           QTime(when.hour, when.minute, when.second));
    const QLocale here = locale();
    return here.toString(moment, here.timeFormat(QLocale::LongFormat)).toStdString();
}

}  // namespace kvb::ui
