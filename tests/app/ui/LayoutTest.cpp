// Every window opens usable on the test's screen, the platform's one screen
// (1920x1080, and 1280x720 in the tests' second run): each window and
// dialog is opened as the program opens it, on the simulated chain with both
// device types, and checked as it first appears. Its frame lies inside the
// screen's available area; it has its own size where that area holds it,
// else the area's; a window lower than its content lets the content scroll
// down, never sideways. Then, on each of its tabs, every visible button,
// box, combo and label lies in the window's visible area (or below it in a
// part that scrolls down), shows its text whole, and overlaps none of its
// visible siblings.
//
// Set KVB_LAYOUT_PICTURES to a folder to keep a picture of every state.

#include "app/AppContext.h"
#include "app/ui/FrmAbout2.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"
#include "app/ui/QtServices.h"
#include "core/AppInfo.h"
#include "core/ui/ScreenFit.h"
#include "bench/InstrumentPanel.h"
#include "bench/ui/FrmInst.h"
#include "panel/ui/FrmMainF340.h"
#include "data/ui/FrmCharting.h"
#include "sim/SimGpibBus.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QAbstractAxis>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <utility>
#include <vector>

namespace {

using namespace kvb;

QString Describe(const QWidget* w)
{
    QString name = w->objectName();
    if (name.isEmpty()) {
        // Unnamed fixed texts are named by their parent and their text.
        name = QString("(unnamed %1 in %2)")
                   .arg(w->metaObject()->className(),
                        w->parentWidget() ? w->parentWidget()->objectName() : QString());
    }
    return name;
}

QString Visible(const QString& text)
{
    QString t = text;
    t.replace("&&", "\x01");
    t.remove('&');
    t.replace("\x01", "&");
    return t;
}

int LinesWidth(const QFontMetrics& fm, const QString& text)
{
    int width = 0;
    for (const QString& line : text.split('\n'))
        width = std::max(width, fm.horizontalAdvance(line));
    return width;
}

// The room a control leaves for its text, and the text's own size; empty
// when the control shows no text of its own.
struct TextFit {
    QString text;
    QSize room;
    QSize needed;
};

std::optional<TextFit> FitOf(QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    QStyle* style = w->style();
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        const QString text = Visible(b->text());
        if (text.isEmpty())
            return std::nullopt;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        opt.features = b->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
        QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        int iconWidth = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        return TextFit{text, room.size(), QSize(LinesWidth(fm, text) + iconWidth, fm.height())};
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        const QString text = Visible(b->text());
        if (text.isEmpty())
            return std::nullopt;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
        QRect room = style->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, b);
        return TextFit{text, room.size(), QSize(LinesWidth(fm, text), fm.height())};
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || l->textFormat() == Qt::RichText)
            return std::nullopt;
        QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(),
                                                -l->margin());
        int indent = l->indent();
        if (indent < 0 && l->frameWidth() > 0)
            indent = fm.horizontalAdvance(QLatin1Char('x')) / 2;
        if (indent > 0)
            room.setWidth(room.width() - indent);
        const QString text = l->text();
        if (l->wordWrap()) {
            const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 10000),
                                                 Qt::TextWordWrap | l->alignment(), text);
            return TextFit{text, room.size(), needed.size()};
        }
        const int lines = static_cast<int>(text.count('\n')) + 1;
        return TextFit{text, room.size(),
                       QSize(LinesWidth(fm, text), fm.height() + (lines - 1) * fm.lineSpacing())};
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->count() == 0)
            return std::nullopt;
        QString widest;
        for (int i = 0; i < c->count(); ++i)
            if (fm.horizontalAdvance(c->itemText(i)) > fm.horizontalAdvance(widest))
                widest = c->itemText(i);
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        QRect room = style->subControlRect(QStyle::CC_ComboBox, &opt,
                                           QStyle::SC_ComboBoxEditField, c);
        return TextFit{widest, room.size(), QSize(fm.horizontalAdvance(widest), fm.height())};
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text().isEmpty() || e->echoMode() != QLineEdit::Normal)
            return std::nullopt;
        const QMargins m = e->textMargins();
        int frame = e->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) : 0;
        QRect room = e->contentsRect().adjusted(m.left() + frame + 2, m.top() + frame,
                                                -(m.right() + frame + 2), -(m.bottom() + frame));
        return TextFit{e->text(), room.size(), QSize(fm.horizontalAdvance(e->text()), fm.height())};
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (g->title().isEmpty())
            return std::nullopt;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.subControls = QStyle::SC_GroupBoxLabel;
        opt.textAlignment = g->alignment();
        opt.lineWidth = 1;
        QRect label = style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        QRect room = label.intersected(g->rect().adjusted(0, 0, -2, 0));
        // A title's trailing blanks draw nothing.
        QString shown = Visible(g->title());
        while (shown.endsWith(' '))
            shown.chop(1);
        return TextFit{g->title(), room.size(), QSize(fm.horizontalAdvance(shown), fm.height())};
    }
    return std::nullopt;
}

