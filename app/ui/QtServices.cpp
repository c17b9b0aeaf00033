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

std::string QtFileDialogs::openFile(const std::string& title, const std::string& folder,
                                    const std::string& filter)
{
    QFileDialog dialog(nullptr, QString::fromStdString(title), QString::fromStdString(folder),
                       QString::fromStdString(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    OpenOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtFileDialogs::saveFile(const std::string& title, const std::string& suggested,
                                    const std::string& filter)
{
    QFileDialog dialog(nullptr, QString::fromStdString(title), QString::fromStdString(suggested),
                       QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    OpenOnScreen(&dialog);
    // A name typed without an extension gets the filter's ("*.txt" gives
    // txt), before the dialog asks whether to replace an existing file.
    const QString pattern = QString::fromStdString(filter);
    const qsizetype star = pattern.indexOf("*.");
    if (star >= 0) {
        qsizetype end = star + 2;
        while (end < pattern.size() && pattern[end].isLetterOrNumber())
            ++end;
        dialog.setDefaultSuffix(pattern.mid(star + 2, end - star - 2));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
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