bool Checked(QWidget* w)
{
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QGroupBox*>(w) || qobject_cast<QAbstractSpinBox*>(w);
}

// The part of the window in which `w` can be seen: every ancestor clips it,
// except that a scroll area's viewport, and what holds it, clip only the
// horizontal edges (the user scrolls down to reach the rest of the content,
// which still clips its controls).
QRect VisibleRoom(QWidget* w, QWidget* window)
{
    int left = 0, right = window->width();
    int top = std::numeric_limits<int>::min() / 2, bottom = std::numeric_limits<int>::max() / 2;
    bool scrolled = false;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        const QPoint at = p->mapTo(window, QPoint(0, 0));
        left = std::max(left, at.x());
        right = std::min(right, at.x() + p->width());
        if (auto* area = qobject_cast<QAbstractScrollArea*>(p->parentWidget()))
            if (area->viewport() == p)
                scrolled = true;
        if (!scrolled) {
            top = std::max(top, at.y());
            bottom = std::min(bottom, at.y() + p->height());
        }
        if (p == window)
            break;
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Widgets made of parts that lie on each other by design.
bool Compound(const QWidget* w)
{
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QTabWidget*>(w);
}

// A control whose text the chart draws itself: axis titles and labels,
// legend entries. QtCharts cuts a text that does not fit to "...".
void CheckChartTexts(QChartView* view, const QString& where, QStringList& faults)
{
    QChart* chart = view->chart();
    for (QGraphicsItem* item : chart->scene()->items()) {
        if (!item->isVisible())
            continue;
        QString text;
        if (auto* t = dynamic_cast<QGraphicsTextItem*>(item))
            text = t->toPlainText();
        else if (auto* s = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            text = s->text();
        else
            continue;
        if (text.contains(QString::fromUtf8("...")) || text.contains(QChar(0x2026)))
            faults << QString("%1: %2 draws \"%3\", a text cut short")
                          .arg(where, view->objectName(), text);
        const QRectF onView = view->mapFromScene(item->sceneBoundingRect()).boundingRect();
        if (!text.isEmpty() && !QRectF(view->rect()).adjusted(-1, -1, 1, 1).contains(onView))
            faults << QString("%1: %2 draws \"%3\" outside the chart").arg(where, view->objectName(),
                                                                             text);
    }
}

// Two visible sibling controls whose rectangles share a pixel, each pair once.
void CheckSiblings(QWidget* parent, QWidget* window, const QString& where, QStringList& faults)
{
    if (Compound(parent))
        return;
    QList<QWidget*> shown;
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && w->isVisibleTo(window))
            shown << w;
    }
    for (qsizetype i = 0; i < shown.size(); ++i)
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults << QString("%1: %2 (%3) at %4,%5 %6x%7 overlaps %8 (%9) at %10,%11 %12x%13")
                              .arg(where, Describe(shown[i]), shown[i]->metaObject()->className())
                              .arg(shown[i]->x())
                              .arg(shown[i]->y())
                              .arg(shown[i]->width())
                              .arg(shown[i]->height())
                              .arg(Describe(shown[j]), shown[j]->metaObject()->className())
                              .arg(shown[j]->x())
                              .arg(shown[j]->y())
                              .arg(shown[j]->width())
                              .arg(shown[j]->height());
}

struct Checker {
    QStringList faults;
    QString pictures = qEnvironmentVariable("KVB_LAYOUT_PICTURES");

    static QString whereOf(QWidget* window, const QString& state)
    {
        return QString("%1 [%2, %3x%4]")
            .arg(window->objectName(), state)
            .arg(window->width())
            .arg(window->height());
    }

    void check(QWidget* window, const QString& state)
    {
        QApplication::processEvents();
        const QString where = whereOf(window, state);
        if (!pictures.isEmpty()) {
            QString file = where;
            file.replace(QRegularExpression("[^A-Za-z0-9_-]+"), "_");
            window->grab().save(QDir(pictures).filePath(file + ".png"));
        }
        CheckSiblings(window, window, where, faults);
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window) || w->window() != window)
                continue;
            CheckSiblings(w, window, where, faults);
            if (!Checked(w))
                continue;
            // The line edit inside a spin box or combo is checked with it.
            if (qobject_cast<QLineEdit*>(w) &&
                (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
                 qobject_cast<QComboBox*>(w->parentWidget())))
                continue;
            checkRoom(w, window, where);
            if (auto fit = FitOf(w)) {
                if (fit->needed.width() > fit->room.width() ||
                    fit->needed.height() > fit->room.height())
                    faults << QString("%1: %2 (%3) text \"%4\" needs %5x%6 but has %7x%8")
                                  .arg(where, Describe(w), w->metaObject()->className(), fit->text)
                                  .arg(fit->needed.width())
                                  .arg(fit->needed.height())
                                  .arg(fit->room.width())
                                  .arg(fit->room.height());
            }
        }
        for (QChartView* view : window->findChildren<QChartView*>())
            if (view->isVisibleTo(window))
                CheckChartTexts(view, where, faults);
    }

    void checkRoom(QWidget* w, QWidget* window, const QString& where)
    {
        const QRect rect(w->mapTo(window, QPoint(0, 0)), w->size());
        const QRect room = VisibleRoom(w, window);
        if (!room.contains(rect))
            faults << QString("%1: %2 (%3 \"%4\") at %5,%6 %7x%8 lies outside the visible "
                              "area %9,%10..%11,%12")
                          .arg(where, Describe(w), w->metaObject()->className(),
                               FitOf(w) ? FitOf(w)->text : QString())
                          .arg(rect.x())
                          .arg(rect.y())
                          .arg(rect.width())
                          .arg(rect.height())
                          .arg(room.left())
                          .arg(std::max(room.top(), -1))
                          .arg(room.right())
                          .arg(std::min(room.bottom(), 99999));
    }

    // A control the window must show in its present state: visible, and in
    // the visible area. Its text and its siblings are check()'s, whose
    // faults the test reports with all the others.
    void whole(QWidget* window, const QString& name, const QString& state)
    {
        QWidget* w = window->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        EXPECT_TRUE(w->isVisibleTo(window)) << name.toStdString() << " in " << state.toStdString();
        // A list or a tab frame is not among the controls check() places.
        if (!Checked(w))
            checkRoom(w, window, whereOf(window, state));
    }

    // The window on each tab of its tab widget (or tab bar).
    void checkTabs(QWidget* window, const QString& state)
    {
        if (auto* tabs = window->findChild<QTabWidget*>("SSTab1")) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                check(window, state + " tab " + tabs->tabText(i));
            }
            return;
        }
        check(window, state);
    }
};

// The area that holds all of a window's content: the outermost one.
ui::ScrollingContent* ContentArea(QWidget* window)
{
    for (auto* area : window->findChildren<ui::ScrollingContent*>()) {
        bool outermost = true;
        for (QWidget* p = area->parentWidget(); p && p != window; p = p->parentWidget())
            outermost = outermost && !qobject_cast<ui::ScrollingContent*>(p);
        if (outermost)
            return area;
    }
    return nullptr;
}

// How `window` came up on the screen: inside the available area, at its own
// size `own` where that area holds it, else at the area's; a part too low
// for its content scrolls down, none sideways. Reports the size opened at.
void CheckOpening(QWidget* window, QSize own, const QString& name)
{
    QApplication::processEvents();
    const std::string what = name.toStdString();
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->windowHandle()->frameGeometry();
    EXPECT_TRUE(available.contains(frame))
        << what << " opens at " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
        << frame.height() << ", not inside the screen's available area";
    const QSize room = available.size() - (frame.size() - window->size());
    if (own.height() <= room.height())
        EXPECT_EQ(window->height(), own.height()) << what;
    else
        EXPECT_EQ(window->height(), room.height()) << what;
    if (own.width() <= room.width()) {
        EXPECT_GE(window->width(), own.width()) << what;
        EXPECT_LE(window->width(), room.width()) << what;
    } else {
        EXPECT_EQ(window->width(), room.width()) << what;
    }
    bool scrolls = false;
    for (auto* area : window->findChildren<ui::ScrollingContent*>()) {
        if (!area->isVisibleTo(window))
            continue;
        // Nothing is reached by scrolling sideways.
        EXPECT_LE(area->widget()->width(), area->viewport()->width()) << what;
        EXPECT_GE(area->viewport()->width(), area->contentLeast().width()) << what;
        // A content lower than its area scrolls down.
        if (area->widget()->height() > area->viewport()->height()) {
            EXPECT_TRUE(area->verticalScrollBar()->isVisible()) << what;
        }
    }
    if (ui::ScrollingContent* content = ContentArea(window)) {
        scrolls = content->verticalScrollBar()->isVisible();
        // A window that does not scroll has the size its content needs.
        if (!scrolls && own.width() <= room.width()) {
            EXPECT_EQ(window->width(), own.width()) << what;
        }
    }
    std::cout << "[ opened   ] " << what << " on " << available.width() << "x"
              << available.height() << ": " << window->width() << "x" << window->height()
              << (scrolls ? ", scrolls down" : "") << std::endl;
}

class Layout : public ::testing::Test, protected test::WindowDriver {
protected:
    void SetUp() override
    {
        chain->setDevices(0, 3);
        chain->setDevices(1, 2);
        startup = std::make_unique<ui::FrmStartup>(context);
        // The main window opens as the user chooses the board on the
        // start-up form.
        test::Choose(test::Control<QComboBox>(startup.get(), "cboDeviceSelect"), 1);
        main = startup->mainWindow();
        ASSERT_NE(main, nullptr);
        drive(main);
        // The configuration is made here; the start-up timer that would show
        // its dialog again is not needed.
        control<QTimer>("Timer4")->stop();
        configure(true, 2, 3);
        ASSERT_EQ(context.link.DeviceCount1, 3);
        ASSERT_EQ(context.link.DeviceCount2, 2);
    }

    // Runs `open`, which shows a modal dialog, and checks the dialog as it
    // opened (its own size is its layout's), its controls unless `content`
    // is false, and `more`.
    void checkModal(const std::function<void()>& open, const QString& state,
                    const std::function<void(QWidget*)>& more = {}, bool content = true)
    {
        const bool seen = test::WhileModal(open, [&](QWidget* dialog) {
            // Message boxes and file dialogs take the size Qt gives them.
            if (qobject_cast<QMessageBox*>(dialog) || qobject_cast<QFileDialog*>(dialog))
                EXPECT_TRUE(dialog->screen()->availableGeometry().contains(
                    dialog->windowHandle()->frameGeometry()))
                    << state.toStdString();
            else
                CheckOpening(dialog, dialog->sizeHint(), state);
            if (content)
                checker.check(dialog, state);
            if (more)
                more(dialog);
        });
        EXPECT_TRUE(seen) << state.toStdString() << " showed no dialog";
    }

    test::TestServices t;
    test::SimulatedChain sim{t};
    std::unique_ptr<sim::SimChipChain>& chain = sim.chain;
    AppContext context{t.services, sim.usb};
    std::unique_ptr<ui::FrmStartup> startup;
    ui::MainKvb71853* main = nullptr;
    Checker checker;
};

void Report(const QStringList& faults)
{
    for (const QString& f : faults)
        ADD_FAILURE() << f.toStdString();
}

TEST_F(Layout, MainWindowAsItOpensOnEveryTabOfBothTypes)
{
    CheckOpening(main, QSize(1500, 740), "main window");
    auto* tabs = control<QTabBar>("TabStrip1");
    for (auto* type : {control<QRadioButton>("opt53960"), control<QRadioButton>("opt53961")}) {
        type->setChecked(true);
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            const QString tab = tabs->tabText(i);
            const QString state = type->objectName() + " " + tab;
            checker.check(main, state);
            if (tab == "COMMANDS") {
                // The raw sender's labels stand clear of each other.
                checker.whole(main, "lblRawMsg_0", state);
                checker.whole(main, "lblRawMsg_1", state);
            }
            if (tab == "FAULTS") {
                int names = 0;
                for (QLabel* bitName : main->findChildren<QLabel*>(
                         QRegularExpression("^lblBitName_\\d+$")))
                    if (bitName->isVisibleTo(main)) {
                        checker.whole(main, bitName->objectName(), state);
                        ++names;
                    }
                EXPECT_GE(names, 3 * 14) << state.toStdString();
            }
        }
    }
    Report(checker.faults);
}

// Without a KVB53961 in the configuration the type-1 controls stay on the
// window under an empty name, the type-1 hex log hidden.
TEST_F(Layout, MainWindowWithUnnamedTypeOneControls)
{
    configure(false, 0, 1);
    ASSERT_FALSE(control("opt53961")->isHidden());
    ASSERT_TRUE(control("txt53961HexLog")->isHidden());
    auto* tabs = control<QTabBar>("TabStrip1");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        checker.check(main, "unnamed type 1 " + tabs->tabText(i));
    }
    Report(checker.faults);
}

TEST_F(Layout, StartupFormAboutBoxAndLogWindows)
{
    startup->show();
    CheckOpening(startup.get(), QSize(520, 213), "start-up form");
    checker.check(startup.get(), "start-up");
    ui::FrmAbout2& about = startup->aboutBox();
    const QSize aboutSize = about.sizeHint();
    about.show();
    CheckOpening(&about, aboutSize, "about box");
    checker.check(&about, "about");
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmComErrors" || w->objectName() == "frmFaultStatusLog") {
            w->show();
            CheckOpening(w, QSize(640, 320), w->objectName());
            checker.check(w, "log");
        }
    Report(checker.faults);
}

TEST_F(Layout, MainWindowDialogs)
{
    control<QRadioButton>("opt53960")->setChecked(true);
    // The SPI clock dialog is refused on a daisy chain: it is opened as on a
    // single-device link.
    bool& daisyChain = context.connection.config.result.daisyChain;
    daisyChain = false;
    checkModal([&] { control<QAction>("mnuSetSpiSpeed")->trigger(); }, "SPI clock");
    daisyChain = true;
    checkModal([&] { control<QAction>("mnuSetSpiTimeout")->trigger(); }, "SPI time-out");
    checkModal([&] { control<QPushButton>("cmdPollingSetup")->click(); }, "polling options");
    checkModal([&] { control<QAction>("mnuManualConfig")->trigger(); }, "manual configuration");
    checkModal([&] { context.cellBalancing.view()->showRegistersDialog(); }, "balance registers");
    checkModal([&] { context.cellBalancing.view()->showSequenceDialog(); }, "balance sequence");
    Report(checker.faults);
}

// Choosing "All" hides the device list and the Read buttons, and "Single"
// shows them again; the buttons that stay, "Write All" and each "Write",
// keep their places, so a click meant for one of them lands on it.
TEST_F(Layout, BalanceDialogButtonsStayPutWhenTheWriteModeChanges)
{
    const std::vector<std::pair<QString, std::function<void()>>> dialogs = {
        {"balance registers", [&] { context.cellBalancing.view()->showRegistersDialog(); }},
        {"balance sequence", [&] { context.cellBalancing.view()->showSequenceDialog(); }}};
    for (const auto& [state, open] : dialogs) {
        const bool seen = test::WhileModal(open, [&](QWidget* dialog) {
            const auto place = [dialog](const QString& name) {
                auto* w = test::Control<QWidget>(dialog, name);
                return QRect(w->mapTo(dialog, QPoint(0, 0)), w->size());
            };
            // The dialog may still hold layout requests of its opening when
            // the test first sees it: the places are taken once it has laid
            // itself out.
            for (int k = 0; k < 3; ++k) {
                QCoreApplication::sendPostedEvents();
                QApplication::processEvents();
            }
            const QStringList kept = {"cbWriteAll", "cbWrite_0", "cbWrite_11", "OKButton"};
            std::vector<QRect> before;
            for (const QString& name : kept)
                before.push_back(place(name));
            for (const char* option : {"optMode_1", "optMode_0"}) {
                test::Control<QRadioButton>(dialog, option)->click();
                QApplication::processEvents();
                EXPECT_EQ(test::Control<QWidget>(dialog, "cbReadAll")->isVisible(),
                          QString(option) == "optMode_0")
                    << state.toStdString();
                for (qsizetype i = 0; i < kept.size(); ++i)
                    EXPECT_EQ(place(kept[i]), before[static_cast<size_t>(i)])
                        << state.toStdString() << " " << option << " "
                        << kept[i].toStdString();
            }
        });
        EXPECT_TRUE(seen) << state.toStdString();
    }
}

// A box with a short message is still as wide as its title bar needs to
// show the program's name: the title text in a bold face, with room for the
// window manager's icon and buttons beside it.
TEST_F(Layout, MessageBoxesShowTheirTitlesWhole)
{
    ui::QtPrompter prompter;
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int title = QFontMetrics(titleFont).horizontalAdvance(kProgramTitle);
    for (const char* text : {"Not yet implemented", "KVB53960 EVB not connected!"})
        checkModal([&] { prompter.tell(text, kProgramTitle); }, text,
                   [&](QWidget* box) { EXPECT_GE(box->width(), title + 100) << text; });
    // The file dialogs open inside the screen too.
    ui::QtFileDialogs files;
    checkModal(
        [&] {
            files.openFile({DialogOwner::MainWindow,
                            "Load Device Configuration File",
                            "",
                            {"Text Files (*.txt)"},
                            0});
        },
        "open file", {}, false);
    checkModal(
        [&] {
            files.saveFile({DialogOwner::MainWindow,
                            "Save",
                            "EvalSw539_Config_01.txt",
                            {"Text Files (*.txt)"},
                            0});
        },
        "save file", {}, false);
    Report(checker.faults);
}

TEST_F(Layout, ChartWindowAfterALongRunOnBothTabs)
{
    // Two minutes between samples: the run passes 100 minutes.
    for (int i = 0; i < 60; ++i) {
        context.commands.cbReadAllVolts_Click();
        t.clock.sleep(std::chrono::minutes(2));
    }
    control<QPushButton>("cmdShowChart")->click();
    ui::FrmCharting& chart = main->chartWindow();
    CheckOpening(&chart, QSize(1083, 800), "chart window");
    auto* tabs = chart.findChild<QTabBar*>("TabStrip1");
    // As it opens, and at the whole of the screen.
    const QRect available = chart.screen()->availableGeometry();
    const QSize largest = available.size() - (chart.frameGeometry().size() - chart.size());
    for (QSize size : {chart.size(), largest}) {
        chart.resize(size);
        for (int tab = 0; tab < 2; ++tab) {
            tabs->setCurrentIndex(tab);
            checker.check(&chart, tabs->tabText(tab));
        }
        tabs->setCurrentIndex(0);
        QApplication::processEvents();
        checker.whole(&chart, "cmbChartShowNone_0", "VCELL");
        checker.whole(&chart, "cmbChartShowNone_1", "VCELL");
        // Every series has its legend entry: 24 cells, 14 packs, 8 ET inputs.
        const std::pair<const char*, int> legends[] = {{"CellVoltageChartControl", 24},
                                                       {"ETVoltChartControl", 8}};
        for (auto [name, count] : legends) {
            QChart* c = chart.findChild<QChartView*>(name)->chart();
            int shown = 0;
            for (QLegendMarker* m : c->legend()->markers())
                shown += m->isVisible() ? 1 : 0;
            EXPECT_EQ(shown, count) << name << " at " << size.width() << "x" << size.height();
        }
        // The legends stand at the right edge of their charts as soon as the
        // window takes a new size, not only after the next refresh.
        chart.resize(size - QSize(40, 0));
        for (QChartView* view : chart.findChildren<QChartView*>()) {
            const QRectF legend = view->chart()->legend()->geometry();
            if (view->isVisible()) {
                EXPECT_NEAR(legend.right(), view->width() - 4, 1)
                    << view->objectName().toStdString() << " at " << size.width() << "x"
                    << size.height();
            }
        }
    }
    Report(checker.faults);
}

// The data start time as the program writes it (the short date and the long
// time) in the common locales, on a date and time of two-digit fields: whole
// at the window's own size.
TEST_F(Layout, ChartStartTimeInTheCommonLocales)
{
    control<QPushButton>("cmdShowChart")->click();
    ui::FrmCharting& chart = main->chartWindow();
    const CalendarTime when{2026, 12, 28, 22, 44, 59};
    EXPECT_EQ(ui::QtFormatter(QLocale("de_DE")).shortDate(when), "28.12.26");
    EXPECT_EQ(ui::QtFormatter(QLocale("ja_JP")).shortDate(when), "2026/12/28");
    for (const char* name : {"C", "en_US", "de_DE", "fr_FR", "ja_JP"}) {
        ui::QtFormatter format{QLocale(name)};
        context.charts.startingTimeText = format.shortDate(when) + " " + format.longTime(when);
        chart.refreshNow();
        checker.check(&chart, name);
    }
    Report(checker.faults);
}

TEST_F(Layout, BoardPanelOnEveryTab)
{
    ui::FrmMainF340& panel = startup->boardPanel();
    const QSize own = panel.sizeHint();
    test::Control<QPushButton>(startup.get(), "Command1")->click();  // "Show HID"
    CheckOpening(&panel, own, "board panel");
    auto* tabs = panel.findChild<QTabWidget*>("SSTab1");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        const QString state = "tab " + tabs->tabText(i);
        checker.check(&panel, state);
        checker.whole(&panel, "SSTab1", state);
    }
    Report(checker.faults);
}

TEST_F(Layout, InstrumentPanelOnEveryTab)
{
    sim::SimGpibBus bus;
    bench::InstrumentPanel instruments{t.services, bus};
    ui::FrmInst form{instruments};
    form.show();
    CheckOpening(&form, QSize(1100, 760), "instrument panel");
    checker.checkTabs(&form, "");
    form.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(0);
    checker.whole(&form, "ReadingsList53131_2", "counter tab");
    Report(checker.faults);
}

}  // namespace
